// Settings snapshots: one complete set of layout settings, fonts included, in a 1968-byte
// record with little-endian integers, saved to and loaded from a file the user names.
#pragma once

#include "settings/layoutsettings.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

namespace settings {

inline constexpr int kSnapshotSize = 1968;
// The largest font height the font dialog gives: 512 points at 96 pixels per inch.
inline constexpr int kMaxFontHeight = 683;

// specznak keeps only its first character, in Windows-1250; an empty specznak is stored as
// byte 0. Reserved bytes are written as 0.
QByteArray encodeSnapshot(const LayoutSettings& settings);

// Puts the record onto `settings`: every value is replaced, except that a font record with
// name length 0 keeps that slot's face name. Byte 0 at the specznak offset gives an empty
// specznak; a switch byte other than 0 is on. `record` must hold at least kSnapshotSize bytes.
void decodeSnapshot(QByteArrayView record, LayoutSettings& settings);

// Whether the first 1968 bytes could have been saved by the program: every colour a colour
// value, every switch 0 or 1, every font record one the font dialog could give (style bits
// only, |height| <= kMaxFontHeight, a face name of at most 31 printable characters).
bool isSnapshotRecord(QByteArrayView record);

// Saves the settings, with the sheet's trailer after the record when the sheet is on,
// replacing the file atomically so a failed save leaves the previous file
// whole. On failure shows "zápis se nezdařil" (title "error") and returns false.
bool saveSnapshotFile(const LayoutSettings& settings, const QString& fileName);

// Reads the first 1968 bytes of the file (opened read-write, so a read-only file fails too)
// and returns `current` with the record put onto it; the sheet is taken from a trailer after the
// record and is switched off when there is none. A file that cannot be read, is no regular
// file, is short or holds no snapshot record shows "soubor nemá správný formát nebo je
// poškozen" (title "error") and returns nothing; the settings stay as they were.
std::optional<LayoutSettings> loadSnapshotFile(const QString& fileName,
                                               const LayoutSettings& current);

// The sheet of the trailer after the record; nothing when the file has none.
std::optional<Sheet> readSnapshotSheet(const QString& fileName);

} // namespace settings

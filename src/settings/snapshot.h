// Settings snapshots: one complete set of layout settings, fonts included, in a 1968-byte
// record with little-endian integers, saved to and loaded from a file the user names.
#pragma once

#include "platform/error.h"
#include "settings/layoutsettings.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace settings {

inline constexpr int kSnapshotSize = 1968;

// Why a file cannot be loaded as a snapshot; the settings stay as they were.
class SnapshotError : public platform::Error {
  public:
    enum class Fault {
        Unreadable,     // missing, no access, no regular file: fileError() says which
        Short,          // fewer than 1968 bytes
        NotSnapshot,    // a record the program never writes
        DamagedTrailer, // a trailer block's tag is there (sheet, barcodes), but the block
                        // cannot be read
    };
    SnapshotError(Fault fault, const QString& text, int fileError = 0)
        : platform::Error(text), fault_(fault), fileError_(fileError) {}
    Fault fault() const { return fault_; }
    // The platform::FileErrorCode of an unreadable file; 0 otherwise.
    int fileError() const { return fileError_; }

  private:
    Fault fault_;
    int fileError_;
};

// specznak keeps only its first character, in Windows-1250; an empty specznak is stored as
// byte 0. Reserved bytes are written as 0.
QByteArray encodeSnapshot(const LayoutSettings& settings);

// Puts the record onto `settings`: every value is replaced, except that a font record with
// name length 0 keeps that slot's face name. Byte 0 at the specznak offset gives an empty
// specznak; a switch byte other than 0 is on. `record` must hold at least kSnapshotSize bytes.
void decodeSnapshot(QByteArrayView record, LayoutSettings& settings);

// Whether the first 1968 bytes could have been saved by the program: every switch 0 or 1,
// every font record's style within the four style bits and its face name at most 31
// characters. Numbers, colours and font heights are taken whatever they are: dravelin.ini and
// font hold any 32-bit value, and a snapshot saves what they hold.
bool isSnapshotRecord(QByteArrayView record);

// Saves the settings, with the sheet's trailer after the record when the sheet is on and the
// slots' barcode options when some slot has other than a text slot's,
// replacing the file atomically so a failed save leaves the previous file whole. Throws
// platform::FileError.
void saveSnapshotFile(const LayoutSettings& settings, const QString& fileName);

// Reads the first 1968 bytes of the file (opened read-write, so a read-only file fails too)
// and returns `current` with the record put onto it; the sheet is taken from a trailer after
// the record and is switched off when there is none. Throws SnapshotError.
LayoutSettings loadSnapshotFile(const QString& fileName, const LayoutSettings& current);

} // namespace settings

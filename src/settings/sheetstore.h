// Where a sheet description and the printers' offsets are kept: section arch and section
// tiskarny of dravelin.ini, and a tagged trailer after a settings snapshot's record. Anything
// missing or unreadable leaves the sheet switched off.
#pragma once

#include "platform/profile.h"
#include "settings/sheet.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <map>
#include <optional>

namespace settings {

// Section arch over `base`: a missing key keeps the base value, a missing section switches the
// sheet off.
Sheet readArch(const platform::Profile& profile, const Sheet& base);
void writeArch(platform::Profile& profile, const Sheet& sheet);

// A correction for a printer that shifts its output, in 0.1 mm, added to every position on that
// printer: positive x moves the print right, positive y down.
struct PrinterOffset {
    int x = 0;
    int y = 0;
    bool operator==(const PrinterOffset&) const = default;
};
using PrinterOffsets = std::map<QString, PrinterOffset>;

// The largest correction either way, in 0.1 mm: what the arch tab's fields hold.
inline constexpr int kMaxPrinterOffset = 9999;
// Why the printer's offset cannot be used, or nothing when it can.
std::optional<QString> offsetProblem(const QString& printer, const PrinterOffset& offset);

// Section tiskarny: one key per printer name, the value "x;y". Values that are not two numbers
// are skipped. An offset beyond kMaxPrinterOffset is refused: with `refused` given it is left
// out and its reason added there, otherwise the reason is thrown as platform::Error.
PrinterOffsets readPrinterOffsets(const platform::Profile& profile, QStringList* refused = nullptr);
// Writes every printer of `offsets`; a zero offset is written too, so a correction that was
// set back to zero replaces the old one.
void writePrinterOffsets(platform::Profile& profile, const PrinterOffsets& offsets);

// The trailer written after the snapshot record when the sheet is on: a tag, a length and the
// fields. A sheet that is off writes no trailer, so such a snapshot keeps its exact size.
QByteArray encodeSheetTrailer(const Sheet& sheet);
// `rest` is everything after the record. Nothing when it does not begin with the trailer's
// tag; throws platform::Error when it does but the trailer is cut short, claims more bytes than
// follow, or names a paper or fill order no writer gives.
std::optional<Sheet> decodeSheetTrailer(QByteArrayView rest);

} // namespace settings

#include "settings/snapshot.h"

#include "platform/codepage.h"
#include "platform/fileerror.h"
#include "settings/barcodestore.h"
#include "settings/fitstore.h"
#include "settings/fontrecord.h"
#include "settings/sheetstore.h"
#include "settings/trailerblock.h"

#include <QFile>

#include <QtEndian>
#include <stdexcept>

namespace settings {
namespace {

constexpr int kVlevoAt = 0;
constexpr int kNahoreAt = 4;
constexpr int kSloupceAt = 8;
constexpr int kSpecznakAt = 12;
constexpr int kBordercolorAt = 16;
constexpr int kPozadiAt = 20;
constexpr int kVyskabunkyAt = 24;
constexpr int kTopsAt = 28;
constexpr int kLeftsAt = 56;
constexpr int kFontsAt = 84;
constexpr int kSwitchesAt = 1960;

void putInt(QByteArray& record, int at, std::int32_t value) {
    qToLittleEndian<std::int32_t>(value, record.data() + at);
}

std::int32_t getInt(QByteArrayView record, int at) {
    return qFromLittleEndian<std::int32_t>(record.data() + at);
}

// What encodeFontRecord() writes for any font: style bits only, a face name of at most 31
// characters. Height and colour may be any number the font file held.
bool isFontRecord(QByteArrayView r) {
    const auto style = std::uint8_t(r[0]);
    const int nameLength = std::uint8_t(r[8]);
    return (style & ~0x0Fu) == 0 && nameLength <= FontDescription::kMaxFaceLength;
}

// The blocks of the trailer after the record onto `s`: each is a tag, a 32-bit length and that
// many bytes, in any order. Without a sheet block the sheet is off; without a barcode block
// every slot is text; without a fit block every fit rule is off. The walk ends at the first tag
// it does not know, so a foreign tail is left alone.
void readSnapshotTrailer(const QString& fileName, LayoutSettings& s) {
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly) || !f.seek(kSnapshotSize)) {
        return;
    }
    // Far more than the trailer needs; a huge foreign tail is not read whole.
    const QByteArray tail = f.read(4096);
    QByteArrayView rest(tail);
    try {
        while (!rest.isEmpty()) {
            if (const auto sheet = decodeSheetTrailer(rest)) {
                s.sheet = *sheet;
            } else if (const auto fit = decodeFitTrailer(rest)) {
                putFitRules(s, *fit);
            } else if (!decodeBarcodeTrailer(rest, s)) {
                return;
            }
            // Every decoder has checked that the length's bytes are there.
            rest = rest.sliced(trailerBlockSize(rest));
        }
    } catch (const platform::Error& e) {
        throw SnapshotError(SnapshotError::Fault::DamagedTrailer, e.text());
    }
}

} // namespace

bool isSnapshotRecord(QByteArrayView record) {
    if (record.size() < kSnapshotSize) {
        return false;
    }
    for (int i = 0; i < SlotCount; ++i) {
        if (!isFontRecord(record.sliced(kFontsAt + kFontRecordSize * i, kFontRecordSize))) {
            return false;
        }
        const char on = record[kSwitchesAt + i];
        if (on != '\0' && on != '\1') {
            return false;
        }
    }
    return true;
}

QByteArray encodeSnapshot(const LayoutSettings& s) {
    QByteArray record(kSnapshotSize, '\0');
    putInt(record, kVlevoAt, s.vlevo);
    putInt(record, kNahoreAt, s.nahore);
    putInt(record, kSloupceAt, s.sloupce);
    const QByteArray first = platform::toCp1250(s.specznak.left(1));
    record[kSpecznakAt] = first.isEmpty() ? '\0' : first[0];
    putInt(record, kBordercolorAt, s.bordercolor);
    putInt(record, kPozadiAt, s.pozadi);
    putInt(record, kVyskabunkyAt, s.vyskabunky);
    for (int i = 0; i < SlotCount; ++i) {
        const SlotSettings& line = s.lines[size_t(i)];
        putInt(record, kTopsAt + 4 * i, line.top);
        putInt(record, kLeftsAt + 4 * i, line.left);
        record.replace(kFontsAt + kFontRecordSize * i, kFontRecordSize,
                       encodeFontRecord(line.font));
        record[kSwitchesAt + i] = line.on ? '\1' : '\0';
    }
    return record;
}

void decodeSnapshot(QByteArrayView record, LayoutSettings& s) {
    if (record.size() < kSnapshotSize) {
        throw std::invalid_argument("snapshot record too short");
    }
    s.vlevo = getInt(record, kVlevoAt);
    s.nahore = getInt(record, kNahoreAt);
    s.sloupce = getInt(record, kSloupceAt);
    const char specznak = record[kSpecznakAt];
    s.specznak = specznak == '\0' ? QString() : platform::fromCp1250(QByteArray(1, specznak));
    s.bordercolor = getInt(record, kBordercolorAt);
    s.pozadi = getInt(record, kPozadiAt);
    s.vyskabunky = getInt(record, kVyskabunkyAt);
    for (int i = 0; i < SlotCount; ++i) {
        SlotSettings& line = s.lines[size_t(i)];
        line.top = getInt(record, kTopsAt + 4 * i);
        line.left = getInt(record, kLeftsAt + 4 * i);
        decodeFontRecord(record.sliced(kFontsAt + kFontRecordSize * i, kFontRecordSize), line.font);
        line.on = record[kSwitchesAt + i] != '\0';
    }
}

void saveSnapshotFile(const LayoutSettings& settings, const QString& fileName) {
    QByteArray bytes = encodeSnapshot(settings);
    if (settings.sheet.on) {
        bytes += encodeSheetTrailer(settings.sheet);
    }
    bytes += encodeFitTrailer(fitRulesOf(settings));
    bytes += encodeBarcodeTrailer(settings);
    platform::writeFileAtomic(fileName, bytes);
}

LayoutSettings loadSnapshotFile(const QString& fileName, const LayoutSettings& current) {
    QByteArray record;
    try {
        record = platform::readRecordFile(fileName, kSnapshotSize);
    } catch (const platform::FileError& e) {
        if (e.code() == platform::ReadBeyondEnd) {
            throw SnapshotError(SnapshotError::Fault::Short, e.text());
        }
        throw SnapshotError(SnapshotError::Fault::Unreadable, e.text(), e.code());
    }
    // The whole record is checked before anything changes: any file of 1968 bytes would
    // otherwise become the settings, and reach dravelin.ini at the next close.
    if (!isSnapshotRecord(record)) {
        throw SnapshotError(SnapshotError::Fault::NotSnapshot,
                            QStringLiteral("no record the program writes"));
    }
    LayoutSettings loaded = current;
    decodeSnapshot(record, loaded);
    loaded.sheet = current.sheet;
    loaded.sheet.on = false;
    for (SlotSettings& line : loaded.lines) {
        line.barcode = {};
        // A snapshot from before the rules, or saved with every rule off, fits nothing.
        line.fit = {};
    }
    readSnapshotTrailer(fileName, loaded);
    return loaded;
}

} // namespace settings

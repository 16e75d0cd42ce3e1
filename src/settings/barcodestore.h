// Where the slots' barcode options are kept: section carovekody of dravelin.ini, written only
// once a slot has been a barcode, and a tagged block in a settings snapshot's trailer, written
// only when some slot's options differ from a text slot's. Files of users who never choose a
// barcode stay exactly as they were.
#pragma once

#include "platform/profile.h"
#include "settings/layoutsettings.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

namespace settings {

// The kind's name in files and on the command line ("text", "ean13", "ean8", "code128",
// "code39", "qr", "datamatrix"), and the kind of a name (any case).
QString barcodeKindName(BarcodeKind kind);
std::optional<BarcodeKind> barcodeKindFromName(const QString& name);

// True when some slot is drawn as a barcode.
bool usesBarcodes(const LayoutSettings& layout);

// Section carovekody over `layout`: one key per slot name, "KIND;X;HEIGHT;DIGITS" (X in
// 0.01 mm, height in 0.1 mm, digits 0 or 1). A key that cannot be read keeps the slot as it is.
void readBarcodes(const platform::Profile& profile, LayoutSettings& layout);
// Writes the section when a slot is a barcode or the section is already there, so a slot set
// back to text is kept as text; otherwise writes nothing.
void writeBarcodes(platform::Profile& profile, const LayoutSettings& layout);

// The snapshot trailer's block of the seven slots' options; empty when every slot has a text
// slot's defaults.
QByteArray encodeBarcodeTrailer(const LayoutSettings& layout);
// `rest` begins with a trailer block. False when it is not this block's tag; throws
// platform::Error when the tag is there but the block is cut short or holds values no writer
// gives. On success the options are put onto `layout`.
bool decodeBarcodeTrailer(QByteArrayView rest, LayoutSettings& layout);

} // namespace settings

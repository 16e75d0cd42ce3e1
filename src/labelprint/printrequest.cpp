#include "labelprint/printrequest.h"

#include "labelprint/labelreport.h"
#include "platform/fileerror.h"
#include "platform/profile.h"
#include "settings/barcodestore.h"
#include "settings/fitstore.h"
#include "settings/fontfile.h"
#include "settings/settingsfile.h"

#include <QDir>
#include <QFileInfo>

namespace labelprint {

RequestFault RequestFault::noSettingsFolder(const QString& path) {
    RequestFault f(Kind::NoSettingsFolder, QStringLiteral("%1: no such settings folder").arg(path));
    f.path_ = path;
    return f;
}

RequestFault RequestFault::notAFolder(const QString& path) {
    RequestFault f(Kind::NotAFolder, QStringLiteral("%1: not a folder").arg(path));
    f.path_ = path;
    return f;
}

RequestFault RequestFault::fontFile(const QString& path, int fileError) {
    RequestFault f(Kind::FontFile,
                   QStringLiteral("%1: %2").arg(path, platform::fileErrorText(fileError)));
    f.path_ = path;
    f.fileError_ = fileError;
    return f;
}

RequestFault RequestFault::sheetUnprintable(const QString& reason) {
    RequestFault f(Kind::SheetUnprintable, reason);
    f.reason_ = reason;
    return f;
}

RequestFault RequestFault::startPastSheet(int start, int perPage) {
    RequestFault f(Kind::StartPastSheet,
                   QStringLiteral("start position %1 of %2").arg(start).arg(perPage));
    f.start_ = start;
    f.perPage_ = perPage;
    return f;
}

RequestFault RequestFault::noFreePosition(int start, const QString& reason) {
    RequestFault f(Kind::NoFreePosition, reason);
    f.start_ = start;
    f.reason_ = reason;
    return f;
}

settings::LayoutSettings readLayoutSettings(const platform::Profile& ini,
                                            const settings::LayoutSettings& base) {
    settings::LayoutSettings layout = settings::readSetup(ini, base);
    layout.sheet = settings::readArch(ini, layout.sheet);
    settings::putFitRules(layout, settings::readFitRules(ini));
    settings::readBarcodes(ini, layout);
    return layout;
}

void readSlotFonts(const QString& dir, settings::LayoutSettings& layout) {
    const QString path = QDir(dir).filePath(QString::fromLatin1(settings::kFontFileName));
    if (!QFileInfo::exists(path)) {
        return;
    }
    try {
        settings::putSlotFonts(layout, settings::readFontFile(path, settings::slotFonts(layout)));
    } catch (const platform::FileError& e) {
        throw RequestFault::fontFile(path, e.code());
    }
}

PrintRequest readSettingsFolder(const QString& dir) {
    const QFileInfo info(dir);
    if (!info.exists()) {
        throw RequestFault::noSettingsFolder(dir);
    }
    if (!info.isDir()) {
        throw RequestFault::notAFolder(dir);
    }
    const platform::Profile ini(
        QDir(dir).filePath(QString::fromLatin1(settings::kSettingsFileName)));
    PrintRequest request;
    request.layout = readLayoutSettings(ini, settings::LayoutSettings{});
    readSlotFonts(dir, request.layout);
    return request;
}

PrintRequest requestFromControls(const settings::LayoutSettings& layout, int startPosition,
                                 const settings::UsedPositions& used,
                                 const settings::PrinterOffsets& offsets, const LabelReport& kept) {
    PrintRequest request;
    request.layout = layout;
    request.startPosition = startPosition;
    request.used = used;
    request.offsets = offsets;
    request.orientation = kept.orientation();
    const PrintSettings& print = kept.printSettings();
    request.title = print.title;
    request.copies = print.copies;
    request.firstPage = print.firstPage;
    request.lastPage = print.lastPage;
    return request;
}

void takeRequest(LabelReport& report, const PrintRequest& request) {
    if (request.layout.sheet.on) {
        if (const auto problem = settings::sheetProblem(request.layout.sheet)) {
            throw RequestFault::sheetUnprintable(*problem);
        }
    }
    report.setOrientation(request.orientation);
    PrintSettings& print = report.printSettings();
    print.copies = request.copies;
    print.firstPage = request.firstPage;
    print.lastPage = request.lastPage;
    print.title = request.title;
    print.offsets = request.offsets;
    report.takeSettings(request.layout);
    const int start = request.startPosition;
    if (start != 1) {
        const int perPage = int(report.pagePositions(report.pageLength()).size());
        if (!settings::startFits(start, perPage)) {
            throw RequestFault::startPastSheet(start, perPage);
        }
    }
    report.setSkip(start - 1);
    // Used positions belong to the sheet description; the default flow has none.
    settings::UsedPositions used;
    if (const settings::Sheet* sheet = report.sheet()) {
        used = request.used;
        if (const auto problem = settings::usedProblem(*sheet, start, used)) {
            throw RequestFault::noFreePosition(start, *problem);
        }
    }
    report.setUsed(used);
}

} // namespace labelprint

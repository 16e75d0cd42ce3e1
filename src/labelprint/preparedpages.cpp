#include "labelprint/preparedpages.h"

#include "labelprint/emfplayer.h"
#include "labelprint/papertable.h"
#include "labelprint/previewdocument.h"
#include "platform/error.h"
#include "platform/fileerror.h"
#include "platform/outputfile.h"
#include "platform/programdir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cmath>

namespace labelprint {
namespace {

QString fullName(const QString& path) {
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

// The paper of page 1, when the page can be read; a damaged page is reported when it is shown.
void recognisePaperOfFirstPage(PreviewDocument& document, const PaperOffer& offered) {
    try {
        const auto drawing = document.pageDrawing(1);
        if (!drawing) {
            return;
        }
        const QRectF picture = emf::readEmfHeader(*drawing).picture;
        const auto choice =
            recognisePaper(int(std::lround(picture.width())), int(std::lround(picture.height())),
                           document.dpi(), offered);
        if (!choice) {
            return;
        }
        const auto paper = paperByCode(choice->code);
        const double width = paper->width;
        const double length = paper->length;
        document.setPaper(choice->code, choice->landscape, choice->landscape ? length : width,
                          choice->landscape ? width : length);
    } catch (const platform::Error&) {
    }
}

} // namespace

prompts::FileRequest saveReportRequest() {
    prompts::FileRequest r;
    r.kind = prompts::FileRequest::Kind::Save;
    r.title = QStringLiteral("Save report");
    r.filter = QStringLiteral("Velmora file(*.LPF)|*.LPF");
    r.defaultSuffix = QStringLiteral("LPF");
    r.overwritePrompt = false;
    return r;
}

prompts::FileRequest loadReportRequest() {
    prompts::FileRequest r;
    r.kind = prompts::FileRequest::Kind::Open;
    r.title = QStringLiteral("Load report");
    r.filter = QStringLiteral("Velmora file (*.LPF)|*.LPF");
    return r;
}

bool savePreparedPages(PreviewDocument& document, const QString& path) {
    PageStore* store = document.store();
    if (document.status() != PreviewDocument::Status::Finished || !store) {
        return false;
    }
    const auto cannotCreate = [&](const QString& why) {
        return platform::Error(
            QStringLiteral("Cannot create file \"%1\". %2").arg(fullName(path), why));
    };
    // Written unnamed beside the file a link names and put in its place only when complete, so
    // a failed save leaves the old file whole; a device, FIFO or folder is refused.
    try {
        platform::PendingFile pending(platform::outputTarget(path));
        QFile file;
        if (!file.open(pending.fd(), QIODevice::WriteOnly, QFileDevice::DontCloseHandle)) {
            throw platform::Error(file.errorString());
        }
        store->copyTo(file);
        if (!file.flush()) {
            throw platform::Error(file.errorString());
        }
        file.close();
        pending.commit();
    } catch (const platform::OutputError& e) {
        throw cannotCreate(e.systemText());
    } catch (const platform::Error& e) {
        throw cannotCreate(e.text());
    }
    return true;
}

bool loadPreparedPages(PreviewDocument& document, const QString& path, const PaperOffer& offered) {
    if (!QFileInfo::exists(path)) {
        prompts::message({platform::programTitle(), QStringLiteral("File does not exist"),
                          prompts::Icon::None, prompts::Buttons::Ok});
        return false;
    }
    document.resetForLoad();
    document.adoptLoadedStore(PageStore::open(path));
    if (document.pageCount() >= 1) {
        recognisePaperOfFirstPage(document, offered);
    }
    return true;
}

bool saveReport(PreviewDocument& document) {
    const auto name = prompts::chooseFile(saveReportRequest());
    return name && savePreparedPages(document, *name);
}

bool loadReport(PreviewDocument& document, const PaperOffer& offered) {
    const auto name = prompts::chooseFile(loadReportRequest());
    return name && loadPreparedPages(document, *name, offered);
}

} // namespace labelprint

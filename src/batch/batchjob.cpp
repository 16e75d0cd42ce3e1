#include "batch/batchjob.h"

#include "batch/batcherror.h"
#include "batch/inputs.h"
#include "batch/interrupt.h"
#include "batch/options.h"
#include "batch/progressbar.h"
#include "batch/tempoutput.h"
#include "batch/watchedsurface.h"
#include "labelprint/alignmentpage.h"
#include "labelprint/labelreport.h"
#include "labelprint/papertable.h"
#include "labelprint/preparedpages.h"
#include "labelprint/previewdocument.h"
#include "labelprint/previewsurface.h"
#include "labelprint/printersurface.h"
#include "platform/profile.h"
#include "platform/programdir.h"
#include "printlist/openstore.h"
#include "settings/fontfile.h"
#include "settings/settingsfile.h"
#include "settings/sheetcatalogue.h"
#include "settings/sheetstore.h"
#include "startup/startup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinterInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace batch {
namespace {

using labelprint::Orientation;
using labelprint::PreviewDocument;
using labelprint::PreviewSurface;
using labelprint::PrinterSurface;
using labelprint::RunResult;
using labelprint::RunStatus;

// Thrown when a signal stopped the run; everything written so far has been removed.
struct Interrupted {};

struct Job {
    Options options;
    labelprint::LabelReport report;
    std::unique_ptr<printlist::RowCursor> rows;
    ProgressBar bar;

    explicit Job(Options o) : options(std::move(o)), bar(!options.quiet) {}
    Orientation orientation() const { return report.orientation(); }

    // Lays the rows out onto `surface`; a signal stops the run before its next label and
    // aborts the document (a print job is then never sent).
    RunResult run(labelprint::PageSurface& surface) {
        if (options.outline) {
            // The alignment page prints no list.
            const RunResult result = labelprint::printAlignmentPage(report, surface);
            bar.finish();
            return result;
        }
        bar.start(rows->rowCount());
        const RunResult result = report.run(*rows, surface, [this] {
            if (interrupt::received() != 0) {
                report.cancelRun();
            }
        });
        bar.finish();
        if (result.status == RunStatus::Aborted && interrupt::received() != 0) {
            throw Interrupted{};
        }
        return result;
    }

    // A signal that came after the last label still keeps a file from taking its place.
    static void stopIfInterrupted() {
        if (interrupt::received() != 0) {
            throw Interrupted{};
        }
    }
};

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString pagesWord(int n) {
    return n == 1 ? QStringLiteral("page") : QStringLiteral("pages");
}

BatchError noPageInRange(const QString& target, const Options& o, int pages) {
    return BatchError(QStringLiteral("%1: no page to print: --pages %2-%3, but the list fills "
                                     "%4 %5")
                          .arg(target)
                          .arg(o.firstPage)
                          .arg(o.lastPage)
                          .arg(pages)
                          .arg(pagesWord(pages)));
}

void tell(const Job& job, const QString& text) {
    // Only a terminal hears how it went; a script gets the exit code and the file.
    if (job.bar.active()) {
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    }
}

// The PDF writer only says that it failed, under the unnamed file's name; the file itself says
// why (a full disk, a quota), so one more write to it is asked.
QString pdfWriteFailure(const TempOutput& out, const QString& said) {
    static const char probe[4096] = {};
    if (::lseek(out.fd(), 0, SEEK_END) >= 0 &&
        (::write(out.fd(), probe, sizeof probe) < 0 || ::fsync(out.fd()) != 0)) {
        return QString::fromLocal8Bit(std::strerror(errno));
    }
    QString text = said;
    return text.replace(out.path(), native(out.target()));
}

void writePdf(Job& job) {
    const QString target = job.options.target;
    TempOutput out(target);
    WatchedSurface<PrinterSurface> surface(job.bar, PrinterSurface::PdfFile{out.path()},
                                           job.report.printSettings(), job.orientation());
    const auto cannotWrite = [&](const QString& why) {
        return BatchError(
            QStringLiteral("%1: cannot write the output: %2").arg(native(target), why));
    };
    RunResult result;
    try {
        result = job.run(surface);
    } catch (const platform::Error& e) {
        throw cannotWrite(pdfWriteFailure(out, e.text()));
    }
    if (result.status != RunStatus::Finished) {
        throw cannotWrite(pdfWriteFailure(out, QString()));
    }
    if (surface.printedPages() == 0) {
        throw noPageInRange(native(target), job.options, result.pages);
    }
    Job::stopIfInterrupted();
    out.commit();
    tell(job, QStringLiteral("%1 labels, %2 %3 -> %4")
                  .arg(result.labels)
                  .arg(surface.printedPages())
                  .arg(pagesWord(surface.printedPages()), native(target)));
}

void writeLpf(Job& job) {
    const QString target = job.options.target;
    TempOutput out(target);
    const bool landscape = job.orientation() == Orientation::Landscape;
    // A4, or the Letter of a Letter sheet: the paper the pages are replayed on.
    const labelprint::SurfacePaper paper = labelprint::choosePaper(
        {}, QPageSize(), job.orientation(), job.report.printSettings().paper);
    PreviewDocument document(paper.width, paper.length);
    document.setPaper(paper.code, landscape, paper.width, paper.length);
    // The pages go straight into the new file as they are finished, never all held at once.
    document.writePagesTo(out.fd());
    WatchedSurface<PreviewSurface> surface(job.bar, document);
    try {
        const RunResult result = job.run(surface);
        if (!document.shortfall().isEmpty()) {
            // Part of the pages would be missing: no file rather than a short one.
            throw BatchError(QStringLiteral("%1: cannot write the output: %2")
                                 .arg(native(target), document.shortfall()));
        }
        const bool complete = result.status == RunStatus::Finished && document.store() &&
                              document.status() == PreviewDocument::Status::Finished;
        document.releaseStore(); // every page and the header are written to the file by now
        if (!complete) {
            throw BatchError(
                QStringLiteral("%1: cannot write the output: the run did not finish").arg(target));
        }
        Job::stopIfInterrupted();
        out.commit();
        tell(job, QStringLiteral("%1 labels, %2 %3 -> %4")
                      .arg(result.labels)
                      .arg(result.pages)
                      .arg(pagesWord(result.pages), native(target)));
    } catch (const BatchError&) {
        throw;
    } catch (const platform::Error& e) {
        throw BatchError(
            QStringLiteral("%1: cannot write the output: %2").arg(native(target), e.text()));
    }
}

void printOnPrinter(Job& job) {
    const QString wanted = job.options.target;
    const bool useDefault = wanted == QLatin1String("default");
    const QString label = useDefault ? QStringLiteral("default printer")
                                     : QStringLiteral("printer \"%1\"").arg(wanted);
    const QStringList installed = QPrinterInfo::availablePrinterNames();
    if (installed.isEmpty()) {
        throw BatchError(QStringLiteral("%1: no printer is installed").arg(label));
    }
    if (!useDefault && !installed.contains(wanted)) {
        throw BatchError(QStringLiteral("%1: no such printer (installed: %2)")
                             .arg(label, installed.join(QStringLiteral(", "))));
    }
    job.report.printSettings().printer = useDefault ? QString() : wanted;
    WatchedSurface<PrinterSurface> surface(job.bar, job.report.printSettings(), job.orientation());
    RunResult result;
    try {
        result = job.run(surface);
    } catch (const platform::Error& e) {
        throw BatchError(QStringLiteral("%1: %2").arg(label, e.text()));
    }
    if (result.status != RunStatus::Finished) {
        throw BatchError(QStringLiteral("%1: ").arg(label));
    }
    if (surface.printedPages() == 0) {
        throw noPageInRange(label, job.options, result.pages);
    }
    tell(job, QStringLiteral("%1 labels, %2 %3 -> %4, job %5")
                  .arg(result.labels)
                  .arg(surface.printedPages())
                  .arg(pagesWord(surface.printedPages()), label)
                  .arg(surface.jobId()));
}

// The file a path names in the end (links followed), for telling whether two paths are one file.
std::optional<std::pair<dev_t, ino_t>> fileIdentity(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        return std::nullopt;
    }
    return std::make_pair(st.st_dev, st.st_ino);
}

// An output that is one of the run's inputs would replace what the run reads (the print list
// turned into a PDF): refused before anything is read or written.
void refuseOutputOverInput(const Options& o, const QString& dir) {
    if (o.output != Options::Output::Pdf && o.output != Options::Output::Lpf) {
        return;
    }
    const auto output = fileIdentity(o.target);
    if (!output) {
        return;
    }
    QStringList inputs;
    inputs << (!o.list.isEmpty() ? o.list
                                 : (o.db.isEmpty() ? dir + QStringLiteral("seznam.db") : o.db));
    if (!o.snapshot.isEmpty()) {
        inputs << o.snapshot;
    } else {
        const QDir folder(o.settings.isEmpty() ? dir : o.settings);
        inputs << folder.filePath(QString::fromLatin1(settings::kSettingsFileName))
               << folder.filePath(QString::fromLatin1(settings::kFontFileName));
    }
    for (const QString& input : inputs) {
        if (fileIdentity(input) == output) {
            throw BatchError(QStringLiteral("%1: cannot write the output: it is the input %2")
                                 .arg(native(o.target), native(input)));
        }
    }
}

// Puts --order on the sheet and gives the --used positions as label numbers from 0; both
// want a sheet that is on.
settings::UsedPositions sheetOrderAndUse(const Options& o, settings::Sheet& sheet) {
    if (!o.order && o.used.empty()) {
        return {};
    }
    if (!sheet.on) {
        throw BatchError(QStringLiteral("%1 needs a label sheet: --sheet NAME, or a sheet switched "
                                        "on in the settings")
                             .arg(o.order ? QStringLiteral("--order") : QStringLiteral("--used")),
                         UsageFailure);
    }
    if (o.order) {
        sheet.order = *o.order;
    }
    settings::UsedPositions used;
    const int perSheet = sheet.labelsPerSheet();
    for (const auto& [from, to] : o.used) {
        if (to > perSheet) {
            throw BatchError(QStringLiteral("--used %1: the sheet has only %2 positions")
                                 .arg(o.usedText)
                                 .arg(perSheet),
                             UsageFailure);
        }
        for (int n = from; n <= to; ++n) {
            used.insert(n - 1);
        }
    }
    return used;
}

void runJob(Job& job) {
    const Options& o = job.options;
    const QString dir = platform::programDirectory();
    refuseOutputOverInput(o, dir);
    settings::LayoutSettings layout =
        o.snapshot.isEmpty() ? readSettingsFolder(o.settings.isEmpty() ? dir : o.settings)
                             : readSnapshot(o.snapshot);
    if (!o.sheet.isEmpty()) {
        QStringList near;
        const auto entry = settings::findSheet(settings::fullCatalogue(), o.sheet, &near);
        if (!entry) {
            throw BatchError(
                near.isEmpty()
                    ? QStringLiteral("--sheet %1: no such sheet in the catalogue").arg(o.sheet)
                    : QStringLiteral("--sheet %1: not one sheet; did you mean: %2")
                          .arg(o.sheet, near.mid(0, 12).join(QStringLiteral(", "))),
                UsageFailure);
        }
        layout.sheet = entry->sheet;
    }
    const settings::UsedPositions used = sheetOrderAndUse(o, layout.sheet);
    // Without a list option the print list is the program's own: the server its dravelin.ini
    // names, or seznam.db beside it.
    QString server = o.dbServer;
    if (o.list.isEmpty() && o.db.isEmpty() && server.isEmpty()) {
        server = printlist::configuredServer(
            platform::Profile(dir + QString::fromLatin1(settings::kSettingsFileName)));
    }
    // The alignment page prints no list, so none is read.
    if (!o.outline) {
        job.rows = !o.list.isEmpty() ? readListFile(o.list)
                   : !server.isEmpty()
                       ? readServer(server)
                       : readDatabase(o.db.isEmpty() ? dir + QStringLiteral("seznam.db") : o.db);
    }
    Job::stopIfInterrupted();

    // The print setup first, then the print command's settings, as in the program.
    job.report.setOrientation(o.landscape ? Orientation::Landscape : Orientation::Portrait);
    labelprint::PrintSettings& print = job.report.printSettings();
    print.copies = o.copies;
    print.firstPage = o.firstPage;
    print.lastPage = o.lastPage;
    print.title =
        !server.isEmpty() && o.list.isEmpty()
            ? QStringLiteral("seznam")
            : QFileInfo(o.list.isEmpty() ? (o.db.isEmpty() ? QStringLiteral("seznam.db") : o.db)
                                         : o.list)
                  .fileName();
    // The printers' corrections live beside the settings, whichever settings are used.
    const QString iniDir = o.settings.isEmpty() ? dir : QDir(o.settings).path() + QLatin1Char('/');
    const QString ini = iniDir + QString::fromLatin1(settings::kSettingsFileName);
    try {
        print.offsets = settings::readPrinterOffsets(platform::Profile(ini));
    } catch (const platform::Error& e) {
        throw BatchError(QStringLiteral("%1: %2").arg(native(ini), e.text()));
    }
    try {
        job.report.takeSettings(layout);
    } catch (const platform::Error& e) {
        throw BatchError(QStringLiteral("the label sheet cannot be printed: %1").arg(e.text()));
    }
    if (o.skip > 0) {
        const int perPage = int(job.report.pagePositions(job.report.pageLength()).size());
        if (o.skip >= perPage) {
            throw BatchError(
                QStringLiteral("--skip %1: a page holds only %2 labels").arg(o.skip).arg(perPage),
                UsageFailure);
        }
        job.report.setSkip(o.skip);
    }
    if (!used.empty() && settings::freePositions(layout.sheet, o.skip + 1, used) <= 0) {
        throw BatchError(QStringLiteral("--used %1: no position of the first sheet is left free")
                             .arg(o.usedText),
                         UsageFailure);
    }
    job.report.setUsed(used);

    switch (o.output) {
    case Options::Output::Pdf:
        writePdf(job);
        break;
    case Options::Output::Lpf:
        writeLpf(job);
        break;
    case Options::Output::Printer:
        printOnPrinter(job);
        break;
    case Options::Output::None:
        break;
    }
}

void fail(const QString& text) {
    std::fprintf(stderr, "dravelin-batch: %s\n", text.toLocal8Bit().constData());
}

} // namespace

int runBatch(const QStringList& args) {
    try {
        Options options = parseOptions(args);
        if (options.help) {
            std::fputs(helpText(native(platform::programDirectory())).toLocal8Bit().constData(),
                       stdout);
            return Success;
        }
        if (options.version) {
            std::fputs((startup::versionLine(QStringLiteral("dravelin-batch")) + '\n')
                           .toLocal8Bit()
                           .constData(),
                       stdout);
            return Success;
        }
        interrupt::install();
        Job job(std::move(options));
        runJob(job);
        return Success;
    } catch (const Interrupted&) {
        fail(QStringLiteral("interrupted; nothing was written"));
        return interrupt::exitCode();
    } catch (const BatchError& e) {
        fail(e.text());
        return e.code();
    } catch (const platform::Error& e) {
        fail(e.text());
        return Failure;
    } catch (const std::exception& e) {
        fail(QString::fromLocal8Bit(e.what()));
        return Failure;
    }
}

} // namespace batch

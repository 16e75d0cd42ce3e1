#include "batch/batchjob.h"

#include "batch/batcherror.h"
#include "batch/inputs.h"
#include "batch/interrupt.h"
#include "batch/options.h"
#include "batch/progressbar.h"
#include "batch/tempoutput.h"
#include "labelprint/labelreport.h"
#include "labelprint/preparedpages.h"
#include "labelprint/previewdocument.h"
#include "labelprint/printjob.h"
#include "labelprint/printrequest.h"
#include "platform/profile.h"
#include "platform/programdir.h"
#include "printlist/openstore.h"
#include "printlist/pricelist.h"
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
using labelprint::RunResult;
using labelprint::RunStatus;

// Thrown when a signal stopped the run; everything written so far has been removed.
struct Interrupted {};

struct Job : labelprint::JobWatcher {
    Options options;
    labelprint::LabelReport report;
    std::unique_ptr<printlist::RowCursor> rows;
    ProgressBar bar;
    long long labels = 0;
    int pages = 0;
    // The labels of the finished run with text that does not fit: their number, and with
    // --check-fit each of them.
    int overflowCount = 0;
    std::vector<labelprint::Overflow> overflows;

    explicit Job(Options o) : options(std::move(o)), bar(!options.quiet) {
        // A code that cannot be encoded is never printed: the run stops at its label.
        report.setStopAt(labelprint::problemBit(labelprint::LabelProblem::BadBarcode));
        // Only --check-fit names the rows: otherwise a long list would be held label by label.
        report.setKeepOverflows(options.checkFit);
    }
    void takeOverflows(RunResult& result) {
        overflowCount = result.problems[labelprint::LabelProblem::Overflow].labels;
        overflows = std::move(result.overflows);
    }
    Orientation orientation() const { return report.orientation(); }

    // A signal stops the run before its next label and aborts its document (a print job is
    // then never sent).
    void beforeLabel() override {
        if (interrupt::received() != 0) {
            report.cancelRun();
        }
    }
    void labelDone(int /*percent*/) override { bar.setLabels(++labels); }
    void pageDone() override { bar.setPages(++pages); }

    // Runs `what` on the core print job of the rows (the alignment page prints no list), with
    // the progress bar.
    template <class What> auto run(What what) {
        if (!options.outline) {
            bar.start(rows->rowCount());
        }
        labelprint::PrintJob job(report, options.outline ? nullptr : rows.get(), this);
        const auto result = what(job);
        bar.finish();
        if (status(result) == RunStatus::Aborted && interrupt::received() != 0) {
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

  private:
    static RunStatus status(const RunResult& r) { return r.status; }
    static RunStatus status(const labelprint::SentJob& s) { return s.run.status; }
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

// The run stopped at a label whose code cannot be encoded; its document was dropped.
void refuseBadCodes(const RunResult& run) {
    const labelprint::ProblemTally& bad = run.problems[labelprint::LabelProblem::BadBarcode];
    if (bad.labels == 0) {
        return;
    }
    const int slot = bad.first.slot;
    throw BatchError(
        QStringLiteral("row %1: %2: the barcode cannot be encoded: %3; nothing was "
                       "written")
            .arg(bad.firstLabel)
            .arg(slot >= 0 && slot < settings::SlotCount ? settings::slotNames()[slot] : QString(),
                 bad.first.reason));
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
    labelprint::PrintSettings where = job.report.printSettings();
    where.pdfFile = out.path();
    const auto cannotWrite = [&](const QString& why) {
        return BatchError(
            QStringLiteral("%1: cannot write the output: %2").arg(native(target), why));
    };
    labelprint::SentJob sent;
    try {
        sent = job.run([&](labelprint::PrintJob& j) { return j.print(where); });
    } catch (const platform::Error& e) {
        throw cannotWrite(pdfWriteFailure(out, e.text()));
    }
    refuseBadCodes(sent.run);
    if (sent.run.status != RunStatus::Finished) {
        throw cannotWrite(pdfWriteFailure(out, QString()));
    }
    if (sent.sentPages == 0) {
        throw noPageInRange(native(target), job.options, sent.run.pages);
    }
    Job::stopIfInterrupted();
    out.commit();
    job.takeOverflows(sent.run);
    tell(job, QStringLiteral("%1 labels, %2 %3 -> %4")
                  .arg(sent.run.labels)
                  .arg(sent.sentPages)
                  .arg(pagesWord(sent.sentPages), native(target)));
}

void writeLpf(Job& job) {
    const QString target = job.options.target;
    TempOutput out(target);
    // A4, or the Letter of a Letter sheet: the paper the pages are replayed on.
    const auto document = labelprint::PrintJob::newDocument(job.report, QPrinterInfo());
    // The pages go straight into the new file as they are finished, never all held at once.
    document->writePagesTo(out.fd());
    try {
        RunResult result = job.run([&](labelprint::PrintJob& j) { return j.record(*document); });
        refuseBadCodes(result);
        if (!document->shortfall().isEmpty()) {
            // Part of the pages would be missing: no file rather than a short one.
            throw BatchError(QStringLiteral("%1: cannot write the output: %2")
                                 .arg(native(target), document->shortfall()));
        }
        const bool complete = result.status == RunStatus::Finished && document->store() &&
                              document->status() == PreviewDocument::Status::Finished;
        document->releaseStore(); // every page and the header are written to the file by now
        if (!complete) {
            throw BatchError(
                QStringLiteral("%1: cannot write the output: the run did not finish").arg(target));
        }
        Job::stopIfInterrupted();
        out.commit();
        job.takeOverflows(result);
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
    labelprint::PrintSettings where = job.report.printSettings();
    where.printer = useDefault ? QString() : wanted;
    labelprint::SentJob sent;
    try {
        sent = job.run([&](labelprint::PrintJob& j) { return j.print(where); });
    } catch (const platform::Error& e) {
        throw BatchError(QStringLiteral("%1: %2").arg(label, e.text()));
    }
    refuseBadCodes(sent.run);
    if (sent.run.status != RunStatus::Finished) {
        throw BatchError(QStringLiteral("%1: ").arg(label));
    }
    if (sent.sentPages == 0) {
        throw noPageInRange(label, job.options, sent.run.pages);
    }
    job.takeOverflows(sent.run);
    tell(job, QStringLiteral("%1 labels, %2 %3 -> %4, job %5")
                  .arg(sent.run.labels)
                  .arg(sent.sentPages)
                  .arg(pagesWord(sent.sentPages), label)
                  .arg(sent.jobId));
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
    inputs << (!o.import.isEmpty() ? o.import
               : !o.list.isEmpty() ? o.list
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

// The folder whose dravelin.ini holds the settings, the printers' corrections and the saved
// mappings.
QString iniPath(const Options& o, const QString& dir) {
    const QString iniDir = o.settings.isEmpty() ? dir : QDir(o.settings).path() + QLatin1Char('/');
    return iniDir + QString::fromLatin1(settings::kSettingsFileName);
}

// --import with --add-to-db or --add-to-server: the labels go into that list, all or none.
void addImported(Job& job, const QString& dir) {
    const Options& o = job.options;
    const QString ini = iniPath(o, dir);
    // kods is composed with the settings' specznak, as "přidat" composes it.
    const QString specznak =
        o.snapshot.isEmpty()
            ? settings::readSetup(platform::Profile(ini), settings::LayoutSettings{}).specznak
            : readSnapshot(o.snapshot).specznak;
    const auto rows = readPriceList(o.import, importMapping(o, ini), specznak);
    Job::stopIfInterrupted();
    const QString target =
        !o.addToDb.isEmpty()
            ? native(o.addToDb)
            : QStringLiteral("print-list server \"%1\"").arg(printlist::shownServer(o.addToServer));
    if (!o.addToDb.isEmpty() && !QFileInfo(o.addToDb).isFile()) {
        throw BatchError(QStringLiteral("%1: no such database").arg(target));
    }
    auto store = printlist::makeStore(o.addToServer, o.addToDb);
    qint64 added = 0;
    try {
        store->connect();
        added = printlist::appendPriceList(*store, *rows);
    } catch (const printlist::PriceListError& e) {
        throw BatchError(e.text());
    } catch (const printlist::PriceListRowsError& e) {
        throw BatchError(
            QStringLiteral("%1: changed while it was read: %2").arg(native(o.import), e.text()));
    } catch (const platform::Error& e) {
        throw BatchError(QStringLiteral("%1: nothing was added: %2").arg(target, e.text()));
    }
    tell(job, QStringLiteral("%1 labels added -> %2").arg(added).arg(target));
}

void runJob(Job& job) {
    const Options& o = job.options;
    const QString dir = platform::programDirectory();
    if (!o.addToDb.isEmpty() || !o.addToServer.isEmpty()) {
        addImported(job, dir);
        return;
    }
    refuseOutputOverInput(o, dir);
    labelprint::PrintRequest request;
    try {
        if (o.snapshot.isEmpty()) {
            request = labelprint::readSettingsFolder(o.settings.isEmpty() ? dir : o.settings);
        } else {
            request.layout = readSnapshot(o.snapshot);
        }
    } catch (const labelprint::RequestFault& f) {
        throw describe(f, o.usedText);
    }
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
        request.layout.sheet = entry->sheet;
    }
    request.used = sheetOrderAndUse(o, request.layout.sheet);
    for (const auto& [slot, rule] : o.fits) {
        request.layout.lines[size_t(slot)].fit = rule;
    }
    for (const BarcodeChoice& b : o.barcodes) {
        settings::BarcodeOptions& to = request.layout.lines[size_t(b.slot)].barcode;
        to.kind = b.kind;
        to.moduleWidth = b.moduleWidth.value_or(to.moduleWidth);
        to.barHeight = b.barHeight.value_or(to.barHeight);
        to.digits = b.digits.value_or(to.digits);
    }
    // Without a list option the print list is the program's own: the server its dravelin.ini
    // names, or seznam.db beside it.
    QString server = o.dbServer;
    if (o.list.isEmpty() && o.db.isEmpty() && server.isEmpty() && o.import.isEmpty()) {
        server = printlist::configuredServer(
            platform::Profile(dir + QString::fromLatin1(settings::kSettingsFileName)));
    }
    // The alignment page prints no list, so none is read.
    if (!o.import.isEmpty()) {
        job.rows =
            readPriceList(o.import, importMapping(o, iniPath(o, dir)), request.layout.specznak);
    } else if (!o.outline) {
        job.rows = !o.list.isEmpty() ? readListFile(o.list)
                   : !server.isEmpty()
                       ? readServer(server)
                       : readDatabase(o.db.isEmpty() ? dir + QStringLiteral("seznam.db") : o.db);
    }
    Job::stopIfInterrupted();

    request.orientation = o.landscape ? Orientation::Landscape : Orientation::Portrait;
    request.copies = o.copies;
    request.firstPage = o.firstPage;
    request.lastPage = o.lastPage;
    request.title =
        !o.import.isEmpty() ? QFileInfo(o.import).fileName()
        : !server.isEmpty() && o.list.isEmpty()
            ? QStringLiteral("seznam")
            : QFileInfo(o.list.isEmpty() ? (o.db.isEmpty() ? QStringLiteral("seznam.db") : o.db)
                                         : o.list)
                  .fileName();
    request.startPosition = o.skip + 1;
    // The printers' corrections live beside the settings, whichever settings are used.
    const QString iniDir = o.settings.isEmpty() ? dir : QDir(o.settings).path() + QLatin1Char('/');
    const QString ini = iniDir + QString::fromLatin1(settings::kSettingsFileName);
    try {
        request.offsets = settings::readPrinterOffsets(platform::Profile(ini));
    } catch (const platform::Error& e) {
        throw BatchError(QStringLiteral("%1: %2").arg(native(ini), e.text()));
    }
    try {
        labelprint::takeRequest(job.report, request);
    } catch (const labelprint::RequestFault& f) {
        throw describe(f, o.usedText);
    }

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

// Text that does not fit never passes in silence: its count on standard error, and with
// --check-fit each row and its slots on standard output and exit code 3.
int reportOverflows(const Job& job) {
    if (job.overflowCount == 0) {
        return Success;
    }
    if (job.options.checkFit) {
        QString list;
        for (const labelprint::Overflow& o : job.overflows) {
            QStringList names;
            for (int s = 0; s < settings::SlotCount; ++s) {
                if (o.slotBits & (1u << unsigned(s))) {
                    names << settings::slotNames()[size_t(s)];
                }
            }
            list +=
                QStringLiteral("row %1: %2\n").arg(o.label).arg(names.join(QStringLiteral(", ")));
        }
        std::fputs(list.toLocal8Bit().constData(), stdout);
    }
    const int n = job.overflowCount;
    fail(QStringLiteral("%1 %2 text that does not fit%3")
             .arg(n)
             .arg(n == 1 ? QStringLiteral("label has") : QStringLiteral("labels have"))
             .arg(job.options.checkFit ? QString() : QStringLiteral(" (--check-fit lists them)")));
    return job.options.checkFit ? FitFailure : Success;
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
        return reportOverflows(job);
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

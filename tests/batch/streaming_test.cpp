// The batch tool reads its rows and writes its pages as the run goes: its output must be the
// very bytes the program's own path gives (the list view in memory, pages held by the page
// store and then saved), apart from the time each file carries. And a run stopped by Ctrl+C
// leaves nothing behind.
#include "batchprocess.h"

#include "labelprint/labelreport.h"
#include "labelprint/preparedpages.h"
#include "labelprint/previewdocument.h"
#include "labelprint/previewsurface.h"
#include "labelprint/printersurface.h"
#include "platform/profile.h"
#include "printlist/database.h"
#include "printlist/listfile.h"
#include "settings/settingsfile.h"
#include "support/tempprogramdir.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace batchtest;

namespace {

constexpr int kFivePages = 100; // the worked example puts 21 labels on a page

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A PDF without its creation time; a prepared-pages file without the time in its header.
QByteArray withoutTime(QByteArray bytes, bool pdf) {
    if (pdf) {
        static const QRegularExpression date(QStringLiteral("/CreationDate \\(D:[0-9]{14}"));
        const auto m = date.match(QString::fromLatin1(bytes));
        if (m.hasMatch()) {
            bytes.replace(m.capturedStart(), m.capturedLength(),
                          QByteArray("/CreationDate (D:00000000000000"));
        }
    } else if (bytes.size() >= 24) {
        bytes.replace(16, 8, QByteArray(8, '\0'));
    }
    return bytes;
}

TEST(BatchStreaming, FivePagesAreTheBytesOfTheProgramsOwnPath) {
    TempProgramDir program;
    program.createDatabase();
    program.write("dravelin.ini", exampleIni());
    program.write("list.csv", exampleList(kFivePages));
    {
        printlist::SqliteStore store;
        store.open(program.file("seznam.db"));
        ASSERT_EQ(printlist::importList(store, program.file("list.csv")),
                  printlist::ImportResult::Imported);
    }
    const settings::LayoutSettings layout = settings::readSetup(
        platform::Profile(program.file("dravelin.ini")), settings::LayoutSettings{});

    struct Case {
        const char* input;  // "--list" or "--db"
        const char* output; // "--pdf" or "--lpf"
    };
    for (const Case& c : {Case{"--list", "--pdf"}, Case{"--list", "--lpf"}, Case{"--db", "--pdf"},
                          Case{"--db", "--lpf"}}) {
        SCOPED_TRACE(std::string(c.input) + " " + c.output);
        const bool pdf = QLatin1String(c.output) == QLatin1String("--pdf");
        const QString source = program.file(
            QLatin1String(c.input) == QLatin1String("--list") ? "list.csv" : "seznam.db");
        const QString batchOut = program.file(pdf ? "batch.pdf" : "batch.LPF");
        const QString ownOut = program.file(pdf ? "own.pdf" : "own.LPF");
        const Outcome o =
            runBatch({c.input, source, "--settings", program.path(), c.output, batchOut});
        ASSERT_EQ(o.exitCode, 0) << o.err.toStdString();

        // The window's path: the whole list view in memory, onto the same surface.
        printlist::SqliteStore store;
        store.open(program.file("seznam.db"));
        labelprint::LabelReport qr1;
        qr1.takeSettings(layout);
        qr1.printSettings().title = QFileInfo(source).fileName();
        if (pdf) {
            labelprint::PrinterSurface printer(labelprint::PrinterSurface::PdfFile{ownOut},
                                               qr1.printSettings(), qr1.orientation());
            const auto run = qr1.run(store.listView(), printer);
            ASSERT_EQ(run.status, labelprint::RunStatus::Finished);
            ASSERT_EQ(run.pages, 5);
        } else {
            labelprint::PreviewDocument document;
            labelprint::PreviewSurface preview(document);
            const auto run = qr1.run(store.listView(), preview);
            ASSERT_EQ(run.pages, 5);
            ASSERT_TRUE(labelprint::savePreparedPages(document, ownOut));
        }
        const QByteArray batch = readAll(batchOut);
        const QByteArray own = readAll(ownOut);
        ASSERT_GT(own.size(), 1000);
        EXPECT_EQ(batch.size(), own.size());
        EXPECT_TRUE(withoutTime(batch, pdf) == withoutTime(own, pdf));
    }
}

// The tool on a terminal of its own, as a user at a shell runs it: what it shows there, and
// its exit status.
struct TerminalRun {
    QString shown;
    int exitCode = -1;
    bool interrupted = false;
};

// Runs dravelin-batch in `dir` with its own temporary folder `tmp`, on a pseudo-terminal, and
// sends SIGINT once the bar shows `stopAt` percent.
TerminalRun runOnTerminal(const QStringList& args, const QString& dir, const QString& tmp,
                          int stopAt) {
    // The platform plugin's runtime folder would otherwise be made inside `tmp`.
    const QTemporaryDir runtime;
    std::vector<QByteArray> argBytes{QByteArray(DRAVELIN_BATCH_EXE)};
    for (const QString& a : args) {
        argBytes.push_back(a.toLocal8Bit());
    }
    std::vector<char*> argv;
    for (QByteArray& a : argBytes) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    std::vector<QByteArray> envBytes{"TMPDIR=" + tmp.toLocal8Bit(), "QT_QPA_PLATFORM=offscreen",
                                     "LANG=C.UTF-8", "TERM=xterm",
                                     "XDG_RUNTIME_DIR=" + runtime.path().toLocal8Bit()};
    std::vector<char*> envp;
    for (QByteArray& e : envBytes) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    const QByteArray cwd = dir.toLocal8Bit();

    TerminalRun result;
    int master = -1;
    const pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
    if (pid < 0) {
        return result;
    }
    if (pid == 0) {
        if (::chdir(cwd.constData()) == 0) {
            ::execve(argv[0], argv.data(), envp.data());
        }
        ::_exit(127);
    }
    static const QRegularExpression percent(QStringLiteral("\\] +([0-9]+)%"));
    QByteArray seen;
    for (;;) {
        pollfd p{master, POLLIN, 0};
        if (::poll(&p, 1, 120000) <= 0) {
            break;
        }
        char buffer[4096];
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n <= 0) {
            break; // EIO once the child has closed the terminal
        }
        seen.append(buffer, n);
        if (!result.interrupted) {
            // The last figure drawn so far.
            const QString text = QString::fromUtf8(seen.right(200));
            int last = -1;
            for (auto it = percent.globalMatch(text); it.hasNext();) {
                last = it.next().captured(1).toInt();
            }
            if (last >= stopAt) {
                ::kill(pid, SIGINT);
                result.interrupted = true;
            }
        }
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ::close(master);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.shown = QString::fromUtf8(seen);
    return result;
}

TEST(BatchStreaming, CtrlCHalfwayLeavesNoOutputAndNoTemporaryFile) {
    QTemporaryDir work;
    QTemporaryDir tmp;
    {
        QFile list(work.path() + "/big.csv");
        ASSERT_TRUE(list.open(QIODevice::WriteOnly));
        list.write(exampleList(200000));
        QFile ini(work.path() + "/dravelin.ini");
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(exampleIni());
    }
    for (const char* output : {"--pdf", "--lpf"}) {
        SCOPED_TRACE(output);
        const TerminalRun run = runOnTerminal(
            {"--list", "big.csv", "--settings", ".", output, "out"}, work.path(), tmp.path(), 50);
        ASSERT_TRUE(run.interrupted) << run.shown.toStdString();
        EXPECT_EQ(run.exitCode, 130) << run.shown.toStdString();
        // The bar showed labels and pages done and the time left.
        static const QRegularExpression bar(QStringLiteral(
            "\\] +[0-9]+%  [0-9,]+ of 200,000 labels  [0-9,]+ pages  [0-9]+:[0-9]{2} left"));
        EXPECT_TRUE(bar.match(run.shown).hasMatch()) << run.shown.right(400).toStdString();
        EXPECT_TRUE(run.shown.contains("dravelin-batch: interrupted")) << run.shown.toStdString();
        EXPECT_EQ(entries(work.path()), QStringList({"big.csv", "dravelin.ini"}));
        EXPECT_EQ(entries(tmp.path()), QStringList());
    }
}

} // namespace

#include "batchprocess.h"

#include "labelprint/labelreport.h"
#include "labelprint/pagestore.h"
#include "labelprint/preparedpages.h"
#include "labelprint/previewdocument.h"
#include "labelprint/previewsurface.h"
#include "printlist/database.h"
#include "settings/fontfile.h"
#include "settings/snapshot.h"
#include "support/smalltmpfs.h"
#include "support/tempprogramdir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>

using namespace batchtest;

namespace {

// A folder with the worked example's list file and settings, as a user would have it.
class BatchDir {
  public:
    BatchDir() {
        write("list.csv", exampleList(50));
        write("dravelin.ini", exampleIni());
    }
    QString path(const QString& name = {}) const { return dir_.path() + "/" + name; }
    void write(const QString& name, const QByteArray& bytes) const {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QByteArray read(const QString& name) const {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
    }

  private:
    QTemporaryDir dir_;
};

settings::LayoutSettings workedExample() {
    settings::LayoutSettings s;
    s.sloupce = 3;
    s.vyskabunky = 37;
    return s;
}

bool containsWord(const std::vector<Word>& words, const QString& text) {
    return std::any_of(words.begin(), words.end(), [&](const Word& w) { return w.text == text; });
}

TEST(BatchRun, ListFileAndSettingsFolderGiveThePdfOfTheWorkedExample) {
    BatchDir dir;
    const Outcome o =
        runBatch({"--list", "list.csv", "--settings", ".", "--pdf", "out.pdf"}, dir.path());
    ASSERT_EQ(o.exitCode, 0) << o.err.toStdString();
    EXPECT_EQ(o.err, "") << "silent when standard error is not a terminal";
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(entries(dir.path()), QStringList({"dravelin.ini", "list.csv", "out.pdf"}));
    EXPECT_EQ(QFile(dir.path("out.pdf")).permissions() & QFile::ReadOther, QFile::ReadOther);

    const auto pages = pdfWords(dir.path("out.pdf"));
    ASSERT_EQ(pages.size(), 3u); // 21, 21 and 8 labels
    // Windows-1250 texts arrive as the letters they are; the line slots follow the ini.
    EXPECT_TRUE(containsWord(pages[0], "Žluťoučký1"));
    EXPECT_TRUE(containsWord(pages[0], "řádek21"));
    EXPECT_TRUE(containsWord(pages[2], "*700050*"));
    EXPECT_FALSE(containsWord(pages[2], "*700042*"));
    // Label 50 is the only one in column 2 of page 3: its top at 10 mm, its left at 73.2 mm.
    for (const Word& w : pages[2]) {
        if (w.text == "*700050*") {
            EXPECT_GT(w.xMin, 632.35 / 254 * 72 + 28.35);
            EXPECT_LT(w.yMin, 47 / 25.4 * 72);
        }
    }
}

TEST(BatchRun, DatabaseAndSnapshotGiveThePreviewsPreparedPages) {
    TempProgramDir program;
    program.createDatabase();
    {
        printlist::SqliteStore store;
        store.open(program.file("seznam.db"));
        for (int i = 1; i <= 50; ++i) {
            const QString code = QString::number(i);
            store.prikaz("insert into seznam (kod,kods,nazev,cena,text1,text2,text3) "
                         "values(?,?,?,?,?,?,?)",
                         {code, "*" + code + "*", "název " + code, "9,90", "", "", ""});
        }
    }
    program.write("cenovky.nas", settings::encodeSnapshot(workedExample()));
    const Outcome o = runBatch({"--db", program.file("seznam.db"), "--snapshot",
                                program.file("cenovky.nas"), "--lpf", program.file("out.LPF")});
    ASSERT_EQ(o.exitCode, 0) << o.err.toStdString();

    // The same run inside this process, onto the preview's surface, saved as the preview saves.
    printlist::SqliteStore store;
    store.open(program.file("seznam.db"));
    labelprint::LabelReport qr1;
    qr1.takeSettings(workedExample());
    labelprint::PreviewDocument document;
    labelprint::PreviewSurface preview(document);
    ASSERT_EQ(qr1.run(store.listView(), preview).status, labelprint::RunStatus::Finished);
    ASSERT_TRUE(labelprint::savePreparedPages(document, program.file("own.LPF")));
    // The header carries the time of the run; the pages themselves are the preview's.
    const auto batchStore = labelprint::PageStore::open(program.file("out.LPF"));
    const auto ownStore = labelprint::PageStore::open(program.file("own.LPF"));
    ASSERT_EQ(batchStore->pageCount(), 3);
    ASSERT_EQ(ownStore->pageCount(), 3);
    for (int n = 1; n <= 3; ++n) {
        EXPECT_EQ(batchStore->page(n), ownStore->page(n)) << "page " << n;
    }

    // And the preview's Load Report opens it.
    labelprint::PreviewDocument loaded;
    ASSERT_TRUE(labelprint::loadPreparedPages(loaded, program.file("out.LPF"),
                                              [](int code) { return code == 9; }));
    EXPECT_EQ(loaded.pageCount(), 3);
    EXPECT_TRUE(loaded.pageDrawing(3).has_value());
}

TEST(BatchRun, PrintSetupOptionsShapeTheDocument) {
    struct Case {
        QStringList args;
        int pages;
        bool landscape;
    };
    const Case cases[] = {
        {{"--pages", "2-3"}, 2, false},
        {{"--pages", "3"}, 1, false},
        {{"--pages=1-9"}, 3, false},
        // 5 labels a column, 15 a page on A4 landscape.
        {{"--landscape"}, 4, true},
        {{"--landscape", "--pages", "4-4", "--quiet"}, 1, true},
    };
    for (const Case& c : cases) {
        BatchDir dir;
        const Outcome o = runBatch(
            QStringList{"--list", "list.csv", "--settings", ".", "--pdf", "out.pdf"} + c.args,
            dir.path());
        SCOPED_TRACE(c.args.join(' ').toStdString());
        ASSERT_EQ(o.exitCode, 0) << o.err.toStdString();
        EXPECT_EQ(pdfPages(dir.path("out.pdf")), c.pages);
        QProcess info;
        info.start("pdfinfo", {dir.path("out.pdf")});
        info.waitForFinished();
        const QString text = QString::fromUtf8(info.readAllStandardOutput());
        EXPECT_TRUE(text.contains(c.landscape ? "842 x 595" : "595 x 842")) << text.toStdString();
    }
}

TEST(BatchRun, DefaultsComeFromTheProgramDirectory) {
    // A copy of the tool in a folder of its own finds seznam.db and dravelin.ini beside itself,
    // whatever the working directory.
    TempProgramDir program;
    program.createDatabase();
    {
        printlist::SqliteStore store;
        store.open(program.file("seznam.db"));
        for (int i = 0; i < 22; ++i) {
            store.prikaz("insert into seznam (kod,kods,nazev,cena,text1,text2,text3) "
                         "values('1','*1*','a','b','','','')");
        }
    }
    program.write("dravelin.ini", exampleIni());
    ASSERT_TRUE(QFile::copy(DRAVELIN_BATCH_EXE, program.file("dravelin-batch")));
    QFile::setPermissions(program.file("dravelin-batch"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QTemporaryDir elsewhere;
    QProcess p;
    p.setWorkingDirectory(elsewhere.path());
    p.start(program.file("dravelin-batch"), {"--pdf", "out.pdf"});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    EXPECT_EQ(pdfPages(elsewhere.path() + "/out.pdf"), 2); // 22 labels, 21 a page (3 x 7)
}

TEST(BatchRun, HelpListsEveryOptionWithAnExample) {
    const Outcome o = runBatch({"--help"});
    EXPECT_EQ(o.exitCode, 0);
    for (const char* option :
         {"--list FILE", "--db FILE", "--db-server CONNINFO", "--snapshot FILE", "--settings DIR",
          "--pdf FILE", "--lpf FILE", "--printer NAME", "default", "--pages FROM-TO", "--copies N",
          "--landscape", "--quiet", "--help", "Example:\n  dravelin-batch --list"}) {
        EXPECT_TRUE(o.out.contains(option)) << option;
    }
}

// Each bad input: exit code, one line on standard error naming the file and the fault, and the
// output path as it was before (absent, or the earlier file untouched), with no stray files.
TEST(BatchRun, BadInputIsOneLineAndLeavesTheOutputAlone) {
    QByteArray shortFont(settings::kFontFileSize - 1, '\0');
    struct Case {
        const char* name;
        QStringList args;
        std::vector<std::pair<QString, QByteArray>> files; // written into the folder first
        int exitCode;
        QString expected; // the whole line after "dravelin-batch: ", or its start
    };
    const QByteArray sixValues = exampleList(2) + "1;*1*;a;b;c;d\r\n";
    const QByteArray eightValues = exampleList(1) + "1;*1*;a;b;c;d;e;f\r\n";
    const QByteArray badCode = "1;*8591234567893*;a;1;;;\r\n2;*859123456789*;b;2;;;\r\n"
                               "3;*8591234567890*;c;3;;;\r\n4;*85912X*;d;4;;;\r\n";
    const Case cases[] = {
        {"a code that cannot be encoded, into a PDF",
         {"--list", "codes.csv", "--barcode", "kods=ean13", "--pdf", "out.pdf"},
         {{"codes.csv", badCode}},
         1,
         "row 3: kods: the barcode cannot be encoded: "},
        {"a code that cannot be encoded, into prepared pages",
         {"--list", "codes.csv", "--barcode", "kods=ean13,x=0.5,h=20", "--lpf", "out.pdf"},
         {{"codes.csv", badCode}},
         1,
         "row 3: kods: the barcode cannot be encoded: "},
        {"unknown barcode kind",
         {"--list", "list.csv", "--barcode", "kods=ean14", "--pdf", "out.pdf"},
         {},
         2,
         "--barcode kods=ean14: the kind is one of ean13, ean8, code128, code39, qr, datamatrix "
         "and text, not \"ean14\""},
        {"unknown barcode slot",
         {"--list", "list.csv", "--barcode", "kody=ean13", "--pdf", "out.pdf"},
         {},
         2,
         "--barcode wants SLOT=KIND first"},
        {"module width finer than 0.01 mm",
         {"--list", "list.csv", "--barcode", "kods=ean13,x=0.333", "--pdf", "out.pdf"},
         {},
         2,
         "--barcode kods=ean13,x=0.333: x wants millimetres from 0.01 to 10 in steps of 0.01"},
        {"barcode slot twice",
         {"--list", "list.csv", "--barcode", "kods=ean13", "--barcode", "kods=qr", "--pdf",
          "out.pdf"},
         {},
         2,
         "--barcode: kods is given twice"},
        {"missing list",
         {"--list", "nic.csv", "--pdf", "out.pdf"},
         {},
         1,
         "nic.csv: no such list file"},
        {"six values",
         {"--list", "bad.csv", "--pdf", "out.pdf"},
         {{"bad.csv", sixValues}},
         1,
         "bad.csv: line 3 has 6 values, a label needs 7 separated by \";\""},
        {"eight values",
         {"--list", "bad.csv", "--pdf", "out.pdf"},
         {{"bad.csv", eightValues}},
         1,
         "bad.csv: line 2 has 8 values"},
        {"empty list",
         {"--list", "empty.csv", "--pdf", "out.pdf"},
         {{"empty.csv", ""}},
         1,
         "empty.csv: the list file is empty"},
        {"missing snapshot",
         {"--list", "list.csv", "--snapshot", "x.nas", "--pdf", "out.pdf"},
         {},
         1,
         "x.nas: no such snapshot"},
        {"short snapshot",
         {"--list", "list.csv", "--snapshot", "x.nas", "--pdf", "out.pdf"},
         {{"x.nas", QByteArray(settings::kSnapshotSize - 1, '\0')}},
         1,
         "x.nas: short snapshot (1967 bytes, a snapshot has 1968)"},
        {"a device as the list",
         {"--list", "/dev/zero", "--pdf", "out.pdf"},
         {},
         1,
         "/dev/zero: cannot be read: not a regular file"},
        {"a device as the snapshot",
         {"--list", "list.csv", "--snapshot", "/dev/null", "--pdf", "out.pdf"},
         {},
         1,
         "/dev/null: not a regular file"},
        {"a list file as the snapshot",
         {"--list", "list.csv", "--snapshot", "list.csv", "--pdf", "out.pdf"},
         {{"list.csv", exampleList(50)}},
         1,
         "list.csv: not a settings snapshot"},
        {"missing database",
         {"--db", "seznam.db", "--pdf", "out.pdf"},
         {},
         1,
         "seznam.db: no such database"},
        {"not a database",
         {"--db", "seznam.db", "--pdf", "out.pdf"},
         {{"seznam.db", "this is text"}},
         1,
         "seznam.db: not a usable print-list database"},
        {"missing settings folder",
         {"--list", "list.csv", "--settings", "nic", "--pdf", "out.pdf"},
         {},
         1,
         "nic: no such settings folder"},
        {"short font file",
         {"--list", "list.csv", "--settings", ".", "--pdf", "out.pdf"},
         {{"font", shortFont}},
         1,
         "./font: short font file (1875 bytes, it needs 1876)"},
        {"unknown printer",
         {"--list", "list.csv", "--printer", "zadna-takova-tiskarna"},
         {},
         1,
         "printer \"zadna-takova-tiskarna\": no "},
        {"no such output folder",
         {"--list", "list.csv", "--pdf", "nic/out.pdf"},
         {},
         1,
         "nic/out.pdf: cannot write the output: no such folder"},
        {"output is a folder",
         {"--list", "list.csv", "--lpf", "sub"},
         {{"sub/keep", "x"}},
         1,
         "sub: cannot write the output: it is a folder"},
        {"no page in range",
         {"--list", "list.csv", "--settings", ".", "--pdf", "out.pdf", "--pages", "4-5"},
         {},
         1,
         "out.pdf: no page to print: --pages 4-5, but the list fills 3 pages"},
        {"unknown option",
         {"--list", "list.csv", "--pdf", "out.pdf", "--colour"},
         {},
         2,
         "unknown option \"--colour\""},
        {"copies into a file",
         {"--list", "list.csv", "--pdf", "out.pdf", "--copies", "2"},
         {},
         2,
         "--copies needs --printer"},
        {"no output", {"--list", "list.csv"}, {}, 2, "say where the pages go"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const bool earlierOutput : {false, true}) {
            BatchDir dir;
            for (const auto& [name, bytes] : c.files) {
                if (name.contains('/')) {
                    QDir(dir.path()).mkpath(name.section('/', 0, 0));
                }
                dir.write(name, bytes);
            }
            if (earlierOutput) {
                dir.write("out.pdf", "earlier");
            }
            const QStringList before = entries(dir.path());
            const Outcome o = runBatch(c.args, dir.path());
            EXPECT_EQ(o.exitCode, c.exitCode);
            EXPECT_EQ(o.err.count('\n'), 1) << o.err.toStdString();
            EXPECT_TRUE(o.err.startsWith("dravelin-batch: " + c.expected)) << o.err.toStdString();
            EXPECT_EQ(entries(dir.path()), before);
            if (earlierOutput) {
                EXPECT_EQ(dir.read("out.pdf"), "earlier");
            }
        }
    }
}

TEST(BatchRun, Utf8ListFilesWithOrWithoutAMarkAndTheirBlankLines) {
    const QByteArray mark = "\xEF\xBB\xBF";
    const QByteArray one = "1;*1*;Ml\xC3\xA9ko;25,90;;;";
    const QByteArray two = "2;*2*;Chl\xC3\xA9"
                           "b;3;;;";
    struct Case {
        const char* name;
        QByteArray bytes;
        QString error; // the whole line after "dravelin-batch: "; empty: the two labels print
    };
    const Case cases[] = {
        {"mark, CR LF, blank lines at the end", mark + one + "\r\n" + two + "\r\n\r\n\r\n", {}},
        {"no mark, LF, one blank line at the end", one + "\n" + two + "\n\n", {}},
        {"no mark, no line end at all", one + "\n" + two, {}},
        {"blank line in the middle", one + "\n\n" + two + "\n",
         "utf8.csv: line 2 has 1 value, a label needs 7 separated by \";\""},
        {"mark, blank line after the second label", mark + one + "\r\n" + two + "\r\n\r\n" + one,
         "utf8.csv: line 3 has 1 value, a label needs 7 separated by \";\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BatchDir dir;
        dir.write("utf8.csv", c.bytes);
        const Outcome o =
            runBatch({"--list", "utf8.csv", "--settings", ".", "--pdf", "out.pdf"}, dir.path());
        if (!c.error.isEmpty()) {
            EXPECT_EQ(o.exitCode, 1);
            EXPECT_EQ(o.err, "dravelin-batch: " + c.error + "\n");
            EXPECT_FALSE(QFileInfo::exists(dir.path("out.pdf")));
            continue;
        }
        ASSERT_EQ(o.exitCode, 0) << o.err.toStdString();
        const auto pages = pdfWords(dir.path("out.pdf"));
        ASSERT_EQ(pages.size(), 1u);
        // Every text as written: no mark before the first code, no accent read as two letters.
        QStringList texts;
        for (const Word& w : pages[0]) {
            texts << w.text;
        }
        texts.sort();
        EXPECT_EQ(texts, (QStringList{"*1*", "*2*", "1", "2", "25,90", "3", "Chléb", "Mléko"}))
            << texts.join(' ').toStdString();
    }
}

// True once the running tool holds a new, still unnamed file open in `dir`.
bool writingInto(qint64 pid, const QString& dir) {
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QFileInfo& fd :
         fds.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        const QString target = fd.symLinkTarget();
        if (target.startsWith(QFileInfo(dir).canonicalFilePath() + "/") &&
            target.endsWith(" (deleted)")) {
            return true;
        }
    }
    return false;
}

// Ctrl+C and kill -9 in the middle of writing: nothing appears at the output path, and no
// temporary file is left beside it.
TEST(BatchRun, AnInterruptedOrKilledRunLeavesNothingAtTheOutputPath) {
    for (const int sig : {SIGINT, SIGKILL}) {
        SCOPED_TRACE(sig);
        BatchDir dir;
        dir.write("big.csv", exampleList(100000));
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start(DRAVELIN_BATCH_EXE, {"--list", "big.csv", "--settings", ".", "--pdf", "out.pdf"});
        ASSERT_TRUE(p.waitForStarted());
        bool writing = false;
        for (int i = 0; i < 3000 && !writing; ++i) {
            writing = writingInto(p.processId(), dir.path());
            if (!writing) {
                QThread::msleep(10);
            }
        }
        ASSERT_TRUE(writing) << "the run ended before it was stopped";
        QThread::msleep(200); // well into the file
        ::kill(pid_t(p.processId()), sig);
        ASSERT_TRUE(p.waitForFinished(60000));
        if (sig == SIGINT) {
            // Ctrl+C stops the run before its next label and ends it the normal way.
            EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(p.exitCode(), 130);
        } else {
            EXPECT_EQ(p.exitStatus(), QProcess::CrashExit);
        }
        EXPECT_EQ(entries(dir.path()), QStringList({"big.csv", "dravelin.ini", "list.csv"}));
    }
}

TEST(BatchRun, OutputsGoThroughLinksAndNeverOntoDevicesFifosOrInputs) {
    BatchDir dir;
    dir.write("real.pdf", "old");
    ASSERT_TRUE(QFile::link("real.pdf", dir.path("link.pdf")));
    Outcome o =
        runBatch({"--list", "list.csv", "--settings", ".", "--pdf", "link.pdf"}, dir.path());
    EXPECT_EQ(o.exitCode, 0) << o.err.toStdString();
    EXPECT_TRUE(QFileInfo(dir.path("link.pdf")).isSymLink());
    EXPECT_TRUE(dir.read("real.pdf").startsWith("%PDF"));

    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.path("pipe.pdf")).constData(), 0644), 0);
    ASSERT_TRUE(QFile::link("/dev/null", dir.path("null.pdf")));
    ASSERT_TRUE(QFile::link("list.csv", dir.path("list-link.lpf")));
    ASSERT_TRUE(QFile::link("loop.pdf", dir.path("loop.pdf")));
    dir.write("seznam.db", "the print list");
    const QByteArray list = dir.read("list.csv");
    struct Case {
        QStringList args;
        QString expected;
    } cases[] = {
        {{"--list", "list.csv", "--pdf", "pipe.pdf"},
         "pipe.pdf: cannot write the output: it is not a regular file"},
        {{"--list", "list.csv", "--lpf", "null.pdf"},
         "null.pdf: cannot write the output: it is not a regular file"},
        {{"--list", "list.csv", "--pdf", "loop.pdf"},
         "loop.pdf: cannot write the output: Too many levels of symbolic links"},
        {{"--list", "list.csv", "--lpf", "list.csv"},
         "list.csv: cannot write the output: it is the input list.csv"},
        {{"--list", "list.csv", "--pdf", "list-link.lpf"},
         "list-link.lpf: cannot write the output: it is the input list.csv"},
        {{"--db", "seznam.db", "--pdf", "./seznam.db"},
         "./seznam.db: cannot write the output: it is the input seznam.db"},
        {{"--list", "list.csv", "--settings", ".", "--pdf", "dravelin.ini"},
         "dravelin.ini: cannot write the output: it is the input ./dravelin.ini"},
    };
    const QStringList before = entries(dir.path());
    for (const Case& c : cases) {
        o = runBatch(c.args, dir.path());
        EXPECT_EQ(o.exitCode, 1) << c.expected.toStdString();
        EXPECT_EQ(o.err, "dravelin-batch: " + c.expected + "\n");
    }
    EXPECT_EQ(entries(dir.path()), before);
    EXPECT_EQ(dir.read("list.csv"), list);
    EXPECT_EQ(dir.read("seznam.db"), "the print list");
    struct stat st {};
    ASSERT_EQ(::stat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
}

// Prepared pages go straight into the output, so a full temporary folder costs nothing; a full
// disk at the output is a failure that leaves nothing there.
TEST(BatchRun, PreparedPagesNeedNoTemporaryFolderAndAFullDiskLeavesNothing) {
    // What the tool leaves in a folder, without the runtime folder of the platform plugin.
    const auto left = [](const QString& folder) {
        QStringList names = entries(folder);
        names.removeIf([](const QString& n) { return n.startsWith("runtime-"); });
        return names;
    };
    BatchDir dir;
    dir.write("big.csv", exampleList(3002));
    SmallTmpfs full(64 * 1024);
    ASSERT_TRUE(full.mounted());
    {
        TempPathOverride tmp(full.path());
        const Outcome o =
            runBatch({"--list", "big.csv", "--settings", ".", "--lpf", "out.lpf"}, dir.path());
        EXPECT_EQ(o.exitCode, 0) << o.err.toStdString();
        EXPECT_EQ(labelprint::PageStore::open(dir.path("out.lpf"))->pageCount(), 143);
        EXPECT_EQ(left(full.path()), QStringList());
    }
    const Outcome o = runBatch(
        {"--list", "big.csv", "--settings", ".", "--lpf", full.path() + "/out.lpf"}, dir.path());
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_TRUE(
        o.err.startsWith("dravelin-batch: " + full.path() + "/out.lpf: cannot write the output: "))
        << o.err.toStdString();
    EXPECT_TRUE(o.err.endsWith("No space left on device\n")) << o.err.toStdString();
    EXPECT_EQ(left(full.path()), QStringList());

    // A PDF says the same, under its own name.
    const Outcome pdf = runBatch(
        {"--list", "big.csv", "--settings", ".", "--pdf", full.path() + "/out.pdf"}, dir.path());
    EXPECT_EQ(pdf.exitCode, 1);
    EXPECT_EQ(pdf.err.toStdString(), "dravelin-batch: " + full.path().toStdString() +
                                         "/out.pdf: cannot write the output: No space left on "
                                         "device\n");
    EXPECT_EQ(left(full.path()), QStringList());
}

} // namespace

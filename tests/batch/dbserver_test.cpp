// dravelin-batch on a print list shared on the server: the same pages as from seznam.db holding
// the same rows, and the server's own words when it cannot be reached.
#include "batchprocess.h"

#include "platform/prompts.h"
#include "printlist/database.h"
#include "printlist/listfile.h"
#include "printlist/pgstore.h"
#include "support/pgtest.h"
#include "support/tempprogramdir.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace batchtest;

namespace {

void sameWords(const QString& expectedPdf, const QString& actualPdf) {
    const auto expected = pdfWords(expectedPdf);
    const auto actual = pdfWords(actualPdf);
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t page = 0; page < expected.size(); ++page) {
        ASSERT_EQ(actual[page].size(), expected[page].size()) << "page " << page + 1;
        for (size_t i = 0; i < expected[page].size(); ++i) {
            const Word& e = expected[page][i];
            const Word& a = actual[page][i];
            EXPECT_EQ(a.text, e.text);
            EXPECT_EQ(a.xMin, e.xMin);
            EXPECT_EQ(a.yMin, e.yMin);
        }
    }
}

TEST(BatchServer, ServerListGivesThePdfOfTheSameRowsInSeznamDb) {
    TempProgramDir program;
    program.createDatabase();
    program.write("dravelin.ini", exampleIni());
    program.write("list.csv", exampleList(50));
    PgTestDatabase db;
    {
        printlist::SqliteStore file(program.file("seznam.db"));
        printlist::PgStore server(db.conninfo());
        for (printlist::Store* store :
             {static_cast<printlist::Store*>(&file), static_cast<printlist::Store*>(&server)}) {
            store->open();
            ASSERT_EQ(printlist::importList(*store, program.file("list.csv")),
                      printlist::ImportResult::Imported);
        }
    }
    const Outcome fromFile = runBatch({"--db", program.file("seznam.db"), "--settings",
                                       program.path(), "--pdf", program.file("file.pdf")});
    ASSERT_EQ(fromFile.exitCode, 0) << fromFile.err.toStdString();
    const Outcome fromServer = runBatch({"--db-server", db.conninfo(), "--settings", program.path(),
                                         "--pdf", program.file("server.pdf")});
    ASSERT_EQ(fromServer.exitCode, 0) << fromServer.err.toStdString();
    EXPECT_EQ(fromServer.err, ""); // the server's notices stay out of the tool's output
    EXPECT_EQ(pdfPages(program.file("server.pdf")), 3);
    sameWords(program.file("file.pdf"), program.file("server.pdf"));

    // Without a list option, a tool whose dravelin.ini names the server prints the server's
    // list, not the seznam.db beside it.
    TempProgramDir own;
    own.createDatabase();
    own.write("dravelin.ini", exampleIni() + "[databaze]\nserver=" + db.conninfo().toUtf8() + "\n");
    ASSERT_TRUE(QFile::copy(DRAVELIN_BATCH_EXE, own.file("dravelin-batch")));
    QFile::setPermissions(own.file("dravelin-batch"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcess p;
    p.start(own.file("dravelin-batch"), {"--pdf", own.file("default.pdf")});
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    sameWords(program.file("file.pdf"), own.file("default.pdf"));
}

TEST(BatchServer, UnreachableServerIsOneLineWithItsMessageAndNoOutput) {
    QTemporaryDir dir;
    const Outcome o = runBatch({"--db-server", "host=/nonexistent-dravelin port=1 password=tajne",
                                "--pdf", dir.path() + "/out.pdf"});
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_TRUE(o.err.startsWith("dravelin-batch: print-list server \"host=/nonexistent-dravelin "
                                 "port=1 password=***\": "))
        << o.err.toStdString();
    EXPECT_TRUE(o.err.contains("/nonexistent-dravelin/.s.PGSQL.1")) << o.err.toStdString();
    EXPECT_FALSE(o.err.contains("tajne"));
    EXPECT_EQ(o.err.count('\n'), 1) << o.err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.path() + "/out.pdf"));

    const Outcome both = runBatch({"--db", "x.db", "--db-server", "host=x", "--pdf", "o.pdf"});
    EXPECT_EQ(both.exitCode, 2);
    EXPECT_TRUE(both.err.contains("--db and --db-server exclude each other"))
        << both.err.toStdString();
}

} // namespace

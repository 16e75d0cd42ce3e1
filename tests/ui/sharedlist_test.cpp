// Two windows on one print list shared on the server, as two workstations see it: a change in
// one shows in the other's grid without a click, and the other's current row stays put; a
// server restart does not end that, and "tisk" prints the list as the server holds it.
#include "labelprint/previewdocument.h"
#include "labelprint/windows/previewwindow.h"
#include "labelprint/windows/tiskunit.h"
#include "platform/prompts.h"
#include "printlist/listcommands.h"
#include "printlist/pgstore.h"
#include "support/pgtest.h"
#include "support/tempprogramdir.h"
#include "ui/form1.h"
#include "ui/listgrid.h"
#include "ui/nastavenitab.h"
#include "ui/spinfield.h"
#include "ui/stitkytab.h"

#include <QCheckBox>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

QStringList codes(TForm1& form) {
    QStringList out;
    const printlist::RowSet& v = form.store().listView();
    for (int r = 0; r < v.rowCount(); ++r) {
        out << v.at(r, v.fieldIndex("kod"));
    }
    return out;
}

void add(TForm1& form, const QString& code, const QString& count = "1") {
    form.stitkyts->kodle->setText(code);
    form.stitkyts->pocetspin->setText(count);
    form.pridatbClick();
}

QString currentCode(TForm1& form) {
    return form.store().listView().field("kod");
}

// Lets the window's events run until `done` holds or `ms` have passed.
template <typename Done> bool eventsUntil(Done done, int ms) {
    const QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired()) {
        QTest::qWait(20);
    }
    return done();
}

// Clicks "tisk" and gives the first preview page's drawing once its layout run has finished;
// empty when no preview came.
QByteArray printedPage(TForm1& form, labelprint::Ttiskf& tiskf) {
    QByteArray page;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        labelprint::PreviewDocument* d = tiskf.previewDocument();
        if (d && d->status() == labelprint::PreviewDocument::Status::Finished &&
            tiskf.previewWindow()) {
            page = d->pageDrawing(1).value_or(QByteArray());
            tiskf.previewWindow()->close();
        }
    });
    poll.start(0);
    QTest::mouseClick(form.stitkyts->tiskb, Qt::LeftButton);
    return page;
}

// The page's text records hold the line as UTF-16.
bool pageShows(const QByteArray& page, const QString& text) {
    return page.contains(
        QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * qsizetype(2)));
}

class SharedListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        prompts::clearHistory();
        // No seznam.db at all: the program must not need it when a server is named.
        dir.write("dravelin.ini", "[databaze]\nserver=" + db.conninfo().toUtf8() + "\n");
    }
    void TearDown() override { prompts::clearHistory(); }

    PgTestDatabase db;
    TempProgramDir dir;
};

TEST_F(SharedListTest, SecondWindowSeesEveryChangeWithinASecondOnTheSameRecord) {
    TForm1 first;
    TForm1 second;
    ASSERT_FALSE(first.fatalError());
    ASSERT_FALSE(second.fatalError());
    first.show();
    second.show();
    EXPECT_FALSE(dir.exists("seznam.db"));

    add(first, "a");
    add(first, "b");
    add(first, "c");
    QElapsedTimer clock;
    clock.start();
    QTRY_COMPARE_WITH_TIMEOUT(codes(second), QStringList({"a", "b", "c"}), 1000);
    EXPECT_LT(clock.elapsed(), 1000);

    // The second workstation stands on "b"; the first deletes "a" and adds "d".
    second.stitkyts->DBGrid1->selectRow(1);
    ASSERT_EQ(currentCode(second), "b");
    first.store().listView().moveTo(1);
    first.vymazatpoloku1Click();
    add(first, "d", "2");
    QTRY_COMPARE_WITH_TIMEOUT(codes(second), QStringList({"b", "c", "d", "d"}), 1000);
    EXPECT_EQ(currentCode(second), "b");
    EXPECT_EQ(second.store().listView().currentRow(), 1);
    EXPECT_EQ(second.stitkyts->DBGrid1->currentIndex().row(), 0);

    // Its own command shows its first row, as always; the first window follows.
    second.stitkyts->DBGrid1->selectRow(2);
    second.vymazatpoloku1Click();
    EXPECT_EQ(codes(second), QStringList({"b", "c", "d"}));
    EXPECT_EQ(second.store().listView().currentRow(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(codes(first), QStringList({"b", "c", "d"}), 1000);
    EXPECT_TRUE(prompts::shownMessages().empty());
    first.close();
    second.close();
}

TEST_F(SharedListTest, ServerThatCannotBeReachedIsFatalWithItsMessageBelow) {
    dir.write("dravelin.ini",
              "[databaze]\nserver=host=/nonexistent-dravelin port=1 password=tajne\n");
    TForm1 form;
    EXPECT_TRUE(form.fatalError());
    ASSERT_EQ(prompts::shownMessages().size(), 1u);
    const prompts::Message& m = prompts::shownMessages()[0];
    EXPECT_EQ(m.title, "Fatal error");
    const QStringList lines = m.text.split('\n');
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines[0], "Není možné se připojit k databázi: host=/nonexistent-dravelin port=1 "
                        "password=***. Program nemůže pokračovat a bude ukončen.");
    EXPECT_TRUE(lines[1].contains("/nonexistent-dravelin")) << m.text.toStdString();
    EXPECT_FALSE(m.text.contains("tajne"));
    EXPECT_FALSE(dir.exists("seznam.db"));
}

// A server of its own to restart, so the tests running meanwhile keep theirs.
class RestartedServerTest : public ::testing::Test {
  protected:
    static constexpr const char* kCluster = "pg-restart-ui";
    void SetUp() override {
        prompts::clearHistory();
        conninfo = pgCluster("start", kCluster);
        dir.write("dravelin.ini", "[databaze]\nserver=" + conninfo.toUtf8() + "\n");
    }
    void TearDown() override {
        prompts::clearHistory();
        try {
            pgCluster("stop", kCluster);
        } catch (const std::exception&) {
        }
    }
    void restart() {
        pgCluster("stop", kCluster);
        pgCluster("start", kCluster);
    }
    // Another workstation's add, made and committed at once.
    void addElsewhere(const QString& code) {
        printlist::PgStore other(conninfo);
        other.open();
        printlist::addLabels(other, {code, "", "", "", "", ""}, "*", 1);
    }

    QString conninfo;
    TempProgramDir dir;
};

TEST_F(RestartedServerTest, WindowFollowsTheListAgainAndTiskPrintsItAsTheServerHoldsIt) {
    {
        printlist::PgStore other(conninfo);
        other.open();
        printlist::clearList(other);
    }
    TForm1 form;
    ASSERT_FALSE(form.fatalError());
    labelprint::Ttiskf tiskf(form.store().listView());
    form.setPrintForm(&tiskf);
    for (QCheckBox* box : form.nastavenits->chb) {
        box->setChecked(true);
    }
    form.show();
    add(form, "prvni");
    ASSERT_EQ(codes(form), QStringList({"prvni"}));

    // The server goes down and comes back; meanwhile the window runs no event, and another
    // workstation adds before this one could listen again: no notice reaches it.
    restart();
    addElsewhere("druhy");
    EXPECT_TRUE(eventsUntil([&] { return codes(form).size() == 2; }, 20000))
        << codes(form).join(',').toStdString();
    EXPECT_EQ(codes(form), QStringList({"prvni", "druhy"}));
    // Listening again: the next change shows without a click.
    addElsewhere("treti");
    EXPECT_TRUE(eventsUntil([&] { return codes(form).size() == 3; }, 2000))
        << codes(form).join(',').toStdString();

    // "tisk" right after another restart and another workstation's add prints that add.
    restart();
    addElsewhere("ctvrty");
    QByteArray page = printedPage(form, tiskf);
    ASSERT_FALSE(page.isEmpty());
    for (const char* code : {"prvni", "druhy", "treti", "ctvrty"}) {
        EXPECT_TRUE(pageShows(page, QString::fromLatin1(code))) << code;
    }
    // With the connection up, a change a moment ago is printed too, notice handled or not.
    addElsewhere("paty");
    page = printedPage(form, tiskf);
    EXPECT_TRUE(pageShows(page, QStringLiteral("paty")));
    EXPECT_EQ(codes(form).size(), 5);
    EXPECT_TRUE(prompts::shownMessages().empty());

    // A list that cannot be brought up to date is not printed: the reason is shown instead.
    pgCluster("stop", kCluster);
    EXPECT_TRUE(printedPage(form, tiskf).isEmpty());
    ASSERT_EQ(prompts::shownMessages().size(), 1u);
    EXPECT_TRUE(
        prompts::shownMessages()[0].text.startsWith("Spojení se serverem seznamu se přerušilo: "))
        << prompts::shownMessages()[0].text.toStdString();
    form.close();
}

} // namespace

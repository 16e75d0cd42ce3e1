// The boxes the window shows for the snapshot and list-file commands: the core throws, the
// window words each fault as the user has always seen it.
#include "printlist/listfixture.h"

#include "settings/sheetstore.h"
#include "settings/snapshot.h"
#include "support/extremesettings.h"
#include "support/fifoguard.h"
#include "support/filesizelimit.h"
#include "support/sheets.h"
#include "ui/filecommands.h"

#include <QtEndian>

using printlist::ImportResult;

namespace {

const QString kBadSnapshot = "soubor nemá správný formát nebo je poškozen";
const QString kBadList =
    "Nepodařilo se načíst seznam ze souboru, soubor zřejmě nemá správný formát.";

// The one box shown since the last check, with the error icon and an OK button.
void expectOneBox(const QString& title, const QString& text, const char* what = "") {
    ASSERT_EQ(prompts::shownMessages().size(), 1u) << what;
    const prompts::Message& box = prompts::shownMessages()[0];
    EXPECT_EQ(box.title, title) << what;
    EXPECT_EQ(box.text, text) << what;
    EXPECT_EQ(box.icon, prompts::Icon::Critical) << what;
    EXPECT_EQ(box.buttons, prompts::Buttons::Ok) << what;
    prompts::clearHistory();
}

class SnapshotBoxes : public ::testing::Test {
  protected:
    void SetUp() override { prompts::clearHistory(); }
    void TearDown() override { prompts::clearHistory(); }
    TempProgramDir dir;
};

TEST_F(SnapshotBoxes, AFailedSaveSaysZapisSeNezdarilAndKeepsThePreviousFile) {
    const QByteArray previous(5000, 'p');
    dir.write("snap", previous);

    // A file-size limit below the record makes the write itself fail, even for root.
    bool saved = true;
    ASSERT_TRUE(withFileSizeLimit(1000, [&] {
        saved = filecommands::uloznastaveni(settings::LayoutSettings{}, dir.file("snap"));
    }));

    EXPECT_FALSE(saved);
    expectOneBox("error", "zápis se nezdařil");
    EXPECT_EQ(dir.read("snap"), previous);

    EXPECT_FALSE(
        filecommands::uloznastaveni(settings::LayoutSettings{}, dir.file("no/such/folder/snap")));
    expectOneBox("error", "zápis se nezdařil");

    EXPECT_TRUE(filecommands::uloznastaveni(settings::LayoutSettings{}, dir.file("snap")));
    EXPECT_TRUE(prompts::shownMessages().empty());
}

TEST_F(SnapshotBoxes, EveryLoadFaultSaysTheFileIsDamaged) {
    settings::LayoutSettings current;
    current.vlevo = 77;
    settings::LayoutSettings other;
    other.sheet = test::sheet3651();
    const QByteArray record = settings::encodeSnapshot(other);
    QByteArray switchOf2 = record;
    switchOf2[1960] = 2;
    dir.write("short", record.left(1967));
    dir.write("switch", switchOf2);
    dir.write("list.csv", QByteArray(2000, ';'));
    dir.write("trailer", record + settings::encodeSheetTrailer(other.sheet).left(20));
    for (const QString& path :
         {dir.file("short"), dir.file("missing"), dir.path(), dir.file("switch"),
          dir.file("list.csv"), dir.file("trailer"), QString("/dev/zero")}) {
        EXPECT_EQ(filecommands::nactinastaveni(path, current), std::nullopt) << path.toStdString();
        expectOneBox("error", kBadSnapshot, qPrintable(path));
    }
    std::optional<settings::LayoutSettings> loaded;
    EXPECT_FALSE(readBlockedOnFifo(dir.file("fifo"), [&] {
        loaded = filecommands::nactinastaveni(dir.file("fifo"), current);
    }));
    EXPECT_EQ(loaded, std::nullopt);
    expectOneBox("error", kBadSnapshot, "fifo");

    dir.write("good", record);
    loaded = filecommands::nactinastaveni(dir.file("good"), current);
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(loaded->vlevo, other.vlevo);
    EXPECT_TRUE(prompts::shownMessages().empty());
}

// The list tests' fixture on seznam.db: the boxes do not depend on the store.
class ImportBoxes : public ListTest {};

TEST_P(ImportBoxes, AFailedImportSaysChybaWithTheLineAndKeepsTheList) {
    struct Case {
        const char* name;
        QByteArray bytes;
        QString line; // the second line of the box
    } cases[] = {
        {"empty file", "", "řádek 1: 1 hodnota místo 7"},
        {"blank lines only", "\r\n\r\n", "řádek 1: 1 hodnota místo 7"},
        {"empty line in the middle", "a;b;c;d;e;f;g\n\na;b;c;d;e;f;g\n",
         "řádek 2: 1 hodnota místo 7"},
        {"eight values", "a;b;c;d;e;f;g\r\na;b;c;d;e;f;g;h\r\n", "řádek 2: 8 hodnot místo 7"},
        {"three values", "a;b;c\r\n", "řádek 1: 3 hodnoty místo 7"},
        {"one value", "a;b;c;d;e;f;g\r\nabc\r\n", "řádek 2: 1 hodnota místo 7"},
        {"NUL inside a value", QByteArray("a;b;c;d;e;f;g\r\nx;y;n") + '\0' + "z;;;;\r\n",
         "řádek 2: hodnota nazev obsahuje znak NUL"},
    };
    const Rows before = {{"old", "*old*", "stará", "1", "", "", ""}};
    fill(before);
    for (const Case& c : cases) {
        dir.write("bad.csv", c.bytes);
        EXPECT_EQ(filecommands::nactiseznam(store(), dir.file("bad.csv")), ImportResult::Failed)
            << c.name;
        EXPECT_EQ(tableRows(), before) << c.name;
        expectOneBox("chyba", kBadList + "\n" + c.line, c.name);
    }

    // A file that cannot be read at all gets the box without a second line.
    EXPECT_EQ(filecommands::nactiseznam(store(), "/dev/zero"), ImportResult::Failed);
    expectOneBox("chyba", kBadList, "/dev/zero");
    EXPECT_EQ(filecommands::nactiseznam(store(), dir.path()), ImportResult::Failed);
    expectOneBox("chyba", kBadList, "a folder");
    ImportResult result = ImportResult::Imported;
    EXPECT_FALSE(readBlockedOnFifo(dir.file("fifo.csv"), [&] {
        result = filecommands::nactiseznam(store(), dir.file("fifo.csv"));
    }));
    EXPECT_EQ(result, ImportResult::Failed);
    expectOneBox("chyba", kBadList, "fifo");
    EXPECT_EQ(tableRows(), before);

    // The store's own refusal on the second line.
    refuseThirdRow();
    dir.write("in.csv", "a;b;c;d;e;f;g\r\nh;i;j;k;l;m;n\r\no;p;q;r;s;t;u\r\n");
    EXPECT_EQ(filecommands::nactiseznam(store(), dir.file("in.csv")), ImportResult::Failed);
    ASSERT_EQ(prompts::shownMessages().size(), 1u);
    EXPECT_EQ(prompts::shownMessages()[0].title, "chyba");
    EXPECT_TRUE(prompts::shownMessages()[0].text.section('\n', 1).contains("plno"))
        << prompts::shownMessages()[0].text.toStdString();
    prompts::clearHistory();
    EXPECT_EQ(tableRows(), before);

    EXPECT_EQ(filecommands::nactiseznam(store(), dir.file("nowhere.csv")), ImportResult::NoFile);
    EXPECT_TRUE(prompts::shownMessages().empty());
}

INSTANTIATE_TEST_SUITE_P(SeznamDb, ImportBoxes, ::testing::Values(StoreKind::Sqlite), storeName);

} // namespace

// "načíst ceník" in the window: the dialog maps and previews a price list, the window adds its
// labels to the print list, in seznam.db or on the shared server.
#include "platform/codepage.h"
#include "platform/prompts.h"
#include "printlist/pgstore.h"
#include "support/pgtest.h"
#include "support/tempprogramdir.h"
#include "support/viewrows.h"
#include "ui/form1.h"
#include "ui/nastavenitab.h"
#include "ui/pricelistdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <gtest/gtest.h>

namespace {

// 21 addresses of four lines: a name, a street, a town with its post code, a country.
QStringList address(int i) {
    return {QStringLiteral("Ing. Jana Dvořáková %1").arg(i),
            QStringLiteral("Na Příkopě %1/12").arg(i), QStringLiteral("110 00 Praha 1"),
            i % 2 ? QStringLiteral("Česká republika") : QStringLiteral("Slovensko")};
}

QByteArray addressFile() {
    QString text = QStringLiteral("Jméno;Ulice;Obec;Země\r\n");
    for (int i = 1; i <= 21; ++i) {
        text += address(i).join(';') + QStringLiteral("\r\n");
    }
    return text.toUtf8();
}

// The dialog as a user leaves it: name, street, town and country on the four lines.
dialogs::PriceListChoice mapAddresses(const QString& path, const QString& ini) {
    PriceListDialog dialog({path, QStringLiteral("*"), ini});
    EXPECT_TRUE(dialog.header->isChecked()); // the header row was recognised
    const int lines[] = {1, 3, 4, 5};        // nazev, text1, text2, text3
    for (int i = 0; i < 4; ++i) {
        dialog.fields[size_t(lines[i])].kind->setCurrentIndex(1);
        dialog.fields[size_t(lines[i])].column->setCurrentIndex(i);
    }
    dialog.saveAs->setText(QStringLiteral("Adresy"));

    // The first 20 rows exactly as they will become labels, and no more.
    EXPECT_EQ(dialog.preview->rowCount(), 20);
    for (int r = 0; r < dialog.preview->rowCount(); ++r) {
        const QStringList a = address(r + 1);
        QStringList shown;
        for (int c = 1; c <= 8; ++c) {
            shown << (dialog.preview->item(r, c) ? dialog.preview->item(r, c)->text() : QString());
        }
        EXPECT_EQ(shown, QStringList({"", "", a[0], "", a[1], a[2], a[3], "1"})) << r;
        EXPECT_EQ(dialog.preview->item(r, 0)->text(), QString::number(r + 2));
    }
    EXPECT_EQ(dialog.status->text(), "");
    EXPECT_TRUE(dialog.addButton->isEnabled());
    return dialog.choice();
}

class PriceListWindow : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override {
        prompts::clearHistory();
        dialogs::priceListAnswers().clear();
        if (GetParam()) {
            db_ = std::make_unique<PgTestDatabase>();
            dir.write("dravelin.ini", "[databaze]\nserver=" + db_->conninfo().toUtf8() + "\n");
        } else {
            dir.createDatabase();
            dir.write("dravelin.ini", "; the user's own line\n[setup]\nspecznak=*\n");
        }
        dir.write("adresy.csv", addressFile());
    }
    void TearDown() override {
        dialogs::priceListAnswers().clear();
        prompts::clearHistory();
    }

    TempProgramDir dir;
    std::unique_ptr<PgTestDatabase> db_;
};

std::vector<QStringList> listOf(const printlist::Store& store) {
    return test::viewRows(store.listView());
}

TEST_P(PriceListWindow, MapsPreviewsAndAddsTwentyOneAddresses) {
    const QByteArray iniBefore = dir.read("dravelin.ini");
    TForm1 form;
    ASSERT_FALSE(form.fatalError());
    const auto choice = mapAddresses(dir.file("adresy.csv"), dir.file("dravelin.ini"));
    // Only showing the dialog leaves dravelin.ini as it was.
    EXPECT_EQ(dir.read("dravelin.ini"), iniBefore);

    prompts::setNextFileName(dir.file("adresy.csv"));
    dialogs::priceListAnswers().queue(choice);
    form.nacistcenikbClick();
    ASSERT_EQ(dialogs::priceListAnswers().asked().size(), 1u);
    EXPECT_EQ(dialogs::priceListAnswers().asked()[0].path, dir.file("adresy.csv"));
    EXPECT_TRUE(prompts::shownMessages().empty());

    std::vector<QStringList> expected;
    for (int i = 1; i <= 21; ++i) {
        const QStringList a = address(i);
        expected.push_back({"", "", a[0], "", a[1], a[2], a[3]});
    }
    EXPECT_EQ(listOf(form.store()), expected);
    if (db_) {
        printlist::PgStore other(db_->conninfo());
        other.open();
        EXPECT_EQ(listOf(other), expected);
    }
    // The saved mapping is offered the next time.
    const QByteArray ini = dir.read("dravelin.ini");
    EXPECT_TRUE(ini.startsWith(iniBefore));
    EXPECT_TRUE(ini.contains("[mapovani]")) << ini.toStdString();
    EXPECT_TRUE(ini.contains(platform::toCp1250("Adresy=map nazev=Jméno|map text1=Ulice|")))
        << ini.toStdString();
    PriceListDialog again({dir.file("adresy.csv"), "*", dir.file("dravelin.ini")});
    ASSERT_EQ(again.saved->count(), 2);
    again.saved->setCurrentIndex(1);
    EXPECT_EQ(again.mapping(), choice.mapping);
    EXPECT_EQ(again.preview->rowCount(), 20);
}

TEST_P(PriceListWindow, ABadRowIsSaidInCzechAndAddsNothing) {
    TForm1 form;
    ASSERT_FALSE(form.fatalError());
    dir.write("cenik.csv", "Název;Cena\nMáslo;14,90\nChléb;zdarma\n");
    dialogs::PriceListChoice choice;
    printlist::applyMappingOption(choice.mapping, "map", "nazev=Název");
    printlist::applyMappingOption(choice.mapping, "price", "cena=Cena");
    prompts::setNextFileName(dir.file("cenik.csv"));
    dialogs::priceListAnswers().queue(choice);
    form.nacistcenikbClick();
    ASSERT_EQ(prompts::shownMessages().size(), 1u);
    EXPECT_EQ(prompts::shownMessages()[0].text,
              "Ceník nelze načíst: řádků, ze kterých nejdou udělat štítky: 1. Do seznamu nebylo "
              "přidáno nic.\nřádek 3, cena: „zdarma“ ve sloupci Cena není číslo");
    EXPECT_TRUE(listOf(form.store()).empty());

    // A workbook locked by a password.
    dir.write("zamceny.xlsx",
              QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(600, 0));
    prompts::setNextFileName(dir.file("zamceny.xlsx"));
    dialogs::priceListAnswers().queue(choice);
    form.nacistcenikbClick();
    ASSERT_EQ(prompts::shownMessages().size(), 2u);
    EXPECT_TRUE(prompts::shownMessages()[1].text.startsWith("Tabulka je chráněná heslem."));
    EXPECT_TRUE(listOf(form.store()).empty());
}

INSTANTIATE_TEST_SUITE_P(Stores, PriceListWindow, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "server" : "seznam_db"; });

} // namespace

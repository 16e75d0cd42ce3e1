#include "platform/prompts.h"
#include "printlist/listcommands.h"
#include "settings/sheetstore.h"
#include "settings/snapshot.h"
#include "support/extremesettings.h"
#include "support/sheets.h"
#include "support/tempprogramdir.h"
#include "ui/colourswatch.h"
#include "ui/dialogseam.h"
#include "ui/form1.h"
#include "ui/listgrid.h"
#include "ui/nastavenitab.h"
#include "ui/slotfontcontrol.h"
#include "ui/spinfield.h"
#include "ui/stitkytab.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class TabsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        prompts::clearHistory();
        dialogs::fontAnswers().clear();
        dialogs::colourAnswers().clear();
        dir.createDatabase();
        form = std::make_unique<TForm1>();
        form->show();
    }
    void TearDown() override {
        form->close();
        form.reset();
    }

    QStringList codes() {
        QStringList out;
        printlist::RowSet& v = form->store().listView();
        for (int r = 0; r < v.rowCount(); ++r) {
            out.append(v.at(r, v.fieldIndex("kod")));
        }
        return out;
    }

    void add(const QString& code, const QString& count = "1") {
        form->stitkyts->kodle->setText(code);
        form->stitkyts->pocetspin->setText(count);
        form->pridatbClick();
    }

    TempProgramDir dir;
    std::unique_ptr<TForm1> form;
};

// Where the design puts each control, within its tab, at 96 pixels per inch: left, top, width
// and height, or only the top-left corner where the design gives no size.
void expectPlace(const QWidget* tab, const char* name, const QRect& designed) {
    const auto* w = tab->findChild<QWidget*>(QString::fromLatin1(name));
    ASSERT_NE(w, nullptr) << name;
    if (designed.size().isNull()) {
        EXPECT_EQ(w->pos(), designed.topLeft()) << name;
    } else {
        EXPECT_EQ(w->geometry(), designed) << name;
    }
}

TEST_F(TabsTest, ControlsStandAtTheirDesignedPlaces) {
    const std::pair<const char*, QRect> labelsTab[] = {
        {"kodle", {10, 55, 81, 21}},
        {"nazevle", {95, 55, 141, 21}},
        {"cenale", {240, 55, 71, 21}},
        {"text1le", {325, 55, 121, 21}},
        {"text2le", {455, 55, 121, 21}},
        {"text3le", {585, 55, 121, 21}},
        {"Label20", {5, 10, 0, 0}},
        {"Label7", {15, 90, 0, 0}},
        {"pocetspin", {15, 105, 46, 22}},
        {"pridatb", {70, 105, 51, 25}},
        {"vymazatb", {130, 105, 90, 25}},
        {"tiskb", {230, 105, 45, 25}},
        {"ulozitseznamb", {520, 105, 100, 25}},
        {"nacistseznamb", {635, 105, 100, 25}},
    };
    for (const auto& [name, designed] : labelsTab) {
        expectPlace(form->stitkyts, name, designed);
    }
    // Every spin field of the settings tab is 50 x 22.
    const std::pair<const char*, QRect> settingsTab[] = {
        {"vlevospin", {10, 45, 50, 22}},     {"nahorespin", {80, 45, 50, 22}},
        {"sloupcespin", {150, 45, 50, 22}},  {"vyskabunkyspin", {260, 45, 50, 22}},
        {"specznakle", {10, 90, 36, 21}},    {"bordershape", {210, 80, 30, 20}},
        {"pozadishape", {210, 115, 30, 20}}, {"ulozitb", {10, 120, 141, 25}},
        {"nacistb", {10, 150, 141, 25}},     {"Label3", {45, 5, 0, 0}},
        {"Label4", {325, 5, 0, 0}},          {"vlevol", {10, 30, 0, 0}},
        {"nahorel", {81, 30, 0, 0}},         {"Label1", {149, 30, 0, 0}},
        {"Label2", {256, 30, 0, 0}},         {"caratopl", {325, 30, 0, 0}},
        {"kodtopl", {395, 30, 0, 0}},        {"nazevtop", {460, 30, 0, 0}},
        {"Label8", {525, 30, 0, 0}},         {"text1", {600, 30, 0, 0}},
        {"Label15", {660, 30, 0, 0}},        {"Label17", {730, 30, 0, 0}},
        {"Label9", {325, 75, 0, 0}},         {"Label10", {395, 75, 0, 0}},
        {"Label11", {460, 75, 0, 0}},        {"Label12", {525, 75, 0, 0}},
        {"Label14", {595, 75, 0, 0}},        {"Label16", {660, 75, 0, 0}},
        {"Label18", {730, 75, 0, 0}},        {"Label5", {240, 85, 0, 0}},
        {"Label19", {240, 115, 0, 0}},       {"Label13", {240, 160, 0, 0}},
    };
    for (const auto& [name, designed] : settingsTab) {
        expectPlace(form->nastavenits, name, designed);
    }
    // One column per line slot: the top field in the row at 45, the left field at 90, the font
    // button (60 x 25) at 120, the check box (21 x 17) at 155.
    const struct {
        const char* slot;
        int top;
        int left;
        const char* fontButton;
        int font;
        int chb;
    } slotColumns[] = {
        {"kods", 325, 325, "fontcarab", 320, 340},   {"kod", 395, 395, "fontkodb", 390, 410},
        {"nazev", 460, 460, "fonttextb", 460, 480},  {"cena", 530, 530, "fontcenab", 530, 550},
        {"text1", 600, 600, "fonttext1b", 600, 620}, {"text2", 665, 665, "fonttext2b", 665, 685},
        {"text3", 735, 735, "fonttext3b", 735, 745},
    };
    for (const auto& c : slotColumns) {
        const std::string slot = c.slot;
        expectPlace(form->nastavenits, (slot + "topspin").c_str(), {c.top, 45, 50, 22});
        expectPlace(form->nastavenits, (slot + "leftspin").c_str(), {c.left, 90, 50, 22});
        expectPlace(form->nastavenits, c.fontButton, {c.font, 120, 60, 25});
        expectPlace(form->nastavenits, (slot + "chb").c_str(), {c.chb, 155, 21, 17});
    }
    const std::pair<const char*, const char*> captions[] = {{"pridatb", "přidat"},
                                                            {"vymazatb", "vymazat seznam"},
                                                            {"tiskb", "tisk"},
                                                            {"ulozitseznamb", "uložit seznam"},
                                                            {"nacistseznamb", "načíst seznam"},
                                                            {"ulozitb", "uložit nastavení"},
                                                            {"nacistb", "načíst nastavení"},
                                                            {"fontcarab", "font_kód1"},
                                                            {"fonttextb", "font_nazev"}};
    for (const auto& [name, caption] : captions) {
        const auto* b = form->findChild<QPushButton*>(QString::fromLatin1(name));
        ASSERT_NE(b, nullptr) << name;
        EXPECT_EQ(b->text(), QString::fromUtf8(caption));
        EXPECT_FALSE(b->isDefault() || b->autoDefault()) << name;
    }
    EXPECT_EQ(form->findChild<QLabel*>("Label9")->text(), "kód1_x");
    EXPECT_EQ(form->findChild<QLabel*>("Label10")->text(), "kód1_x");
    EXPECT_EQ(form->pc1->tabText(0), "štítky");
    EXPECT_EQ(form->pc1->tabText(1), "nastavení");
    EXPECT_EQ(form->pc1->tabText(2), "info");
    EXPECT_EQ(form->stitkyts->pocetspin->text(), "1");
    EXPECT_EQ(form->stitkyts->DBGrid1->height(), 253);
    EXPECT_EQ(form->stitkyts->DBGrid1->editTriggers(), QAbstractItemView::NoEditTriggers);
}

TEST_F(TabsTest, EditFieldsTakeTextsLongerThanQtsDefaultLimit) {
    const QString text(40000, 'x'); // a QLineEdit keeps 32767 characters unless told otherwise
    for (QLineEdit* e : {form->stitkyts->kodle, form->stitkyts->nazevle, form->stitkyts->cenale,
                         form->stitkyts->text1le, form->stitkyts->text2le, form->stitkyts->text3le,
                         form->nastavenits->specznakle}) {
        e->setText(text);
        EXPECT_EQ(e->text().size(), text.size()) << e->objectName().toStdString();
    }
}

TEST_F(TabsTest, TabSkipsClearPrintAndTheGrid) {
    StitkyTab* t = form->stitkyts;
    QWidget* w = t->kodle;
    QStringList visited;
    for (int i = 0; i < 10; ++i) {
        w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisibleTo(t) || w->focusProxy()) {
            w = w->nextInFocusChain();
        }
        visited.append(w->objectName().isEmpty() ? w->parentWidget()->objectName()
                                                 : w->objectName());
    }
    const int at = int(visited.indexOf("pridatb"));
    ASSERT_GE(at, 0) << visited.join(',').toStdString();
    EXPECT_EQ(visited.mid(0, at + 3),
              QStringList({"nazevle", "cenale", "text1le", "text2le", "text3le", "pocetspin",
                           "pridatb", "nacistseznamb", "ulozitseznamb"}));
    EXPECT_FALSE(visited.contains("vymazatb") || visited.contains("tiskb") ||
                 visited.contains("DBGrid1"));
}

TEST_F(TabsTest, TabKeyWalksTheSettingsTabInItsOrder) {
    form->pc1->setCurrentWidget(form->nastavenits);
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->nastavenits->vlevospin->setFocus();
    // The control that has the focus: the widget itself, or the spin field around its editor.
    const auto focused = [] {
        QWidget* w = QApplication::focusWidget();
        if (w != nullptr && qobject_cast<SpinField*>(w->parentWidget()) != nullptr) {
            w = w->parentWidget();
        }
        return w != nullptr ? w->objectName() : QStringLiteral("(nothing)");
    };
    ASSERT_EQ(focused(), "vlevospin");
    const QStringList expected = {
        "nahorespin",    "sloupcespin", "vyskabunkyspin", "kodstopspin",  "kodtopspin",
        "nazevtopspin",  "fontcarab",   "fontkodb",       "fonttextb",    "Memo1",
        "cenatopspin",   "fontcenab",   "kodsleftspin",   "kodleftspin",  "nazevleftspin",
        "cenaleftspin",  "specznakle",  "text1topspin",   "fonttext1b",   "text1leftspin",
        "text2topspin",  "fonttext2b",  "text2leftspin",  "text3topspin", "fonttext3b",
        "text3leftspin", "kodschb",     "kodchb",         "nazevchb",     "cenachb",
        "text1chb",      "text2chb",    "text3chb",       "ulozitb",      "nacistb"};
    QStringList visited;
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << focused();
    }
    EXPECT_EQ(visited.join(' ').toStdString(), expected.join(' ').toStdString());
}

TEST_F(TabsTest, CopyCountIsKeptWithin1To999) {
    const std::tuple<const char*, int, const char*> cases[] = {
        {"3", 3, "3"}, {"1500", 999, "999"}, {"0", 1, "1"}, {"abc", 1, "abc"}};
    int total = 0;
    for (const auto& [typed, added, shown] : cases) {
        add("k", QString::fromLatin1(typed));
        total += added;
        EXPECT_EQ(form->store().listView().rowCount(), total) << typed;
        EXPECT_EQ(form->stitkyts->pocetspin->text(), shown) << typed;
    }
    EXPECT_EQ(form->stitkyts->kodle->text(), "k"); // entry fields keep their texts
    EXPECT_EQ(form->store().listView().currentRow(), 1);
}

TEST_F(TabsTest, RightClickedRowIsTheOneDeleted) {
    for (const char* c : {"1", "2", "3", "4"}) {
        add(QString::fromLatin1(c));
    }
    ListGrid* grid = form->stitkyts->DBGrid1;
    grid->resize(grid->width(), 253);
    const QPoint third(grid->columnViewportPosition(1) + 5, grid->rowViewportPosition(2) + 3);
    QTest::mouseClick(grid->viewport(), Qt::RightButton, Qt::NoModifier, third);
    EXPECT_EQ(form->store().listView().currentRow(), 3);
    grid->popupMenu()->close();
    form->stitkyts->vymazatpoloku1->trigger();
    EXPECT_EQ(codes(), QStringList({"1", "2", "4"}));
    EXPECT_EQ(form->store().listView().currentRow(), 1);

    // Below the last row: the menu opens, the current row stays.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(third.x(), grid->rowViewportPosition(1) + 3));
    QTest::mouseClick(grid->viewport(), Qt::RightButton, Qt::NoModifier,
                      QPoint(third.x(), grid->viewport()->height() - 3));
    grid->popupMenu()->close();
    EXPECT_EQ(form->store().listView().currentRow(), 2);
    // On the title row: the menu opens, the current row stays.
    QTest::mouseClick(grid->horizontalHeader()->viewport(), Qt::RightButton, Qt::NoModifier,
                      QPoint(third.x(), 3));
    EXPECT_TRUE(grid->popupMenu()->isVisible());
    grid->popupMenu()->close();
    EXPECT_EQ(form->store().listView().currentRow(), 2);
}

TEST_F(TabsTest, CtrlZInTheWindowUndoesTheLastDeleteClearOrImport) {
    for (int i = 1; i <= 41; ++i) {
        add(QString::number(i));
    }
    QStringList list;
    for (int i = 1; i <= 41; ++i) {
        list << QString::number(i);
    }
    dir.write("jiny.csv", "X;*X*;;;;;\r\n");
    const auto ctrlZ = [&] {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : form.get(),
                        Qt::Key_Z, Qt::ControlModifier);
    };
    QWidget* grid = form->stitkyts->DBGrid1;
    // A shortcut reaches only the active window.
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));

    // An import replaces the list; Ctrl+Z with the focus on the button brings it back.
    form->stitkyts->nacistseznamb->setFocus();
    prompts::setNextFileName(dir.file("jiny.csv"));
    form->nacistseznambClick();
    ASSERT_EQ(codes(), QStringList{"X"});
    ctrlZ();
    EXPECT_EQ(codes(), list);
    EXPECT_EQ(form->stitkyts->DBGrid1->model()->rowCount(), 41);

    // "vymazat seznam", then Ctrl+Z in the grid.
    prompts::setNextAnswer(prompts::Answer::Yes);
    form->vymazatbClick();
    ASSERT_TRUE(codes().isEmpty());
    grid->setFocus();
    ctrlZ();
    EXPECT_EQ(codes(), list);

    // "vymazat položku" on row 7: it comes back in its place.
    form->store().listView().moveTo(7);
    form->vymazatpoloku1Click();
    ASSERT_EQ(codes().size(), 40);
    ctrlZ();
    EXPECT_EQ(codes(), list);
    // One step only.
    ctrlZ();
    EXPECT_EQ(codes(), list);
    EXPECT_TRUE(prompts::shownMessages().size() == 1u); // the clear's question, nothing else
}

TEST_F(TabsTest, ClearAsksEvenForAnEmptyList) {
    add("x");
    prompts::setNextAnswer(prompts::Answer::No);
    form->vymazatbClick();
    EXPECT_EQ(codes(), QStringList({"x"}));
    prompts::setNextAnswer(prompts::Answer::Yes);
    form->vymazatbClick();
    EXPECT_TRUE(codes().isEmpty());
    prompts::setNextAnswer(prompts::Answer::Yes);
    form->vymazatbClick();
    ASSERT_EQ(prompts::shownMessages().size(), 3u);
    EXPECT_EQ(prompts::shownMessages()[2].title, "potvrzení smázání seznamu");
    EXPECT_EQ(prompts::shownMessages()[2].text, "Opravdu vymazat seznam položek k tisku ?");
    EXPECT_EQ(form->stitkyts->DBGrid1->model()->rowCount(), 0);
}

TEST_F(TabsTest, ExportAndImportThroughTheSharedDialogs) {
    add("Kč'\":x", "2");
    const QString base = dir.file("seznam");
    prompts::setNextFileName(base);
    form->ulozitseznambClick();
    EXPECT_TRUE(dir.exists("seznam.csv"));
    EXPECT_EQ(form->sd1.fileName, base + ".csv"); // offered next time
    prompts::setNextAnswer(prompts::Answer::Yes);
    form->vymazatbClick();
    prompts::setNextFileName(base + ".csv");
    form->nacistseznambClick();
    EXPECT_EQ(codes(), QStringList({"Kč'\":x", "Kč'\":x"}));
    EXPECT_EQ(form->OpenDialog1.fileName, base + ".csv");
    // A file that does not exist does nothing.
    prompts::setNextFileName(dir.file("nothing.csv"));
    form->nacistseznambClick();
    EXPECT_EQ(codes().size(), 2);

    // "☕" is not in Windows-1250: Ano saves the list in UTF-8, and it comes back whole.
    add("☕");
    prompts::clearHistory();
    prompts::setNextFileName(base);
    prompts::setNextAnswer(prompts::Answer::Yes);
    form->ulozitseznambClick();
    ASSERT_EQ(prompts::shownMessages().size(), 1u);
    EXPECT_TRUE(dir.read("seznam.csv").startsWith("\xef\xbb\xbf"));
    prompts::setNextFileName(base + ".csv");
    form->nacistseznambClick();
    EXPECT_EQ(codes(), QStringList({"Kč'\":x", "Kč'\":x", "☕"}));
}

TEST_F(TabsTest, ColourSwatchesTakeAConfirmedColourAndKeepTheirsOnCancel) {
    NastaveniTab* t = form->nastavenits;
    t->bordershape->setColour(0x123456);
    EXPECT_TRUE(form->sd1.initialDir.isEmpty());
    dialogs::colourAnswers().queue(std::nullopt); // cancelled before any confirmation
    QTest::mouseClick(t->bordershape, Qt::MiddleButton);
    EXPECT_EQ(t->bordershape->colour(), 0x123456);
    EXPECT_EQ(form->sd1.initialDir, dir.path());

    dialogs::colourAnswers().queue(QColor(255, 0, 0));
    QTest::mouseClick(t->bordershape, Qt::LeftButton);
    dialogs::colourAnswers().queue(std::nullopt);
    QTest::mouseClick(t->pozadishape, Qt::RightButton);
    EXPECT_EQ(t->bordershape->colour(), 0x0000FF);
    EXPECT_EQ(t->pozadishape->colour(), 0xFFFFFF);
    ASSERT_EQ(dialogs::colourAnswers().asked().size(), 3u);
    EXPECT_EQ(dialogs::colourAnswers().asked()[2],
              QColor(255, 0, 0)); // the dialog's colour, not the swatch's

    prompts::setNextFileName(std::nullopt);
    form->ulozitbClick();
    ASSERT_FALSE(prompts::fileRequests().empty());
    EXPECT_EQ(prompts::fileRequests().back().initialDir, dir.path());
}

TEST_F(TabsTest, FontDialogChangesOnlyWhatWasChosen) {
    SlotFont* d = form->fontdialog[settings::Nazev];
    settings::FontDescription before = d->font();
    before.colour = 0x00AA00;
    d->setFont(before);
    dialogs::fontAnswers().queue(std::nullopt);
    form->fontButtonClick(settings::Nazev);
    EXPECT_EQ(d->font(), before);

    settings::FontDescription chosen;
    chosen.face = "DejaVu Serif";
    chosen.height = -21;
    chosen.style = settings::Italic;
    chosen.colour = 0x0000FF;
    dialogs::fontAnswers().queue(dialogs::FontChoice{chosen, false});
    form->fontButtonClick(settings::Nazev);
    EXPECT_EQ(d->font().face, "DejaVu Serif");
    EXPECT_EQ(d->font().height, -21);
    EXPECT_EQ(d->font().style, settings::Italic);
    EXPECT_EQ(d->font().colour, 0x00AA00); // colour untouched in the dialog: kept
    dialogs::fontAnswers().queue(dialogs::FontChoice{chosen, true});
    form->fontButtonClick(settings::Nazev);
    EXPECT_EQ(d->font().colour, 0x0000FF);
    ASSERT_EQ(dialogs::fontAnswers().asked().size(), 3u);
    EXPECT_EQ(dialogs::fontAnswers().asked()[0], before);
}

TEST_F(TabsTest, SnapshotButtonsSaveAndLoadEverythingButColumnWidths) {
    NastaveniTab* t = form->nastavenits;
    t->vlevospin->setText("250");
    EXPECT_EQ(form->layoutSettings().vlevo, 250);
    t->specznakle->setText("#+");
    const settings::LayoutSettings saved = form->layoutSettings();
    prompts::setNextFileName(dir.file("snap.bin"));
    form->ulozitbClick();
    ASSERT_EQ(dir.read("snap.bin").size(), 1968);

    const auto widths = form->columnWidths();
    t->vlevospin->setValue(5000);
    EXPECT_EQ(t->vlevospin->text(), "5000");
    t->specznakle->setText("");
    form->stitkyts->DBGrid1->setColumnWidth(0, 33);
    prompts::setNextFileName(dir.file("snap.bin"));
    form->nacistbClick();
    settings::LayoutSettings expected = saved;
    expected.specznak = "#";
    EXPECT_EQ(form->layoutSettings(), expected);
    EXPECT_EQ(form->columnWidths()[0], 33);
    EXPECT_NE(widths[0], 33);
    EXPECT_FALSE(dir.exists("dravelin.ini"));
    EXPECT_FALSE(dir.exists("font"));

    dir.write("short.bin", QByteArray(1967, '\0'));
    prompts::setNextFileName(dir.file("short.bin"));
    form->nacistbClick();
    EXPECT_EQ(form->layoutSettings(), expected);
    EXPECT_EQ(prompts::shownMessages().back().text, "soubor nemá správný formát nebo je poškozen");
}

TEST_F(TabsTest, ASnapshotWithADamagedSheetTrailerIsRefusedAndChangesNothing) {
    settings::LayoutSettings other;
    other.vlevo = 33;
    other.sheet = test::sheetL7160();
    const QByteArray record = settings::encodeSnapshot(other);
    const QByteArray trailer = settings::encodeSheetTrailer(other.sheet);
    const settings::LayoutSettings before = form->layoutSettings();
    for (const auto& d : test::damagedTrailers(trailer)) {
        prompts::clearHistory();
        dir.write("arch.nas", record + d.bytes);
        prompts::setNextFileName(dir.file("arch.nas"));
        form->nacistbClick();
        ASSERT_EQ(prompts::shownMessages().size(), 1u) << d.what;
        EXPECT_EQ(prompts::shownMessages()[0].title, "error");
        EXPECT_EQ(prompts::shownMessages()[0].text, "soubor nemá správný formát nebo je poškozen");
        EXPECT_EQ(form->layoutSettings(), before) << d.what;
    }
    // The same trailer whole carries the sheet.
    prompts::clearHistory();
    dir.write("arch.nas", record + trailer);
    prompts::setNextFileName(dir.file("arch.nas"));
    form->nacistbClick();
    EXPECT_TRUE(prompts::shownMessages().empty());
    EXPECT_EQ(form->layoutSettings().vlevo, 33);
    EXPECT_EQ(form->layoutSettings().sheet, other.sheet);
}

TEST_F(TabsTest, HelpTextIsTheSeventeenLines) {
    const char* const expected[] = {
        "Tady je možné nastavit velikost štítků, okraje stránky a fonty pro tisk, vybrané "
        "nastavení si program pamatuje i po skončení a zvovuspuštění.",
        "",
        "- rozměr štítku je dán parametrem výška štítku a parametrem počet sloupců (šířka "
        "štítku=(šířka stránky-okraje)/počet sloupců), jak jednoduché.",
        "- okraje stránky jsou dané parametry \"levý okraj\" a \"horní okraj\" vše v mm.",
        "- na štítek je možné umístit až 7 řádků textu (kód1, kód2, název, cena, text1, text2, "
        "text3). Kód1 a kód2 jsou vyhrazeny pro kód zboží, dva jsou protože se obvykle jeden z "
        "nich ",
        "použije pro tisk čárového kódu (kód1) a druhý téhož kódu v číselné/textové podobě (kód2). "
        "Kód1 je tedy kód2 automaticky doplněný o zástupný znak, který vyžadují čtečky. ",
        "Řádky text a cena se obvykle použijí pro název zboží a jeho cenu, významem však můžou "
        "obsahovat prakticky cokoli, stejně jako text1...text3. Jestliže např. netiskneme štítky "
        "na ",
        "zboží tak kódy mužeme zneviditelnit pomocí zaškrtávacího pole, stejně tak jakýkoliv jiný "
        "řádek.",
        "- pozice řádků na štítku je daná vzdáleností od horního okraje v mm (osa y), a vzáleností "
        "od levého okraje (osa x). Jestliže za x dosadíme záporné číslo, potom se řádek zarovná ",
        "na střed štítku.",
        "- pro každý řádek se dá vybrat font (včetně barvy), pokud máme true type fonty s čárovým "
        "kódem, můžeme kód zboží tisknout jako čárový kód.",
        "",
        "TIP: chcete-li tisknout štítky s čárovým kódem, nainstalujte si odpovídající true type "
        "fonty, např. ", // followed by a web search address
        "TIP: každý štítek může mít rámeček, pokud ho nechceme, zvolíme u něj stejnou barvu jakou "
        "má pozadí.",
        "UPOZORNĚNÍ: program se v praxi používá pro tisk na samolepící štítky na formátu A4, které "
        "se dají koupit v papírnictví. Tyto štítky bývají v některých rozměrech  nepřesně ",
        "nařezané - na formátu A4 se pak \"rozjíždí\" až o několik mm. V takovém případě je to "
        "třeba při rozmisťování řádků na štítcích uvážit protože program tiskne přesně. Tzn. "
        "zvolíme ",
        "dostatečnou toleranci  v  okrajích štítku (texty umístíme dále od okrajů - blíže ke "
        "středu štítku).",
    };
    const QStringList lines = form->nastavenits->Memo1->toPlainText().split('\n');
    ASSERT_EQ(lines.size(), 17);
    for (int i = 0; i < 17; ++i) {
        if (i == 12) {
            EXPECT_TRUE(lines[i].startsWith(QString::fromUtf8(expected[i])));
            EXPECT_TRUE(lines[i].contains("code+39")) << lines[i].toStdString();
        } else {
            EXPECT_EQ(lines[i], QString::fromUtf8(expected[i])) << "line " << i + 1;
        }
    }
    EXPECT_TRUE(form->nastavenits->Memo1->isReadOnly());
}

} // namespace

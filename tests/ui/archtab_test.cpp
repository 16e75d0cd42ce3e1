#include "labelprint/previewdocument.h"
#include "labelprint/windows/previewwindow.h"
#include "labelprint/windows/tiskunit.h"
#include "platform/prompts.h"
#include "previewrun.h"
#include "settings/sheetcatalogue.h"
#include "settings/snapshot.h"
#include "support/tempprogramdir.h"
#include "ui/archtab.h"
#include "ui/form1.h"
#include "ui/nastavenitab.h"
#include "ui/sheetdrawing.h"
#include "ui/stitkytab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScopeGuard>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

class ArchTabTest : public ::testing::Test {
  protected:
    void SetUp() override {
        prompts::clearHistory();
        dir.createDatabase();
    }
    void TearDown() override { prompts::clearHistory(); }
    TempProgramDir dir;
};

TEST_F(ArchTabTest, FourthTabAfterInfoAndOffUntilTheUserTurnsToIt) {
    {
        TForm1 form;
        ASSERT_EQ(form.pc1->count(), 5); // řádky follows arch
        EXPECT_EQ(form.pc1->tabText(3), "arch");
        EXPECT_EQ(form.pc1->widget(3), form.archts);
        EXPECT_FALSE(form.archts->sheetCheck->isChecked());
        EXPECT_EQ(form.archts->startPosition(), 1);
        form.show();
        // Every catalogue entry is listed before anything is typed.
        form.pc1->setCurrentWidget(form.archts);
        EXPECT_GE(form.archts->catalogueList->count(), int(settings::builtInSheets().size()));
        EXPECT_TRUE(form.close());
    }
    // A user who never opened the tab finds nothing new in the settings file.
    const QString ini = QString::fromUtf8(dir.read("dravelin.ini"));
    EXPECT_FALSE(ini.contains("[arch]")) << ini.toStdString();
    EXPECT_FALSE(ini.contains("[tiskarny]")) << ini.toStdString();
}

// Every file opened in a folder, by name, as the kernel reports it.
class OpenWatch {
  public:
    explicit OpenWatch(const QString& folder) : fd_(inotify_init1(IN_NONBLOCK)) {
        inotify_add_watch(fd_, QFile::encodeName(folder).constData(), IN_OPEN);
    }
    ~OpenWatch() { ::close(fd_); }
    QStringList opened() {
        QStringList names;
        alignas(inotify_event) char buffer[4096];
        ssize_t n;
        while ((n = ::read(fd_, buffer, sizeof buffer)) > 0) {
            for (char* p = buffer; p < buffer + n;) {
                const auto* e = reinterpret_cast<const inotify_event*>(p);
                if (e->len > 0 && !(e->mask & IN_ISDIR)) {
                    names.append(QString::fromUtf8(e->name));
                }
                p += sizeof(inotify_event) + e->len;
            }
        }
        return names;
    }

  private:
    int fd_;
};

TEST_F(ArchTabTest, WindowAppearsWithoutReadingTheCatalogue) {
    QTemporaryDir templates;
    ASSERT_TRUE(QFile::copy(DRAVELIN_TEST_DATA "/templates/sample-templates.xml",
                            templates.filePath("sample.xml")));
    const QString system = settings::systemTemplateFolder();
    settings::setSystemTemplateFolder(templates.path());
    const auto restore = qScopeGuard([&] { settings::setSystemTemplateFolder(system); });
    OpenWatch watch(templates.path());
    TForm1 form;
    form.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(watch.opened(), QStringList{});
    EXPECT_EQ(form.archts->catalogueList->count(), 0);
    // Read when the tab is first shown, and only then.
    form.pc1->setCurrentWidget(form.archts);
    EXPECT_EQ(watch.opened(), QStringList{"sample.xml"});
    EXPECT_EQ(form.archts->catalogueList->count(), int(settings::builtInSheets().size()) + 5);
    form.pc1->setCurrentWidget(form.stitkyts);
    form.pc1->setCurrentWidget(form.archts);
    QTest::keyClicks(form.archts->searchEdit, "T100");
    EXPECT_EQ(watch.opened(), QStringList{});
    EXPECT_EQ(form.archts->catalogueList->count(), 2); // T100 and T100J
}

TEST_F(ArchTabTest, TypingFindsASheetAndChoosingItFillsTheFieldsAndTheDrawing) {
    TForm1 form;
    ArchTab* t = form.archts;
    QTest::keyClicks(t->searchEdit, "l7160");
    ASSERT_EQ(t->catalogueList->count(), 1);
    EXPECT_EQ(t->catalogueList->item(0)->text(), "Avery L7160: 63,5 × 38,1 mm, 3 × 7, A4");
    t->catalogueList->setCurrentRow(0);
    EXPECT_TRUE(t->sheetCheck->isChecked());
    EXPECT_DOUBLE_EQ(t->widthSpin->value(), 63.5);
    EXPECT_DOUBLE_EQ(t->pitchXSpin->value(), 66.0);
    EXPECT_EQ(t->rowsSpin->value(), 7);
    const settings::Sheet chosen = settings::findSheet(settings::builtInSheets(), "L7160")->sheet;
    EXPECT_EQ(t->sheet(), chosen);
    EXPECT_EQ(form.layoutSettings().sheet, chosen);
    EXPECT_EQ(t->drawing->sheet(), chosen);
    EXPECT_TRUE(t->problemLabel->text().isEmpty());
    // The drawing follows the fields as they change.
    t->columnsSpin->setValue(2);
    EXPECT_EQ(t->drawing->sheet().columns, 2);
}

TEST_F(ArchTabTest, BadValuesAreRefusedInTheTabAndByThePrintCommand) {
    TForm1 form;
    labelprint::Ttiskf tiskf(form.store().listView());
    form.setPrintForm(&tiskf);
    ArchTab* t = form.archts;
    t->applyEntry(*settings::findSheet(settings::builtInSheets(), "3651"));
    struct Case {
        const char* what;
        std::function<void()> spoil;
        std::function<void()> mend;
        const char* reason;
    };
    const Case cases[] = {
        {"labels off the paper", [&] { t->leftSpin->setValue(0.3); },
         [&] { t->leftSpin->setValue(0); }, "Štítky se nevejdou na papír A4"},
        {"pitch under the label", [&] { t->pitchYSpin->setValue(29.6); },
         [&] { t->pitchYSpin->setValue(29.7); }, "Svislá rozteč nesmí být menší"},
        {"zero size", [&] { t->heightSpin->setValue(0); }, [&] { t->heightSpin->setValue(29.7); },
         "Rozměry štítku"},
        {"labels under 3 mm", [&] { t->widthSpin->setValue(2.9); },
         [&] { t->widthSpin->setValue(52.5); }, "Štítek musí být alespoň 3 mm"},
        {"start beyond the sheet", [&] { t->startSpin->setValue(41); },
         [&] { t->startSpin->setValue(1); }, "Začít lze od štítku 1 až 40"},
    };
    for (const Case& c : cases) {
        c.spoil();
        EXPECT_TRUE(t->problemLabel->text().startsWith(QString::fromUtf8(c.reason)))
            << c.what << ": " << t->problemLabel->text().toStdString();
        form.tiskbClick();
        ASSERT_EQ(prompts::shownMessages().size(), 1u) << c.what;
        EXPECT_TRUE(prompts::shownMessages()[0].text.startsWith(QString::fromUtf8(c.reason)))
            << c.what;
        EXPECT_EQ(tiskf.previewWindow(), nullptr) << c.what;
        prompts::clearHistory();
        c.mend();
        EXPECT_TRUE(t->problemLabel->text().isEmpty()) << c.what;
    }
    // Off, the same bad values are kept but stand in no one's way.
    t->leftSpin->setValue(3);
    t->sheetCheck->setChecked(false);
    EXPECT_TRUE(t->problemLabel->text().isEmpty());
}

TEST_F(ArchTabTest, PrintCommandHandsSheetStartAndOffsetsToTheReport) {
    TForm1 form;
    labelprint::Ttiskf tiskf(form.store().listView());
    form.setPrintForm(&tiskf);
    const settings::Sheet sheet = settings::findSheet(settings::builtInSheets(), "3651")->sheet;
    form.archts->applyEntry(*settings::findSheet(settings::builtInSheets(), "3651"));
    form.archts->setStartPosition(7);
    form.archts->setOffsets({{"laser", {15, -5}}}, {});
    EXPECT_TRUE(test::printAndLook(form, tiskf, [&] {
        ASSERT_NE(tiskf.qr1.sheet(), nullptr);
        EXPECT_EQ(*tiskf.qr1.sheet(), sheet);
        EXPECT_EQ(tiskf.qr1.skip(), 6);
        EXPECT_EQ(tiskf.qr1.printSettings().offsets.at("laser"), (settings::PrinterOffset{15, -5}));
    }));
    EXPECT_TRUE(prompts::shownMessages().empty());
}

TEST_F(ArchTabTest, PrinterBoxStartsOnTheSystemsDefaultPrinter) {
    // The test queues give a default that is not first alphabetically (dravelin-pdf after
    // dravelin-letter), so the first entry cannot pass for the default.
    const QString chosen = QPrinterInfo::defaultPrinterName();
    ASSERT_FALSE(chosen.isEmpty()) << "run tools/test-setup.sh for the test queues";
    TForm1 form;
    QComboBox* box = form.archts->printerCombo;
    ASSERT_GE(box->count(), 2);
    ASSERT_NE(box->itemText(0), chosen);
    EXPECT_EQ(box->currentText(), chosen);
}

TEST_F(ArchTabTest, SheetAndPrinterOffsetsSurviveARestartStartPositionDoesNot) {
    {
        TForm1 form;
        ArchTab* t = form.archts;
        t->applyEntry(*settings::findSheet(settings::builtInSheets(), "L7160"));
        t->setStartPosition(7);
        t->setOffsets({}, {"laser"});
        t->printerCombo->setCurrentText("laser");
        t->offsetXSpin->setValue(1.5);
        t->offsetYSpin->setValue(-0.5);
        form.show();
        EXPECT_TRUE(form.close());
    }
    const QString ini = QString::fromUtf8(dir.read("dravelin.ini"));
    EXPECT_TRUE(ini.contains("[arch]\nzapnuto=1\npapir=A4\nvlevo=72\nnahore=151\nsirka=635\n"))
        << ini.toStdString();
    EXPECT_TRUE(ini.contains("[tiskarny]\nlaser=15;-5\n")) << ini.toStdString();
    {
        TForm1 form;
        EXPECT_EQ(form.archts->sheet(),
                  settings::findSheet(settings::builtInSheets(), "L7160")->sheet);
        EXPECT_EQ(form.archts->startPosition(), 1);
        EXPECT_EQ(form.archts->offsets().at("laser"), (settings::PrinterOffset{15, -5}));
        // Switched off, the section stays and says so.
        form.archts->sheetCheck->setChecked(false);
        form.show();
        EXPECT_TRUE(form.close());
    }
    EXPECT_TRUE(QString::fromUtf8(dir.read("dravelin.ini")).contains("[arch]\nzapnuto=0\n"));
}

TEST_F(ArchTabTest, AnOffsetOutOfRangeIsSaidAtStartLeftOutAndKeptInTheFile) {
    const QByteArray section = "[tiskarny]\nlaser=15;-5\nsavy=-2147483648;0\n";
    dir.write("dravelin.ini", section);
    {
        TForm1 form;
        ASSERT_EQ(prompts::shownMessages().size(), 1u);
        EXPECT_EQ(prompts::shownMessages()[0].text,
                  "Posun tisku na tiskárně savy musí být od -999,9 do 999,9 mm.");
        EXPECT_EQ(form.archts->offsets(),
                  (settings::PrinterOffsets{{"laser", settings::PrinterOffset{15, -5}}}));
        // The rest of the start-up still ran.
        EXPECT_FALSE(form.fatalError());
        form.show();
        EXPECT_TRUE(form.close());
    }
    EXPECT_TRUE(dir.read("dravelin.ini").contains(section));
}

TEST_F(ArchTabTest, AlignmentPageGoesToTheArchTabsPrinterNeverIntoTheSetupsPdfFile) {
    // A printer known only from its offset: the page reaches the printing step with that name,
    // which then says it is not installed.
    dir.write("dravelin.ini", "[tiskarny]\nlaser=15;-5\n");
    TForm1 form;
    labelprint::Ttiskf tiskf(form.store().listView());
    form.setPrintForm(&tiskf);
    form.archts->applyEntry(*settings::findSheet(settings::builtInSheets(), "L7160"));
    // "Tisk do souboru (PDF)" chosen in print setup, with the user's earlier result in the file.
    const QString pdf = dir.file("cenovky.pdf");
    dir.write("cenovky.pdf", "%PDF the user's earlier result");
    tiskf.qr1.printSettings().pdfFile = pdf;
    form.pc1->setCurrentWidget(form.archts);
    form.archts->printerCombo->setCurrentText("laser");
    ASSERT_EQ(form.archts->printerCombo->currentText(), "laser");
    form.show();
    QTest::mouseClick(form.archts->alignmentButton, Qt::LeftButton);
    ASSERT_EQ(prompts::shownMessages().size(), 1u);
    EXPECT_EQ(prompts::shownMessages()[0].text, "Printer \"laser\" is not installed.");
    EXPECT_EQ(dir.read("cenovky.pdf"), "%PDF the user's earlier result");
    EXPECT_EQ(tiskf.qr1.printSettings().pdfFile, pdf); // the labels still go there
    EXPECT_TRUE(form.close());
}

// Clicks the drawing where position `n` of the sheet it shows is drawn.
void clickPosition(SheetDrawing* drawing, int n) {
    QTest::mouseClick(drawing, Qt::LeftButton, {}, drawing->positionRect(n).center().toPoint());
}

// The colour of position `n` in the drawing, away from the cross of a used one.
QColor shownColour(SheetDrawing* drawing, int n) {
    const QRectF r = drawing->positionRect(n);
    return drawing->grab().toImage().pixelColor(
        QPointF(r.left() + r.width() / 2, r.top() + r.height() / 5).toPoint());
}

TEST_F(ArchTabTest, UsedPositionsAreClickedInTheDrawingAndLeftOutOfThePrint) {
    // Herma 4614, 3 x 8, with its top four rows peeled off, filled along the rows.
    TForm1 form;
    labelprint::Ttiskf tiskf(form.store().listView());
    form.setPrintForm(&tiskf);
    ArchTab* t = form.archts;
    form.pc1->setCurrentWidget(t);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QTest::keyClicks(t->searchEdit, "herma 4614");
    ASSERT_EQ(t->catalogueList->count(), 1);
    t->catalogueList->setCurrentRow(0);
    ASSERT_EQ(t->sheet().rows, 8);
    t->orderCombo->setCurrentIndex(1);
    EXPECT_EQ(t->orderCombo->currentText(), "po řádcích");
    EXPECT_EQ(t->sheet().order, settings::FillOrder::Rows);

    const QColor free = shownColour(t->drawing, 0);
    for (int n = 0; n < 12; ++n) {
        clickPosition(t->drawing, n);
    }
    // A click marks, a second one frees again.
    clickPosition(t->drawing, 20);
    clickPosition(t->drawing, 20);
    settings::UsedPositions topRows;
    for (int n = 0; n < 12; ++n) {
        topRows.insert(n);
    }
    EXPECT_EQ(t->usedPositions(), topRows);
    EXPECT_EQ(t->drawing->used(), topRows);
    EXPECT_EQ(shownColour(t->drawing, 20), free);
    EXPECT_NE(shownColour(t->drawing, 11), free);
    EXPECT_EQ(shownColour(t->drawing, 11), shownColour(t->drawing, 0));
    // The marks stay on the same cells when the order changes: down the columns the top four
    // rows are labels 1-4, 9-12 and 17-20.
    t->orderCombo->setCurrentIndex(0);
    EXPECT_EQ(t->usedPositions(),
              (settings::UsedPositions{0, 1, 2, 3, 8, 9, 10, 11, 16, 17, 18, 19}));
    EXPECT_EQ(shownColour(t->drawing, 4), free);
    EXPECT_NE(shownColour(t->drawing, 8), free);
    t->orderCombo->setCurrentIndex(1);

    // The print command hands them to the report, which leaves them out.
    EXPECT_TRUE(test::printAndLook(form, tiskf, [&] {
        EXPECT_EQ(tiskf.qr1.used(), topRows);
        ASSERT_NE(tiskf.qr1.sheet(), nullptr);
        EXPECT_EQ(tiskf.qr1.sheet()->order, settings::FillOrder::Rows);
    }));
    EXPECT_TRUE(prompts::shownMessages().empty());

    // Every position used or skipped: refused in the tab and by the print command.
    for (int n = 12; n < 24; ++n) {
        t->toggleUsed(n);
    }
    const QString none = QStringLiteral(
        "Na archu nezbývá žádný volný štítek: všechny jsou použité nebo přeskočené.");
    EXPECT_EQ(t->problemLabel->text(), none);
    form.tiskbClick();
    ASSERT_EQ(prompts::shownMessages().size(), 1u);
    EXPECT_EQ(prompts::shownMessages()[0].text, none);
    t->toggleUsed(23);
    EXPECT_TRUE(t->problemLabel->text().isEmpty());
    EXPECT_TRUE(form.close());

    // The order is kept in the settings file, the used positions only until the program ends.
    const QString ini = QString::fromUtf8(dir.read("dravelin.ini"));
    EXPECT_TRUE(ini.contains("\nradky=8\nporadi=radky\n")) << ini.toStdString();
    TForm1 again;
    EXPECT_EQ(again.archts->sheet().order, settings::FillOrder::Rows);
    EXPECT_TRUE(again.archts->usedPositions().empty());
}

TEST_F(ArchTabTest, LoadingASnapshotHighlightsItsSheetInTheCatalogue) {
    TForm1 form;
    ArchTab* t = form.archts;
    // The list is filled when the tab is first shown.
    form.show();
    form.pc1->setCurrentWidget(t);
    const auto rowOf = [&](const char* product) {
        const QString text = settings::findSheet(settings::builtInSheets(), product)->description();
        for (int r = 0; r < t->catalogueList->count(); ++r) {
            if (t->catalogueList->item(r)->text() == text) {
                return r;
            }
        }
        return -1;
    };
    t->catalogueList->setCurrentRow(rowOf("L7160"));
    ASSERT_EQ(t->sheet(), settings::findSheet(settings::builtInSheets(), "L7160")->sheet);

    settings::LayoutSettings saved = form.layoutSettings();
    saved.sheet = settings::findSheet(settings::builtInSheets(), "4614")->sheet;
    ASSERT_NO_THROW(settings::saveSnapshotFile(saved, dir.file("herma.nas")));
    prompts::setNextFileName(dir.file("herma.nas"));
    form.nastavenits->nacistb->click();
    ASSERT_EQ(t->sheet(), saved.sheet);
    ASSERT_NE(rowOf("4614"), -1);
    EXPECT_EQ(t->catalogueList->currentRow(), rowOf("4614"));
    EXPECT_EQ(t->catalogueList->selectedItems(),
              QList<QListWidgetItem*>{t->catalogueList->item(rowOf("4614"))});

    // A snapshot without a sheet switches it off: no entry is in force.
    settings::LayoutSettings plain = form.layoutSettings();
    plain.sheet.on = false;
    ASSERT_NO_THROW(settings::saveSnapshotFile(plain, dir.file("plain.nas")));
    prompts::setNextFileName(dir.file("plain.nas"));
    form.nastavenits->nacistb->click();
    EXPECT_FALSE(t->sheetCheck->isChecked());
    EXPECT_EQ(t->catalogueList->currentRow(), -1);
    EXPECT_TRUE(t->catalogueList->selectedItems().isEmpty());
}

} // namespace

// The řádky tab: after arch, a row per slot whose values reach the print command, dravelin.ini
// and snapshots and come back; the sample follows the fields; the EAN warning follows X and
// the printer's resolution.
#include "labelprint/previewdocument.h"
#include "labelprint/windows/previewwindow.h"
#include "labelprint/windows/tiskunit.h"
#include "platform/prompts.h"
#include "previewrun.h"
#include "settings/snapshot.h"
#include "support/tempprogramdir.h"
#include "ui/form1.h"
#include "ui/slottab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class SlotTabTest : public ::testing::Test {
  protected:
    void SetUp() override {
        prompts::clearHistory();
        dir.createDatabase();
    }
    void TearDown() override { prompts::clearHistory(); }
    TempProgramDir dir;
};

TEST_F(SlotTabTest, AKindChosenInTheTabIsPrintedSavedAndReadBack) {
    {
        TForm1 form;
        ASSERT_EQ(form.pc1->count(), 5);
        EXPECT_EQ(form.pc1->tabText(4), "řádky");
        EXPECT_EQ(form.pc1->widget(4), form.slotts);
        SlotTab* t = form.slotts;
        EXPECT_EQ(t->kindCombo[settings::Kods]->currentText(), "text");
        t->kindCombo[settings::Kods]->setCurrentIndex(1);
        EXPECT_EQ(t->kindCombo[settings::Kods]->currentText(), "EAN-13");
        t->moduleSpin[settings::Kods]->setValue(0.4);
        t->heightSpin[settings::Kods]->setValue(12.5);
        t->digitsCheck[settings::Kods]->setChecked(false);

        labelprint::Ttiskf tiskf(form.store().listView());
        form.setPrintForm(&tiskf);
        EXPECT_TRUE(test::printAndLook(form, tiskf, [&] {
            const settings::BarcodeOptions want{settings::BarcodeKind::Ean13, 40, 125, false};
            EXPECT_EQ(tiskf.qr1.line(settings::Kods).barcode, want);
            EXPECT_EQ(tiskf.qr1.line(settings::Kod).barcode, settings::BarcodeOptions{});
        }));

        QTemporaryDir snapshots;
        const QString snapshot = snapshots.filePath("kody.nas");
        settings::saveSnapshotFile(form.layoutSettings(), snapshot);
        EXPECT_EQ(settings::loadSnapshotFile(snapshot, settings::LayoutSettings{})
                      .lines[settings::Kods]
                      .barcode.moduleWidth,
                  40);
        form.setPrintForm(nullptr);
        EXPECT_TRUE(form.close());
    }
    const QString ini = QString::fromUtf8(dir.read("dravelin.ini"));
    EXPECT_TRUE(ini.contains("[carovekody]\nkods=ean13;40;125;0\n")) << ini.toStdString();

    TForm1 again;
    SlotTab* t = again.slotts;
    EXPECT_EQ(t->kindCombo[settings::Kods]->currentText(), "EAN-13");
    EXPECT_DOUBLE_EQ(t->moduleSpin[settings::Kods]->value(), 0.4);
    EXPECT_DOUBLE_EQ(t->heightSpin[settings::Kods]->value(), 12.5);
    EXPECT_FALSE(t->digitsCheck[settings::Kods]->isChecked());
    EXPECT_EQ(t->kindCombo[settings::Kod]->currentText(), "text");
}

// The fit columns: a rule read at start shows in the tab and is written back as it was, even
// when the tab is never opened; a rule set in the tab reaches the print command and dravelin.ini.
TEST_F(SlotTabTest, FitRulesGoFromTheTabToThePrintAndTheIniAndBack) {
    dir.write("dravelin.ini", "[prizpusobeni]\r\ntext1=zalomit;55;3\r\n");
    {
        TForm1 form;
        SlotTab* t = form.slotts;
        EXPECT_EQ(t->fitCombo[settings::Text1]->currentText(), "zalomit");
        EXPECT_DOUBLE_EQ(t->minSizeSpin[settings::Text1]->value(), 5.5);
        EXPECT_EQ(t->linesSpin[settings::Text1]->value(), 3);
        EXPECT_EQ(t->fitCombo[settings::Nazev]->currentText(), "vypnuto");
        EXPECT_TRUE(form.close());
    }
    // The file keeps its own line ends.
    QString ini = QString::fromUtf8(dir.read("dravelin.ini")).remove('\r');
    EXPECT_TRUE(ini.contains("text1=zalomit;55;3\n")) << ini.toStdString();
    EXPECT_TRUE(ini.contains("nazev=vypnuto;60;2\n")) << ini.toStdString();

    {
        TForm1 form;
        SlotTab* t = form.slotts;
        t->fitCombo[settings::Nazev]->setCurrentIndex(1);
        EXPECT_EQ(t->fitCombo[settings::Nazev]->currentText(), "zmenšit");
        t->minSizeSpin[settings::Nazev]->stepDown(); // 6 pt -> 5.5 pt
        t->minSizeSpin[settings::Nazev]->stepUp();
        t->minSizeSpin[settings::Nazev]->stepUp(); // 6.5 pt
        t->fitCombo[settings::Text1]->setCurrentIndex(0);

        labelprint::Ttiskf tiskf(form.store().listView());
        form.setPrintForm(&tiskf);
        EXPECT_TRUE(test::printAndLook(form, tiskf, [&] {
            using Mode = settings::FitRule::Mode;
            EXPECT_EQ(tiskf.qr1.line(settings::Nazev).fit,
                      (settings::FitRule{Mode::Shrink, 65, 2}));
            EXPECT_EQ(tiskf.qr1.line(settings::Text1).fit, (settings::FitRule{Mode::Off, 55, 3}));
        }));
        form.setPrintForm(nullptr);
        EXPECT_TRUE(form.close());
    }
    ini = QString::fromUtf8(dir.read("dravelin.ini")).remove('\r');
    EXPECT_TRUE(ini.contains("nazev=zmensit;65;2\n")) << ini.toStdString();
    EXPECT_TRUE(ini.contains("text1=vypnuto;55;3\n")) << ini.toStdString();
    TForm1 again;
    EXPECT_EQ(again.slotts->fitCombo[settings::Nazev]->currentText(), "zmenšit");
    EXPECT_DOUBLE_EQ(again.slotts->minSizeSpin[settings::Nazev]->value(), 6.5);
}

// A rule's numbers are open only where the rule uses them, and a barcode slot is never fitted.
TEST_F(SlotTabTest, FitFieldsAreOpenOnlyWhereTheyApply) {
    SlotTab t;
    struct Case {
        int kind;
        int rule;
        bool ruleOpen, minOpen, linesOpen;
    };
    const Case cases[] = {{0, 0, true, false, false},
                          {0, 1, true, true, false},
                          {0, 2, true, true, true},
                          {1, 2, false, false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.kind) + "/" + std::to_string(c.rule));
        t.kindCombo[settings::Cena]->setCurrentIndex(c.kind);
        t.fitCombo[settings::Cena]->setCurrentIndex(c.rule);
        EXPECT_EQ(t.fitCombo[settings::Cena]->isEnabled(), c.ruleOpen);
        EXPECT_EQ(t.minSizeSpin[settings::Cena]->isEnabled(), c.minOpen);
        EXPECT_EQ(t.linesSpin[settings::Cena]->isEnabled(), c.linesOpen);
    }
}

// The sample is the selected slot's symbol at its real size and follows X; the EAN warning
// follows X rounded to the printer's dots (600 dpi without a printer).
TEST_F(SlotTabTest, TheSampleAndTheWarningFollowTheFields) {
    SlotTab t;
    t.kindCombo[settings::Nazev]->setCurrentIndex(1); // EAN-13
    EXPECT_EQ(t.selectedSlot(), int(settings::Nazev));
    const double at33 = t.sample->symbolMm().width();
    // 113 modules with the quiet zones, 8 dots of 1/600 inch each.
    EXPECT_NEAR(at33, 113 * 8 * 25.4 / 600, 0.1);
    EXPECT_TRUE(t.warningLabel->text().isEmpty());
    t.moduleSpin[settings::Nazev]->setValue(0.66);
    EXPECT_NEAR(t.sample->symbolMm().width(), 113 * 16 * 25.4 / 600, 0.1);
    EXPECT_TRUE(t.sample->refusal().isEmpty());

    struct Case {
        double x;
        int dpi;
        bool warned;
    };
    const Case cases[] = {{0.20, 0, true},   {0.28, 0, false},   {0.64, 0, false},  {0.70, 0, true},
                          {0.25, 203, true}, {0.33, 203, false}, {0.30, 300, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + " @ " + std::to_string(c.dpi));
        t.setPrinterDpi(c.dpi);
        t.moduleSpin[settings::Nazev]->setValue(c.x);
        EXPECT_EQ(!t.warningLabel->text().isEmpty(), c.warned)
            << t.warningLabel->text().toStdString();
        if (c.warned) {
            EXPECT_TRUE(t.warningLabel->text().startsWith("nazev: "));
        }
    }
    // A QR code is no EAN: no warning whatever its module.
    t.setPrinterDpi(0);
    t.moduleSpin[settings::Nazev]->setValue(0.2);
    t.kindCombo[settings::Nazev]->setCurrentIndex(5);
    EXPECT_TRUE(t.warningLabel->text().isEmpty());
    EXPECT_GT(t.sample->symbolMm().width(), 0);
    t.kindCombo[settings::Nazev]->setCurrentIndex(0);
    EXPECT_EQ(t.sample->symbolMm().width(), 0);
}

} // namespace

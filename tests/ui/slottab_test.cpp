// The řádky tab: after arch, a row per slot whose values reach the print command, dravelin.ini
// and snapshots and come back; the sample follows the fields; the EAN warning follows X and
// the printer's resolution.
#include "labelprint/previewdocument.h"
#include "labelprint/windows/previewwindow.h"
#include "labelprint/windows/tiskunit.h"
#include "platform/prompts.h"
#include "settings/snapshot.h"
#include "support/tempprogramdir.h"
#include "ui/form1.h"
#include "ui/slottab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
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
        bool seen = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (seen || !tiskf.previewDocument() ||
                tiskf.previewDocument()->status() !=
                    labelprint::PreviewDocument::Status::Finished) {
                return;
            }
            seen = true;
            const settings::BarcodeOptions want{settings::BarcodeKind::Ean13, 40, 125, false};
            EXPECT_EQ(tiskf.qr1.line(settings::Kods).barcode, want);
            EXPECT_EQ(tiskf.qr1.line(settings::Kod).barcode, settings::BarcodeOptions{});
            tiskf.previewWindow()->close();
        });
        poll.start(10);
        form.tiskbClick();
        EXPECT_TRUE(seen);

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

// The tab "řádky": how each line slot is drawn. One row per slot with a column per field (the
// barcode kind, module width X, bar height and the digits switch; then how a text line that is
// too wide is fitted: the rule, the smallest size shrinking may reach and the most lines
// wrapping may take), a sample of the selected slot drawn to scale, and a warning when an EAN
// module comes out of what till scanners read at the printer's resolution. It holds its values; the
// main window reads them at the print command and at shutdown.
#pragma once

#include "settings/layoutsettings.h"

#include <QWidget>
#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGridLayout;
class QLabel;
class QSpinBox;
class BarcodeSample;

class SlotTab : public QWidget {
    Q_OBJECT
  public:
    // The chosen printer's resolution in dots per inch, 0 when there is none; asked when the
    // tab is shown.
    using ResolutionReader = std::function<int()>;
    explicit SlotTab(ResolutionReader resolution = {}, QWidget* parent = nullptr);

    // The tab's fields of every slot onto `layout`, and back.
    void takeSlots(settings::LayoutSettings& layout) const;
    void putSlots(const settings::LayoutSettings& layout);

    // The slot the sample shows: the row last edited or entered.
    int selectedSlot() const { return selected_; }
    void selectSlot(int slot);
    // The resolution the warning is worked out for: the printer's, or 600 dpi without one.
    int warningDpi() const;
    void setPrinterDpi(int dpi);

    // The kinds and the fit rules in the order of their combo boxes.
    static const std::array<settings::BarcodeKind, 7>& kinds();
    static const std::array<settings::FitRule::Mode, 3>& fitModes();

    // The grid: row 0 the captions, row 1 + slot each slot; a column per field.
    QGridLayout* grid;
    std::array<QLabel*, settings::SlotCount> slotCaption{};
    std::array<QComboBox*, settings::SlotCount> kindCombo{};
    std::array<QDoubleSpinBox*, settings::SlotCount> moduleSpin{};
    std::array<QDoubleSpinBox*, settings::SlotCount> heightSpin{};
    std::array<QCheckBox*, settings::SlotCount> digitsCheck{};
    std::array<QComboBox*, settings::SlotCount> fitCombo{};
    std::array<QDoubleSpinBox*, settings::SlotCount> minSizeSpin{};
    std::array<QSpinBox*, settings::SlotCount> linesSpin{};
    QLabel* sampleCaption;
    BarcodeSample* sample;
    QLabel* warningLabel;

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    settings::BarcodeOptions optionsOf(int slot) const;
    settings::FitRule fitOf(int slot) const;
    void refresh();

    ResolutionReader resolution_;
    int printerDpi_ = 0;
    int selected_ = 0;
    bool filling_ = false;
    // Fonts of the slots as last put, for the sample's digits.
    std::array<settings::FontDescription, settings::SlotCount> fonts_{};
};

// The sample: one symbol drawn at a fine resolution and shown at its real size on the screen.
class BarcodeSample : public QWidget {
    Q_OBJECT
  public:
    explicit BarcodeSample(QWidget* parent = nullptr);
    void show(const settings::BarcodeOptions& options, const settings::FontDescription& font);
    // The data drawn for the kind, and what the encoder said of it.
    const QString& data() const { return data_; }
    const QString& refusal() const { return refusal_; }
    // The symbol's size in millimetres, nothing drawn: 0 x 0.
    QSizeF symbolMm() const { return symbolMm_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage image_;
    QString data_;
    QString refusal_;
    QSizeF symbolMm_;
};

// The sheet tab "arch": the switch for the exact sheet description, the catalogue search, the
// sheet's fields with a drawing to scale, the fill order, the start position and the used
// positions of a partly used sheet, the printers' offsets and the alignment page button. It
// holds its values; the main window reads them at the print command and at shutdown.
#pragma once

#include "settings/sheetcatalogue.h"
#include "settings/sheetstore.h"

#include <QWidget>
#include <functional>
#include <optional>
#include <set>
#include <utility>
#include <vector>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class SheetDrawing;

class ArchTab : public QWidget {
    Q_OBJECT
  public:
    using CatalogueReader = std::function<std::vector<settings::CatalogueEntry>()>;
    // The catalogue is read when the tab is first shown or searched, never before: a large
    // folder of template files must not keep the window from appearing.
    explicit ArchTab(CatalogueReader reader, QWidget* parent = nullptr);

    settings::Sheet sheet() const;
    void setSheet(const settings::Sheet& sheet);
    // "začít od štítku N", 1 for a fresh sheet.
    int startPosition() const;
    void setStartPosition(int n);
    // The positions marked used by clicks in the drawing, as label numbers from 0 in the
    // sheet's fill order. They stay where they were clicked when the order changes, and until
    // the program ends; they are never stored.
    settings::UsedPositions usedPositions() const;
    // Marks label `n` of the sheet as it now stands used, or free again when it was used.
    void toggleUsed(int n);
    settings::PrinterOffsets offsets() const { return offsets_; }
    void setOffsets(const settings::PrinterOffsets& offsets, const QStringList& printers,
                    const QString& defaultPrinter = QString());

    // What is wrong with the sheet (when it is on) or the start position; shown in the tab.
    std::optional<QString> problem() const;
    // Applies a catalogue entry: its fields, and the switch on.
    void applyEntry(const settings::CatalogueEntry& entry);

    QCheckBox* sheetCheck;
    QLineEdit* searchEdit;
    QListWidget* catalogueList;
    QComboBox* paperCombo;
    QDoubleSpinBox* leftSpin;
    QDoubleSpinBox* topSpin;
    QDoubleSpinBox* widthSpin;
    QDoubleSpinBox* heightSpin;
    QDoubleSpinBox* pitchXSpin;
    QDoubleSpinBox* pitchYSpin;
    QSpinBox* columnsSpin;
    QSpinBox* rowsSpin;
    QSpinBox* startSpin;
    QComboBox* printerCombo;
    QDoubleSpinBox* offsetXSpin;
    QDoubleSpinBox* offsetYSpin;
    QPushButton* alignmentButton;
    QLabel* problemLabel;
    SheetDrawing* drawing;
    QComboBox* orderCombo;

    bool catalogueRead() const { return catalogueRead_; }

  Q_SIGNALS:
    void alignmentPageRequested();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void readCatalogue();
    void search(const QString& typed);
    void refresh();
    // Highlights the catalogue entry of the sheet in force, or none.
    void highlightCatalogue();
    void showOffset();
    void storeOffset();

    CatalogueReader readCatalogue_;
    bool catalogueRead_ = false;
    std::vector<settings::CatalogueEntry> catalogue_;
    std::vector<settings::CatalogueEntry> shown_;
    settings::PrinterOffsets offsets_;
    std::set<std::pair<int, int>> usedCells_; // (row, column)
    bool filling_ = false;
};

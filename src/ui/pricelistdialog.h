// "načíst ceník": a shop's price list (CSV, XLSX, ODS) shown with its column mapping and its
// first 20 rows exactly as they will become labels, before they are added to the print list.
// The window asks through a seam, so tests answer it as they answer the other dialogs.
#pragma once

#include "platform/answerqueue.h"
#include "printlist/pricelist.h"

#include <QDialog>
#include <array>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace dialogs {

struct PriceListRequest {
    QString path;     // the chosen file
    QString specznak; // composes kods as "přidat" does
    QString iniPath;  // dravelin.ini with the saved mappings
};

struct PriceListChoice {
    printlist::PriceListMapping mapping;
    QString saveAs; // a name to save the mapping under; empty: not saved
};

// Shows the import dialog; nothing when cancelled.
std::optional<PriceListChoice> choosePriceListMapping(const PriceListRequest& request);
platform::AnswerQueue<PriceListRequest, std::optional<PriceListChoice>>& priceListAnswers();
std::optional<PriceListChoice> runPriceListDialog(const PriceListRequest& request);

// The Czech words of the window for a price list's faults.
QString czechText(const printlist::PriceListError& e);
QString czechText(const printlist::RowFault& f);
QString czechText(const printlist::PriceListRowsError& e);

} // namespace dialogs

class PriceListDialog : public QDialog {
    Q_OBJECT
  public:
    explicit PriceListDialog(const dialogs::PriceListRequest& request, QWidget* parent = nullptr);

    // The mapping the controls show.
    printlist::PriceListMapping mapping() const;
    // Puts a mapping on the controls and shows its preview.
    void setMapping(const printlist::PriceListMapping& mapping);
    dialogs::PriceListChoice choice() const;

    struct FieldControls {
        QComboBox* kind;
        QComboBox* column;
        QComboBox* quantity;
        QComboBox* unit;
        QCheckBox* per100;
    };
    std::array<FieldControls, printlist::kMappedFields> fields;
    QComboBox* sheet;
    QCheckBox* header;
    QComboBox* copies;
    QComboBox* saved;
    QLineEdit* saveAs;
    QTableWidget* preview;
    QLabel* status;
    QPushButton* addButton;

  private:
    // Reads the file's first rows again through the mapping the controls show.
    void refresh();
    // Fills the column choices from the preview's columns, keeping what was chosen.
    void fillColumns(const QStringList& columns, bool hasHeader);
    void showKind(int field);
    // The sheet or the header choice changed: the column choices follow, by position.
    void reloadColumns();
    void loadSaved(const QString& name);

    dialogs::PriceListRequest request_;
    bool filling_ = false;
};

// The command line of dravelin-batch: where the print list and the layout settings come from,
// where the pages go, and the print setup.
#pragma once

#include "settings/sheet.h"
#include "settings/slotoptions.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

namespace batch {

// --barcode SLOT=KIND[,x=MM][,h=MM][,digits=0|1]: one slot drawn as a barcode for this run; what
// is not given stays as the settings have it.
struct BarcodeChoice {
    int slot = 0; // settings::Slot
    settings::BarcodeKind kind = settings::BarcodeKind::Text;
    std::optional<int> moduleWidth; // 0.01 mm
    std::optional<int> barHeight;   // 0.1 mm
    std::optional<bool> digits;
};

struct Options {
    enum class Output { None, Pdf, Lpf, Printer };

    QString list;     // --list: a list file
    QString db;       // --db: a print-list database
    QString dbServer; // --db-server: a libpq connection string of a shared print list
    QString import;   // --import: a shop's price list (CSV, XLSX, ODS) read through a mapping
    QString mapping;  // --mapping: a mapping saved in dravelin.ini
    // --map, --price, --sale-line, --unit-price, --copies COLUMN, --header, --worksheet in
    // the order given, as the mapping's own words ("map", "kod=1").
    std::vector<std::pair<QString, QString>> mapItems;
    QString addToDb;     // --add-to-db: add the imported labels to this seznam.db
    QString addToServer; // --add-to-server: add them to the list on this server
    QString snapshot;    // --snapshot: a settings snapshot
    QString settings;    // --settings: a folder holding dravelin.ini and font
    Output output = Output::None;
    QString target;    // the PDF or prepared-pages file, or the printer ("default" included)
    int firstPage = 0; // 0: no bound
    int lastPage = 0;
    int copies = 1;
    bool landscape = false;
    QString sheet; // --sheet: a sheet of the catalogue by product number or name
    int skip = 0;  // --skip: positions left empty at the start of the first page
    std::optional<settings::FillOrder> order; // --order: the sheet's fill order
    // --used: ranges of used positions of the first sheet, numbered from 1 in the fill order,
    // as given (`usedText`); checked against the sheet once it is known.
    std::vector<std::pair<int, int>> used;
    QString usedText;
    // --fit SLOT=RULE: fit rules for this run, by slot (settings::Slot), over the settings'.
    std::vector<std::pair<int, settings::FitRule>> fits;
    // --check-fit: list the rows whose text does not fit and end with FitFailure.
    bool checkFit = false;
    std::vector<BarcodeChoice> barcodes; // --barcode, once per slot
    bool outline = false;                // --outline: the alignment page instead of the list
    bool quiet = false;
    bool help = false;
    bool version = false;
};

// Throws BatchError with UsageFailure for an unknown option, a missing or malformed value, or
// options that exclude each other.
Options parseOptions(const QStringList& args);

// The --help text; `programDir` is shown as the default place of seznam.db and the settings.
QString helpText(const QString& programDir);

} // namespace batch

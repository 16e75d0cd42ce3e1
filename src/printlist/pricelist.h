// A shop's price list turned into labels of the print list: which source column fills which
// line of a label, lines computed from numbers (a price, the unit price, the lowest price of
// the last 30 days), and a copies column. Every row is checked before anything is added, so an
// import adds all labels or none.
#pragma once

#include "printlist/pricenumber.h"
#include "printlist/rowcursor.h"
#include "printlist/store.h"
#include "printlist/tablesource.h"

#include <algorithm>
#include <array>
#include <climits>
#include <optional>
#include <vector>

namespace printlist {

// The label lines a mapping fills, in this order: kod, nazev, cena, text1, text2, text3.
inline constexpr int kMappedFields = 6;
// "kod" .. "text3".
const QStringList& mappedFieldNames();

// What fills one line. A column is named by its header text or by its number from 1.
struct FieldRule {
    enum class Kind {
        None,      // left empty
        Column,    // the column's text as it is
        Price,     // the number of `column` as "29,90 Kč"
        UnitPrice, // price `column`, pack `quantity` and `unit` as "59,80 Kč/kg"
        SaleLine,  // "Nejnižší cena za 30 dní: 34,90 Kč" where `column` is filled
    };
    Kind kind = Kind::None;
    QString column;
    QString quantity;
    QString unit;
    bool per100 = false; // the unit price per 100 g / 100 ml
    bool operator==(const FieldRule&) const = default;
};

struct PriceListMapping {
    std::array<FieldRule, kMappedFields> fields;
    QString copies;             // a column of label counts; empty: one label a row
    std::optional<bool> header; // whether the first row names the columns; unset: detected
    QString worksheet;          // a workbook's sheet; empty: the first
    bool operator==(const PriceListMapping&) const = default;
};

// A mapping given as options, the batch tool's words: "map" FIELD=COLUMN, "price"
// FIELD=COLUMN, "unit-price" FIELD=PRICE,QUANTITY,UNIT[,per100], "sale-line" FIELD=COLUMN,
// "copies" COLUMN, "header" yes|no, "worksheet" NAME. Throws platform::Error with an English
// text naming the option for a malformed value or an unknown field.
void applyMappingOption(PriceListMapping& mapping, const QString& option, const QString& value);

// The mapping as one line of text for dravelin.ini, and back: the options above joined by
// "|", with "%", "|" and "," inside values written as %25, %7C and %2C. mappingFromText()
// throws platform::Error for a line it cannot read.
QString mappingToText(const PriceListMapping& mapping);
PriceListMapping mappingFromText(const QString& text);

// Whether the first of these rows names the columns: it holds no number, and a label field
// name or a later row's number in a column tells it is not data.
bool looksLikeHeader(const std::vector<QStringList>& firstRows);

// A row that cannot become labels.
struct RowFault {
    enum class Kind {
        NotANumber,  // `value` of `column` is not a number where a computed line needs one
        UnknownUnit, // `value` is none of g, kg, ml, l, m, m², ks
        ZeroQuantity,
        BadCopies, // `value` is not a whole number of 0 or more
        TooLarge,  // the computed price does not fit
    };
    qint64 line = 0;
    Kind kind = Kind::NotANumber;
    QString field;  // the label line, "cena"; empty for the copies
    QString column; // the column as the mapping names it
    QString value;
};

// English, for the batch tool: "line 4: cena: \"abc\" in column Cena is not a number".
QString describeFault(const RowFault& fault);

// The rows of a table mapped one at a time.
class RowMapper {
  public:
    // Resolves the mapping's columns against `header` (the first row's cells when it names
    // the columns). Throws PriceListError (NoColumn) for a column that is not there.
    RowMapper(const PriceListMapping& mapping, const QStringList& header, bool hasHeader,
              QString specznak);

    // The seven values kod, kods, nazev, cena, text1, text2, text3 of `cells` and how many
    // labels they make; the fault instead when the row cannot be mapped.
    struct Result {
        QStringList values;
        int copies = 1;
        std::optional<RowFault> fault;
    };
    Result map(const QStringList& cells, qint64 line) const;

  private:
    struct Resolved {
        FieldRule::Kind kind = FieldRule::Kind::None;
        int column = -1;
        int quantity = -1;
        int unit = -1;
        bool per100 = false;
        QString name;
        QString quantityName;
        QString unitName;
    };
    std::array<Resolved, kMappedFields> fields_;
    int copies_ = -1;
    QString copiesName_;
    QString specznak_;
};

// Rows whose every cell is blank make no labels and are passed over.
bool isBlankRow(const QStringList& cells);

// The file's first rows as the import dialog shows them.
struct PriceListPreview {
    QStringList worksheets; // a workbook's sheets; empty for CSV
    bool headerDetected = false;
    bool hasHeader = false;         // as the mapping decides, or as detected
    QStringList columns;            // the header's texts, or "1", "2", ... without a header
    std::vector<QStringList> cells; // the first data rows' cells
    struct Row {
        qint64 line = 0;
        QStringList values; // kod .. text3
        int copies = 1;
        std::optional<RowFault> fault;
    };
    std::vector<Row> rows; // the same rows as labels
};

// Reads the first `rows` data rows. Throws PriceListError.
PriceListPreview previewPriceList(const QString& path, const PriceListMapping& mapping,
                                  const QString& specznak, int rows = 20);

// Every row of the file failed to map, or some did: the faults, at most 100 of them, and how
// many there were.
class PriceListRowsError : public platform::Error {
  public:
    PriceListRowsError(std::vector<RowFault> faults, qint64 total);
    const std::vector<RowFault>& faults() const { return faults_; }
    qint64 total() const { return total_; }

  private:
    std::vector<RowFault> faults_;
    qint64 total_;
};

class SampledTable;

// The labels of a price list as the layout run reads them, each row as often as its copies
// say, read from the file as the run moves on. The whole file is checked first. Fields as a
// list file's: 0 "id", then kod, kods, nazev, cena, text1, text2, text3.
class PriceListRows : public StreamedRows {
  public:
    // Throws PriceListError for a file that cannot be read, PriceListRowsError for rows that
    // cannot be mapped.
    PriceListRows(QString path, PriceListMapping mapping, QString specznak);
    ~PriceListRows() override;

    int rowCount() const override { return int(std::min<qint64>(labels_, INT_MAX)); }
    qint64 labelCount() const { return labels_; }
    int fieldIndex(const QString& name) const override;
    void first() override;
    void next() override;

  private:
    // Opens the table and reads its header as the mapping says.
    void open();

    QString path_;
    PriceListMapping mapping_;
    QString specznak_;
    std::unique_ptr<SampledTable> table_;
    std::optional<RowMapper> mapper_;
    int left_ = 0; // copies of the current row still to give
    qint64 labels_ = 0;
    qint64 id_ = 0;
};

// Adds the price list's labels after the print list's own rows in one transaction, then
// reloads the list view. Returns how many were added. Throws PriceListError or
// PriceListRowsError before anything is added; a store that refuses the rows throws
// DatabaseError and holds none of them.
qint64 importPriceList(Store& store, const QString& path, const PriceListMapping& mapping,
                       const QString& specznak);

// The same from rows already checked, without reloading the list view (the batch tool has
// none). Throws DatabaseError when the store refuses them; none of them is then in.
qint64 appendPriceList(Store& store, PriceListRows& rows);

} // namespace printlist

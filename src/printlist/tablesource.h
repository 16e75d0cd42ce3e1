// The rows of a shop's price list as cells of text, whatever file holds it: a CSV file as
// spreadsheet programs and tills write them, or the first (or a chosen) sheet of an XLSX or
// ODS file with each cell as the spreadsheet shows it. Read a row at a time, so a file of any
// length takes the memory of one row (a workbook's table of shared texts aside).
#pragma once

#include "platform/error.h"

#include <QChar>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

namespace printlist {

// Why a price-list file cannot be read. text() is English; the window words it in Czech from
// fault() and the fields.
class PriceListError : public platform::Error {
  public:
    enum class Fault {
        Unreadable, // cannot be opened or read; detail() says why
        Damaged,    // a spreadsheet whose container or XML is broken; detail() says where
        Encrypted,  // a spreadsheet locked by a password
        NoSheet,    // no sheet named sheet(); sheets() lists those there are
        NoColumn,   // the mapping names column sheet() that the header does not hold
    };
    PriceListError(Fault fault, const QString& text, QString detail = {}, QString sheet = {},
                   QStringList sheets = {})
        : platform::Error(text), fault_(fault), detail_(std::move(detail)),
          sheet_(std::move(sheet)), sheets_(std::move(sheets)) {}

    Fault fault() const { return fault_; }
    const QString& detail() const { return detail_; }
    // The sheet (NoSheet) or column (NoColumn) asked for.
    const QString& sheet() const { return sheet_; }
    // The sheets of the workbook (NoSheet) or the columns of the header (NoColumn).
    const QStringList& sheets() const { return sheets_; }

  private:
    Fault fault_;
    QString detail_;
    QString sheet_;
    QStringList sheets_;
};

enum class TableFormat { Csv, Xlsx, Ods };

class TableSource {
  public:
    virtual ~TableSource() = default;
    // The next row's cells into `cells`; false after the last row. Throws PriceListError.
    virtual bool next(QStringList& cells) = 0;
    // The line of the row given last, from 1: the line its record starts on in a CSV file, the
    // row number in a sheet.
    virtual qint64 line() const = 0;
};

// The format by the file's first bytes: a zip holding a workbook or a spreadsheet document,
// CSV otherwise. Throws PriceListError (Unreadable, Encrypted for a password-locked workbook).
TableFormat tableFormat(const QString& path);

// The sheet names of a workbook in order; empty for CSV. Throws PriceListError.
QStringList worksheetNames(const QString& path);

// Opens the file from its first row. `worksheet` empty: the first sheet; it is ignored for CSV.
// Throws PriceListError.
std::unique_ptr<TableSource> openTable(const QString& path, const QString& worksheet = {});

// CSV: the delimiter among ; , tab | that splits the sample's first records most evenly into
// most fields; ";" when none splits anything. Quoted fields are passed over whole.
QChar detectDelimiter(const QString& sample);

// Reads CSV text as RFC 4180 writes it: quoted fields may hold the delimiter, line breaks
// and doubled quotes; LF, CR LF or CR end a record. `refill` appends more text to its
// argument and returns false at the end.
std::unique_ptr<TableSource> csvTable(QChar delimiter, std::function<bool(QString&)> refill);

} // namespace printlist

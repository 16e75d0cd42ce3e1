// The workbook readers behind openTable(): XLSX and ODS files opened with QuaZip and read with
// Qt's XML stream reader, a row at a time, and the display of a cell's number as a Czech
// spreadsheet program shows it.
#pragma once

#include "printlist/tablesource.h"

#include <QDateTime>

namespace printlist {

// Xlsx or Ods by the zip's contents. Throws PriceListError (Damaged: neither).
TableFormat spreadsheetFormat(const QString& path);

QStringList xlsxSheetNames(const QString& path);
std::unique_ptr<TableSource> openXlsx(const QString& path, const QString& worksheet);

QStringList odsSheetNames(const QString& path);
std::unique_ptr<TableSource> openOds(const QString& path, const QString& worksheet);

// A number in a cell of number format `code` (a workbook's format code; empty or "General"
// for the general format) as the spreadsheet shows it in Czech: "14,95", "1 299,00 Kč",
// "15.03.2026". `date1904`: the workbook counts days from 1904.
QString displayNumber(double value, const QString& code, bool date1904 = false);

// The built-in format code of a workbook's number format id; empty for the general format.
QString builtinNumberFormat(int id);

// A date and time of a serial day number as workbooks count them.
QDateTime serialDateTime(double serial, bool date1904);

} // namespace printlist

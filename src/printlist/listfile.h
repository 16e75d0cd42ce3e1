// List files: the print list as ;-separated Windows-1250 text, one label per line, written
// from the list view ("uložit seznam") and read back into table seznam ("načíst seznam").
#pragma once

#include "printlist/listfilerows.h"
#include "printlist/store.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace printlist {

// The name an export writes to: `chosen` as it is when the whole path holds "csv"
// (case-sensitive), otherwise `chosen` + ".csv". The save dialog offers this name next time.
QString completeListFileName(const QString& chosen);

// The file contents for the list view: per row the fields after the first joined by ";",
// each line ended by CR LF, in Windows-1250 (a character it lacks becomes "?"), or in UTF-8
// after its byte-order mark. An empty view gives no bytes.
QByteArray listFileBytes(const RowSet& view, ListFileEncoding encoding = ListFileEncoding::Cp1250);

// Whether Windows-1250 holds every value of the list view that a list file carries.
bool listFitsCp1250(const RowSet& view);

// Writes listFileBytes(view, encoding) to `path`, replacing an existing file atomically, and
// makes the first row current. A failed write throws platform::FileError and leaves the old
// file whole.
void exportList(RowSet& view, const QString& path,
                ListFileEncoding encoding = ListFileEncoding::Cp1250);

// "uložit seznam": a list that Windows-1250 cannot hold asks whether to save it in UTF-8 (Ano:
// UTF-8 with its byte-order mark; Ne: Windows-1250 with "?"); any other list is written as
// Windows-1250 with no question. Then exportList().
void askAndExportList(RowSet& view, const QString& path);

// The lines of a list file, in the code detectListFileEncoding() finds: Ctrl-Z ends the file, LF or
// CR LF end a line, a lone CR is dropped, blank lines at the very end are left out. The first line
// is always there, so an empty file gives one empty line.
std::vector<QString> listFileLines(const QByteArray& bytes);

// "Failed" is the window's: the import itself throws.
enum class ImportResult { Imported, NoFile, Failed };

// The store refused the file's rows (its own text); the list stays as it was.
class ImportRefused : public platform::Error {
  public:
    using platform::Error::Error;
};

// Replaces the print list with the file's records. The whole file is checked first (every
// line must hold exactly seven values); only a valid file replaces the list, in one
// transaction, followed by the store's compaction ("vacuum" on seznam.db) and a reload. A file
// that does not exist does nothing. Throws ListFileError for a file that cannot be read or a
// line without seven values, ImportRefused when the store refuses the rows; the table keeps its
// rows then. A failing "vacuum" after a completed import propagates as DatabaseError.
ImportResult importList(Store& store, const QString& path);

} // namespace printlist

// What the batch tool lays out: the print list (a list file or a database) and a settings
// snapshot, read by the program's own rules, and its wording of a print request's faults.
#pragma once

#include "batch/batcherror.h"
#include "batch/options.h"
#include "labelprint/printrequest.h"
#include "printlist/pricelist.h"
#include "printlist/rowcursor.h"
#include "settings/layoutsettings.h"

#include <QString>
#include <memory>

namespace batch {

// The rows of a list file as the list view would hold them after "načíst seznam", without a
// database in between, read line by line by the import's own reader as the run moves on. The
// whole file is checked first, so a bad file fails before any output begins. Throws BatchError:
// a missing or unreadable file, an empty file, or a line without exactly seven values (with its
// line number); reading on throws BatchError too when the file changed under the run.
std::unique_ptr<printlist::RowCursor> readListFile(const QString& path);

// The rows of a print-list database, stepped one at a time from the store's row stream. A
// missing file is an error, never created. Throws BatchError.
std::unique_ptr<printlist::RowCursor> readDatabase(const QString& path);

// The rows of a print list shared on a server (a libpq connection string), streamed from the
// server. Throws BatchError with the server's message.
std::unique_ptr<printlist::RowCursor> readServer(const QString& conninfo);

// The mapping of --mapping (saved in `ini`) with the --map items over it. Throws BatchError
// for a mapping that is not saved there or an item that cannot be read.
printlist::PriceListMapping importMapping(const Options& o, const QString& ini);

// The labels of a price list read through `mapping`, the whole file checked first. Throws
// BatchError: a file that cannot be read, a sheet or column that is not there, or the rows
// that cannot become labels, each on its own line with its line number.
std::unique_ptr<printlist::PriceListRows> readPriceList(const QString& path,
                                                        const printlist::PriceListMapping& mapping,
                                                        const QString& specznak);

// A fault of the print request as the batch tool's one line says it, with its exit code;
// `usedText` is the --used value as given.
BatchError describe(const labelprint::RequestFault& fault, const QString& usedText);

// A settings snapshot over the defaults of a first run, read by the program's own snapshot
// reader. Throws BatchError for a missing, unreadable or short file, or one the program would
// refuse to load (a damaged sheet trailer among them).
settings::LayoutSettings readSnapshot(const QString& path);

} // namespace batch

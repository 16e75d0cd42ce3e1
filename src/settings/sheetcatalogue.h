// The catalogue of label sheets by maker and product number: a built-in table of common office
// sheets, and the rectangular A4 and Letter sheets of installed template files of the XML
// format other label programs share (element Template with brand, part and size; a
// Label-rectangle with one Layout).
#pragma once

#include "settings/sheet.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace settings {

struct CatalogueEntry {
    QString maker;
    QString product;
    Sheet sheet; // switched on

    // "Avery Zweckform 3651"
    QString name() const;
    // "Avery Zweckform 3651: 52 × 29,5 mm, 4 × 10, A4"
    QString description() const;
};

// The built-in table, in table order.
const std::vector<CatalogueEntry>& builtInSheets();

// The sheets of one template file; templates that are not a rectangular A4 or Letter grid, or
// whose labels do not fit their paper, are left out. A file that cannot be read or parsed
// gives what was read before the fault.
std::vector<CatalogueEntry> readTemplateFile(const QString& path);
// Every *.xml file of `folder`, in name order; nothing when the folder is missing.
std::vector<CatalogueEntry> readTemplateFolder(const QString& folder);
// Where the template files of the system live; tests point it at a folder of their own.
QString systemTemplateFolder();
void setSystemTemplateFolder(const QString& folder);

// The built-in table followed by the system's template sheets, without entries whose name, or
// whose product number with the same figures, is already listed, and without a product of the
// built-in table on the same paper under a shorter spelling of its maker's name.
std::vector<CatalogueEntry> fullCatalogue(const QString& templateFolder = systemTemplateFolder());

// The entries whose name and size contain every word of `typed`, ignoring case and diacritics;
// all entries for an empty text.
std::vector<CatalogueEntry> searchCatalogue(const std::vector<CatalogueEntry>& entries,
                                            const QString& typed);

// One entry by its product number or its full name ("3651", "Avery Zweckform 3651", "L7160"),
// ignoring case; failing that, by the words of searchCatalogue ("Zweckform 3651"). Several
// names for one and the same sheet give the first of them. Nothing when none or several
// different sheets match; `candidates` then lists the names that came near.
std::optional<CatalogueEntry> findSheet(const std::vector<CatalogueEntry>& entries,
                                        const QString& name, QStringList* candidates = nullptr);

} // namespace settings

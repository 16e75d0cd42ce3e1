// Price-list mappings saved under a name in section [mapovani] of dravelin.ini, one key per
// mapping. The section is written only when a mapping is saved, so a dravelin.ini of someone
// who never saves one stays as it was.
#pragma once

#include "platform/profile.h"
#include "printlist/pricelist.h"

namespace printlist {

inline constexpr const char* kMappingSection = "mapovani";

// The names of the saved mappings in file order.
QStringList savedMappingNames(const platform::Profile& ini);

// The mapping saved under `name` (case-insensitive); nullopt when there is none. Throws
// platform::Error for a saved line that cannot be read.
std::optional<PriceListMapping> savedMapping(const platform::Profile& ini, const QString& name);

// Whether `name` can be a key of the section: not empty, no "=", no "[" or "]" and not
// starting with ";".
bool isMappingName(const QString& name);

// Saves the mapping under `name`, replacing one of that name, and writes the file. Throws
// platform::Error when the file cannot be written.
void saveMapping(platform::Profile& ini, const QString& name, const PriceListMapping& mapping);

} // namespace printlist

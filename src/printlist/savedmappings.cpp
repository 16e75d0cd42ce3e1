#include "printlist/savedmappings.h"

namespace printlist {

QStringList savedMappingNames(const platform::Profile& ini) {
    return ini.keys(QString::fromLatin1(kMappingSection));
}

std::optional<PriceListMapping> savedMapping(const platform::Profile& ini, const QString& name) {
    const QString section = QString::fromLatin1(kMappingSection);
    if (!ini.hasKey(section, name.trimmed())) {
        return std::nullopt;
    }
    return mappingFromText(ini.readString(section, name.trimmed(), QString()));
}

bool isMappingName(const QString& name) {
    const QString n = name.trimmed();
    return !n.isEmpty() && !n.contains(QLatin1Char('=')) && !n.contains(QLatin1Char('[')) &&
           !n.contains(QLatin1Char(']')) && !n.startsWith(QLatin1Char(';'));
}

void saveMapping(platform::Profile& ini, const QString& name, const PriceListMapping& mapping) {
    ini.writeString(QString::fromLatin1(kMappingSection), name.trimmed(), mappingToText(mapping));
    ini.save();
}

} // namespace printlist

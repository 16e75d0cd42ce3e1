// The window's side of the snapshot and list-file commands: each runs the core's reader or
// writer and shows its fault in the box the user knows.
#pragma once

#include "printlist/listfile.h"
#include "settings/layoutsettings.h"

#include <QString>
#include <optional>

namespace filecommands {

// uloznastaveni: saves the settings; a failed write shows "zápis se nezdařil" (title "error")
// and returns false.
bool uloznastaveni(const settings::LayoutSettings& settings, const QString& fileName);

// nactinastaveni: `current` with the snapshot put onto it; a file that cannot be loaded shows
// "soubor nemá správný formát nebo je poškozen" (title "error") and gives nothing.
std::optional<settings::LayoutSettings> nactinastaveni(const QString& fileName,
                                                       const settings::LayoutSettings& current);

// "načíst seznam": importList(); a refused file or a refusal of the store shows the "chyba" box,
// with where and what on a second line when known ("řádek 41: 1 hodnota místo 7"), and
// returns Failed.
printlist::ImportResult nactiseznam(printlist::Store& store, const QString& path);

} // namespace filecommands

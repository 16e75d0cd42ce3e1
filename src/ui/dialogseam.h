// The seam for the font and colour dialogs of the settings tab: real dialogs in the program,
// queued results in tests, so no test waits on a modal window.
#pragma once

#include "settings/fontdescription.h"

#include <QColor>
#include <optional>

namespace dialogs {

struct FontChoice {
    settings::FontDescription font; // face, height, style and colour as chosen
    bool colourChanged = false;     // the user touched the colour choice
};

// Shows the font dialog on `current`; nothing when cancelled.
std::optional<FontChoice> chooseFont(const settings::FontDescription& current);
// Shows the colour dialog on `current`; nothing when cancelled.
std::optional<QColor> chooseColour(const QColor& current);

// --- for tests ---
void setNextFont(std::optional<FontChoice> choice);
void setNextColour(std::optional<QColor> colour);
// The fonts and colours the dialogs were opened with, in order.
const std::vector<settings::FontDescription>& fontsShown();
const std::vector<QColor>& coloursShown();
// Installs the real dialogs (the program does this; tests do not).
void useRealDialogs(bool on);
void clearHistory();

} // namespace dialogs

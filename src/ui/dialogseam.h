// The seam for the font and colour dialogs of the settings tab: real dialogs in the program,
// queued results in tests, so no test waits on a modal window. Also the one call by which the
// program installs all of its real dialogs.
#pragma once

#include "platform/answerqueue.h"
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

// The queues behind chooseFont() and chooseColour(): a request is the font or colour the dialog
// opens with; without a queued answer and without a real dialog, it is cancelled.
platform::AnswerQueue<settings::FontDescription, std::optional<FontChoice>>& fontAnswers();
platform::AnswerQueue<QColor, std::optional<QColor>>& colourAnswers();

// The real dialogs, placed as the program places its dialogs.
std::optional<FontChoice> runFontDialog(const settings::FontDescription& current);
std::optional<QColor> runColourDialog(const QColor& current);

// Installs every real dialog of the program on its queue: message boxes and file dialogs, the
// font and colour dialogs and the print dialog. The program does this once; tests never do.
void installRealDialogs();

} // namespace dialogs

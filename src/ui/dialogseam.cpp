#include "ui/dialogseam.h"

#include "labelprint/windows/printsetupdialog.h"
#include "platform/prompts.h"
#include "platform/widgets/placement.h"
#include "platform/widgets/widgetprompts.h"
#include "ui/fontcolourdialog.h"
#include "ui/pricelistdialog.h"

#include <QColorDialog>

namespace dialogs {

platform::AnswerQueue<settings::FontDescription, std::optional<FontChoice>>& fontAnswers() {
    static platform::AnswerQueue<settings::FontDescription, std::optional<FontChoice>> queue;
    return queue;
}

platform::AnswerQueue<QColor, std::optional<QColor>>& colourAnswers() {
    static platform::AnswerQueue<QColor, std::optional<QColor>> queue;
    return queue;
}

std::optional<FontChoice> chooseFont(const settings::FontDescription& current) {
    return fontAnswers().ask(current);
}

std::optional<QColor> chooseColour(const QColor& current) {
    return colourAnswers().ask(current);
}

std::optional<FontChoice> runFontDialog(const settings::FontDescription& current) {
    FontColourDialog dialog(current);
    platform::placeAtOneThird(&dialog);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return FontChoice{dialog.chosenFont(), dialog.colourChanged()};
}

std::optional<QColor> runColourDialog(const QColor& current) {
    QColorDialog dialog(current);
    dialog.setObjectName(QStringLiteral("ColorDialog1"));
    platform::placeAtOneThird(&dialog);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.selectedColor();
}

void installRealDialogs() {
    prompts::messageAnswers().setDialog(platform::runMessageBox);
    prompts::fileAnswers().setDialog(platform::runFileDialog);
    fontAnswers().setDialog(runFontDialog);
    colourAnswers().setDialog(runColourDialog);
    labelprint::printSetupAnswers().setDialog(labelprint::runPrintDialog);
    priceListAnswers().setDialog(runPriceListDialog);
}

} // namespace dialogs

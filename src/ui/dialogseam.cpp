#include "ui/dialogseam.h"

#include "platform/widgets/placement.h"
#include "ui/fontcolourdialog.h"

#include <QColorDialog>
#include <deque>

namespace dialogs {
namespace {

struct State {
    bool real = false;
    std::deque<std::optional<FontChoice>> fonts;
    std::deque<std::optional<QColor>> colours;
    std::vector<settings::FontDescription> fontsShown;
    std::vector<QColor> coloursShown;
};

State& state() {
    static State s;
    return s;
}

} // namespace

std::optional<FontChoice> chooseFont(const settings::FontDescription& current) {
    State& s = state();
    s.fontsShown.push_back(current);
    if (!s.fonts.empty()) {
        auto next = s.fonts.front();
        s.fonts.pop_front();
        return next;
    }
    if (!s.real) {
        return std::nullopt;
    }
    FontColourDialog dialog(current);
    platform::placeAtOneThird(&dialog);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return FontChoice{dialog.chosenFont(), dialog.colourChanged()};
}

std::optional<QColor> chooseColour(const QColor& current) {
    State& s = state();
    s.coloursShown.push_back(current);
    if (!s.colours.empty()) {
        auto next = s.colours.front();
        s.colours.pop_front();
        return next;
    }
    if (!s.real) {
        return std::nullopt;
    }
    QColorDialog dialog(current);
    dialog.setObjectName(QStringLiteral("ColorDialog1"));
    platform::placeAtOneThird(&dialog);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.selectedColor();
}

void setNextFont(std::optional<FontChoice> choice) {
    state().fonts.push_back(std::move(choice));
}
void setNextColour(std::optional<QColor> colour) {
    state().colours.push_back(colour);
}
const std::vector<settings::FontDescription>& fontsShown() {
    return state().fontsShown;
}
const std::vector<QColor>& coloursShown() {
    return state().coloursShown;
}
void useRealDialogs(bool on) {
    state().real = on;
}

void clearHistory() {
    State& s = state();
    s.fonts.clear();
    s.colours.clear();
    s.fontsShown.clear();
    s.coloursShown.clear();
}

} // namespace dialogs

// Where modal dialogs open: centred horizontally, at one third of the free height.
#pragma once

class QWidget;

namespace platform {

void placeAtOneThird(QWidget* dialog);

} // namespace platform

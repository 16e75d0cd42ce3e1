#include "ui/slotfontdialog.h"

SlotFontDialog::SlotFontDialog(const QString& name, QObject* parent) : QObject(parent) {
    setObjectName(name);
}

void SlotFontDialog::setFont(const settings::FontDescription& f) {
    font_.height = f.height;
    font_.style = f.style;
    font_.setFace(f.face);
    font_.colour = f.colour;
}

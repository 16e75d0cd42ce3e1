#include "ui/slotfontcontrol.h"

SlotFont::SlotFont(const QString& name, QObject* parent) : QObject(parent) {
    setObjectName(name);
}

void SlotFont::setFont(const settings::FontDescription& f) {
    font_.height = f.height;
    font_.style = f.style;
    font_.setFace(f.face);
    font_.colour = f.colour;
}

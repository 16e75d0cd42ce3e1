// The font of one line slot, the control `kodfontdialog` and its kin stand for: the one place
// where that slot's font lives. (labelprint/slotfont.h turns a font into Qt's for drawing.)
#pragma once

#include "settings/fontdescription.h"

#include <QObject>

class SlotFont : public QObject {
    Q_OBJECT
  public:
    explicit SlotFont(const QString& name, QObject* parent = nullptr);

    const settings::FontDescription& font() const { return font_; }
    // Height, style, face name and colour, in this order; an empty face keeps the old one.
    void setFont(const settings::FontDescription& f);

  private:
    settings::FontDescription font_;
};

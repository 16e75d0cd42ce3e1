// The font dialog of one line slot: the one place where that slot's font lives.
#pragma once

#include "settings/fontdescription.h"

#include <QObject>

class SlotFontDialog : public QObject {
    Q_OBJECT
  public:
    explicit SlotFontDialog(const QString& name, QObject* parent = nullptr);

    const settings::FontDescription& font() const { return font_; }
    // Height, style, face name and colour, in this order; an empty face keeps the old one.
    void setFont(const settings::FontDescription& f);

  private:
    settings::FontDescription font_;
};

// A slot's font dialog: the platform's font chooser with a colour choice of the standard
// colours below it, knowing whether the user touched the colour.
#pragma once

#include "settings/fontdescription.h"

#include <QDialog>

class QComboBox;
class QFontDialog;

class FontColourDialog : public QDialog {
    Q_OBJECT
  public:
    explicit FontColourDialog(const settings::FontDescription& current, QWidget* parent = nullptr);

    // Face, height, style and colour as chosen; the height keeps the stored form (negative
    // pixels at 96 per inch).
    settings::FontDescription chosenFont() const;
    bool colourChanged() const { return colourChanged_; }

  private:
    QFontDialog* fonts_;
    QComboBox* colours_;
    settings::FontDescription current_;
    QString shownFamily_;
    bool colourChanged_ = false;
};

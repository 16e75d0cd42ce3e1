// The settings tab "nastavení": its controls are the layout settings. Margins, columns, label
// height, each line's position, font button and switch, the two colour swatches, the code-39
// character, the snapshot buttons and the help text.
#pragma once

#include "settings/layoutsettings.h"

#include <QWidget>
#include <array>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class ColourSwatch;
class SpinField;

class NastaveniTab : public QWidget {
    Q_OBJECT
  public:
    explicit NastaveniTab(QWidget* parent = nullptr);

    SpinField* vlevospin;
    SpinField* nahorespin;
    SpinField* sloupcespin;
    SpinField* vyskabunkyspin;
    QLineEdit* specznakle;
    ColourSwatch* bordershape;
    ColourSwatch* pozadishape;
    QPushButton* ulozitb;
    QPushButton* nacistb;
    QPlainTextEdit* Memo1;
    // Per slot, in slot order.
    std::array<SpinField*, settings::SlotCount> topspin{};
    std::array<SpinField*, settings::SlotCount> leftspin{};
    std::array<QPushButton*, settings::SlotCount> fontbutton{};
    std::array<QCheckBox*, settings::SlotCount> chb{};

    // The seventeen lines of the help text.
    static QStringList helpLines();

  protected:
    void resizeEvent(QResizeEvent* event) override;
};

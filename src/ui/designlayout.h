// Helpers for placing controls at their designed coordinates (96 pixels per inch).
#pragma once

#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace designlayout {

QLabel* label(QWidget* parent, const QString& name, const QString& text, int x, int y);
// An edit field that takes any text of any length, with its caption in a label just above it.
QLineEdit* labelledEdit(QWidget* parent, const QString& name, const QString& caption, int x, int y,
                        int w, int h);
QPushButton* button(QWidget* parent, const QString& name, const QString& caption, int x, int y,
                    int w, int h);

} // namespace designlayout

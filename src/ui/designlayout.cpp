#include "ui/designlayout.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace designlayout {

QLabel* label(QWidget* parent, const QString& name, const QString& text, int x, int y) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->move(x, y);
    l->adjustSize();
    return l;
}

QLineEdit* labelledEdit(QWidget* parent, const QString& name, const QString& caption, int x, int y,
                        int w, int h) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setGeometry(x, y, w, h);
    // QLineEdit cuts a text at 32767 characters unless told otherwise, which would shorten a
    // long pasted text without a word; the cut moves far beyond anything typed or pasted.
    edit->setMaxLength(32767 * 32);
    auto* l = new QLabel(caption, parent);
    l->setObjectName(name + QStringLiteral("Label"));
    l->adjustSize();
    l->move(x, y - l->height() - 3);
    l->setBuddy(edit);
    return edit;
}

QPushButton* button(QWidget* parent, const QString& name, const QString& caption, int x, int y,
                    int w, int h) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setGeometry(x, y, w, h);
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

} // namespace designlayout

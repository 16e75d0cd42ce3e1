#include "ui/stitkytab.h"

#include "ui/designlayout.h"
#include "ui/listgrid.h"
#include "ui/spinfield.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

using namespace designlayout;

StitkyTab::StitkyTab(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("stitkyts"));
    label(this, QStringLiteral("Label20"),
          QStringLiteral("Tady vytvoříme seznam k tisku, kolonky které nechceme, necháme "
                         "prázdné."),
          5, 10);
    kodle =
        labelledEdit(this, QStringLiteral("kodle"), QStringLiteral("kód zboží:"), 10, 55, 81, 21);
    kodle->setText(QStringLiteral("123456"));
    nazevle =
        labelledEdit(this, QStringLiteral("nazevle"), QStringLiteral("název:"), 95, 55, 141, 21);
    cenale = labelledEdit(this, QStringLiteral("cenale"), QStringLiteral("cena:"), 240, 55, 71, 21);
    text1le =
        labelledEdit(this, QStringLiteral("text1le"), QStringLiteral("text1"), 325, 55, 121, 21);
    text2le =
        labelledEdit(this, QStringLiteral("text2le"), QStringLiteral("text2"), 455, 55, 121, 21);
    text3le =
        labelledEdit(this, QStringLiteral("text3le"), QStringLiteral("text3"), 585, 55, 121, 21);

    label(this, QStringLiteral("Label7"), QStringLiteral("počet"), 15, 90);
    pocetspin = new SpinField(this);
    pocetspin->setObjectName(QStringLiteral("pocetspin"));
    pocetspin->setGeometry(15, 105, 46, 22);
    pocetspin->setBounds(1, 999);
    pocetspin->setValue(1);

    pridatb = button(this, QStringLiteral("pridatb"), QStringLiteral("přidat"), 70, 105, 51, 25);
    vymazatb = button(this, QStringLiteral("vymazatb"), QStringLiteral("vymazat seznam"), 130, 105,
                      90, 25);
    tiskb = button(this, QStringLiteral("tiskb"), QStringLiteral("tisk"), 230, 105, 45, 25);
    ulozitseznamb = button(this, QStringLiteral("ulozitseznamb"), QStringLiteral("uložit seznam"),
                           520, 105, 100, 25);
    nacistseznamb = button(this, QStringLiteral("nacistseznamb"), QStringLiteral("načíst seznam"),
                           635, 105, 100, 25);
    nacistcenikb = button(this, QStringLiteral("nacistcenikb"), QStringLiteral("načíst ceník"), 750,
                          105, 100, 25);

    DBGrid1 = new ListGrid(this);
    vymazatpoloku1 = DBGrid1->popupMenu()->addAction(QStringLiteral("vymazat položku"));
    vymazatpoloku1->setObjectName(QStringLiteral("vymazatpoloku1"));

    // Tab goes through the entry fields, the count and "přidat", then the two list-file
    // buttons; "vymazat seznam", "tisk" and the grid are reached by the mouse only.
    for (QWidget* w : {static_cast<QWidget*>(vymazatb), static_cast<QWidget*>(tiskb),
                       static_cast<QWidget*>(DBGrid1)}) {
        w->setFocusPolicy(Qt::ClickFocus);
    }
    QWidget* order[] = {kodle,     nazevle, cenale,        text1le,       text2le,     text3le,
                        pocetspin, pridatb, nacistseznamb, ulozitseznamb, nacistcenikb};
    for (size_t i = 0; i + 1 < std::size(order); ++i) {
        setTabOrder(order[i], order[i + 1]);
    }
}

void StitkyTab::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    DBGrid1->setGeometry(0, height() - 253, width(), 253);
}

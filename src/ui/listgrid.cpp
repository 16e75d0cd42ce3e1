#include "ui/listgrid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

ListGrid::ListGrid(QWidget* parent) : QTableView(parent), menu_(new QMenu(this)) {
    setObjectName(QStringLiteral("DBGrid1"));
    menu_->setObjectName(QStringLiteral("PopupMenu1"));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setShowGrid(true);
    setFrameShape(QFrame::Box);
    setFrameShadow(QFrame::Plain);
    setWordWrap(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    // Widths from the settings file are used as given, however narrow.
    horizontalHeader()->setMinimumSectionSize(0);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setStretchLastSection(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(18);
    verticalHeader()->setFixedWidth(12);
    verticalHeader()->setSectionsClickable(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    // A right click on the title row opens the menu too, leaving the current row alone.
    horizontalHeader()->viewport()->installEventFilter(this);
}

bool ListGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == horizontalHeader()->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            menu_->popup(mouse->globalPosition().toPoint());
            return true;
        }
    }
    return QTableView::eventFilter(watched, event);
}

void ListGrid::mousePressEvent(QMouseEvent* event) {
    const int row = rowAt(event->position().toPoint().y());
    if (row >= 0) {
        Q_EMIT rowPressed(row);
    }
    if (event->button() == Qt::RightButton) {
        setFocus(Qt::MouseFocusReason);
        menu_->popup(event->globalPosition().toPoint());
        return;
    }
    QTableView::mousePressEvent(event);
}

void ListGrid::keyPressEvent(QKeyEvent* event) {
    Q_EMIT keyDown(event);
    QTableView::keyPressEvent(event);
}

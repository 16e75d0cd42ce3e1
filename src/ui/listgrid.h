// DBGrid1: the read-only list grid. Any mouse button on a data row makes that row current
// before anything else, so the pop-up menu deletes the row that was right-clicked.
#pragma once

#include <QTableView>

class QMenu;

class ListGrid : public QTableView {
    Q_OBJECT
  public:
    explicit ListGrid(QWidget* parent = nullptr);

    QMenu* popupMenu() const { return menu_; }

  Q_SIGNALS:
    // A data row (from 0) was pressed with a mouse button.
    void rowPressed(int row);
    // Key pressed while the grid has the focus, before its own handling.
    void keyDown(QKeyEvent* event);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QMenu* menu_;
};

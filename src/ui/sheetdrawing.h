// A drawing of a label sheet to scale: the paper, every label position, the positions left
// empty by the start position shaded and the used positions greyed. A click on a position
// reports it, so the tab can mark it used or free.
#pragma once

#include "settings/sheet.h"

#include <QWidget>
#include <optional>

class SheetDrawing : public QWidget {
    Q_OBJECT
  public:
    explicit SheetDrawing(QWidget* parent = nullptr);

    // `skipped` positions at the start are shaded, the `used` ones greyed and crossed; an
    // impossible sheet draws only the paper.
    void show(const settings::Sheet& sheet, int skipped, const settings::UsedPositions& used);
    const settings::Sheet& sheet() const { return sheet_; }
    const settings::UsedPositions& used() const { return used_; }
    // The label number (from 0, in the fill order) drawn under `point`, if any.
    std::optional<int> positionAt(const QPointF& point) const;
    // Where label `n` is drawn, in the widget's pixels.
    QRectF positionRect(int n) const;

  Q_SIGNALS:
    void positionClicked(int n);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    // Past this many positions the drawing shows only the paper's first ones.
    static constexpr int kMaxDrawn = 2000;

    double scale() const;
    QPointF at(double x, double y) const;

    settings::Sheet sheet_;
    int skipped_ = 0;
    settings::UsedPositions used_;
};

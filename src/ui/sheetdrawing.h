// A drawing of a label sheet to scale: the paper, every label position, and the positions left
// empty by the start position shaded.
#pragma once

#include "settings/sheet.h"

#include <QWidget>

class SheetDrawing : public QWidget {
    Q_OBJECT
  public:
    explicit SheetDrawing(QWidget* parent = nullptr);

    // `skipped` positions at the start are shaded; an impossible sheet draws only the paper.
    void show(const settings::Sheet& sheet, int skipped);
    const settings::Sheet& sheet() const { return sheet_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    settings::Sheet sheet_;
    int skipped_ = 0;
};

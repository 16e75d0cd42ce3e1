// A colour swatch: a filled circle in a colour value, reacting to any mouse button.
#pragma once

#include <QWidget>
#include <cstdint>

class ColourSwatch : public QWidget {
    Q_OBJECT
  public:
    explicit ColourSwatch(QWidget* parent = nullptr);

    std::int32_t colour() const { return colour_; }
    void setColour(std::int32_t value);

  Q_SIGNALS:
    void pressed(Qt::MouseButton button);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    std::int32_t colour_ = 0;
};

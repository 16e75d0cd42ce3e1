// The spin field of every numeric control: free text that reads as an integer (its lower bound
// when the text is no number), bounds that apply only when they differ, digits, signs and the
// decimal separator as the only typed characters, and arrow buttons that repeat after 400 ms,
// then every 100 ms.
#pragma once

#include <QPalette>
#include <QTimer>
#include <QWidget>
#include <cstdint>

class QLineEdit;
class QToolButton;

class SpinField : public QWidget {
    Q_OBJECT
  public:
    explicit SpinField(QWidget* parent = nullptr);

    void setBounds(std::int32_t minimum, std::int32_t maximum);
    std::int32_t minimum() const { return min_; }
    std::int32_t maximum() const { return max_; }

    // The text read as an integer; the lower bound when it is no number. Bounds do not limit
    // what is read.
    std::int32_t value() const;
    // Limited to the bounds when they differ, then shown in plain decimal.
    void setValue(std::int32_t v);
    QString text() const;
    void setText(const QString& text);
    QLineEdit* editor() const { return edit_; }

    void stepBy(int steps);
    // What losing the focus does: a number outside differing bounds goes to the nearest bound;
    // a text that is no number stays.
    void applyBounds();
    // Whether the field is showing that it dropped a typed character (red, for half a second).
    bool flashing() const { return flash_.isActive(); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    // A dropped character is told by a beep and a red flash: a beep alone goes unheard on
    // machines without a bell, and "29,7" would silently become 297.
    void refuseTyped();

    QLineEdit* edit_;
    QToolButton* up_;
    QToolButton* down_;
    std::int32_t min_ = 0;
    std::int32_t max_ = 0;
    QTimer flash_;
    QPalette normalPalette_;
};

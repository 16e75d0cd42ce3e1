// "Printing progress": a small stay-on-top window shown while labels are laid out straight
// onto the printer, with a gauge, a "40%  Completed" line and Cancel.
#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

namespace labelprint {

class ProgressWindow : public QWidget {
    Q_OBJECT
  public:
    explicit ProgressWindow(QWidget* parent = nullptr);

    // Shows p only at multiples of 5.
    void showProgress(int percent);

    QProgressBar* Gauge;
    QLabel* Info;
    QPushButton* CancelButton;

  Q_SIGNALS:
    void cancelRequested();
};

} // namespace labelprint

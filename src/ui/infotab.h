// The info tab: what the program is for, who made it under which licence, and the contact
// address that starts a new e-mail.
#pragma once

#include <QWidget>

class QLabel;

class InfoTab : public QWidget {
    Q_OBJECT
  public:
    explicit InfoTab(QWidget* parent = nullptr);

    static QString contactAddress();
    // The authorship and licence line, as the information box shows it.
    static QString authorshipLine();

    QLabel* Label21;
    QLabel* Label6;
    QLabel* Label23;

  Q_SIGNALS:
    void contactClicked();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

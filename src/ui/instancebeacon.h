// The running window's answer to a second start on its program directory: the second program
// calls it over a local socket and the window comes to the front (where the desktop lets it).
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;
class QWidget;

class InstanceBeacon : public QObject {
    Q_OBJECT
  public:
    // Listens for calls meant for `dir`; each raises and activates `window`.
    InstanceBeacon(const QString& dir, QWidget* window);

    // Asks the window running on `dir` to come to the front. Returns whether one listens.
    static bool callFirst(const QString& dir);

  Q_SIGNALS:
    void called();

  private:
    QWidget* window_;
    QLocalServer* server_;
};

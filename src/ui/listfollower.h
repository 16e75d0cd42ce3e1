// Keeps the window on a shared list: a notice from the server says another workstation changed
// the list, and a lost connection is made again in the background, after a pause that doubles
// from 0.5 s up to 30 s, so the window never waits for a server that is away.
#pragma once

#include "printlist/store.h"

#include <QObject>
#include <QTimer>
#include <functional>

class QSocketNotifier;

class ListFollower : public QObject {
    Q_OBJECT
  public:
    // `store` gives the store in force: start-up may replace it.
    ListFollower(std::function<printlist::Store&()> store, QObject* parent);

    // Follows the store's connection as it now is; called after anything that may have
    // dropped or renewed it. A connection followed before and gone now is made again.
    void follow();

    static constexpr int kFirstPauseMs = 500;
    static constexpr int kLongestPauseMs = 30000;

  signals:
    // The store's change socket has something to read.
    void noticeArrived();
    // The connection was made again and listens; the view may be behind the server.
    void reconnected();

  private:
    // One notifier at a time: the change socket, or the socket of an attempt under way.
    void watch(int socket, bool forWrite, const std::function<void()>& handler);
    void unwatch();
    void startReconnecting();
    void step();
    void attemptFailed();

    std::function<printlist::Store&()> store_;
    QSocketNotifier* notifier_ = nullptr;
    bool following_ = false;
    bool reconnecting_ = false;
    int pauseMs_ = kFirstPauseMs;
    // The pause between attempts, and the limit of one attempt's wait on its socket.
    QTimer pause_;
    QTimer attemptLimit_;
};

#include "ui/listfollower.h"

#include <QSocketNotifier>
#include <algorithm>

ListFollower::ListFollower(std::function<printlist::Store&()> store, QObject* parent)
    : QObject(parent), store_(std::move(store)) {
    pause_.setSingleShot(true);
    attemptLimit_.setSingleShot(true);
    connect(&pause_, &QTimer::timeout, this, &ListFollower::step);
    connect(&attemptLimit_, &QTimer::timeout, this, &ListFollower::step);
}

void ListFollower::follow() {
    const int socket = store_().changeSocket();
    if (socket < 0) {
        if (reconnecting_) {
            return; // the attempt under way goes on
        }
        unwatch();
        // A store that never had a connection (or sends no notices) has none to make again.
        if (following_) {
            startReconnecting();
        }
        return;
    }
    if (reconnecting_) {
        // A command made the connection meanwhile.
        reconnecting_ = false;
        pause_.stop();
        attemptLimit_.stop();
        unwatch();
    }
    following_ = true;
    if (notifier_ && notifier_->socket() == socket && notifier_->type() == QSocketNotifier::Read) {
        return;
    }
    watch(socket, false, [this] { emit noticeArrived(); });
}

void ListFollower::watch(int socket, bool forWrite, const std::function<void()>& handler) {
    unwatch();
    notifier_ = new QSocketNotifier(
        socket, forWrite ? QSocketNotifier::Write : QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, handler);
}

void ListFollower::unwatch() {
    if (notifier_) {
        // The old notifier may be the one calling us.
        notifier_->setEnabled(false);
        notifier_->deleteLater();
        notifier_ = nullptr;
    }
}

void ListFollower::startReconnecting() {
    reconnecting_ = true;
    pauseMs_ = kFirstPauseMs;
    pause_.start(pauseMs_);
}

void ListFollower::step() {
    attemptLimit_.stop();
    unwatch();
    printlist::Store::ReconnectWait wait;
    try {
        wait = store_().reconnectStep();
    } catch (const printlist::DatabaseError&) {
        attemptFailed();
        return;
    }
    if (wait.socket >= 0) {
        watch(wait.socket, wait.forWrite, [this] { step(); });
        attemptLimit_.start(std::max(wait.ms, 0));
        return;
    }
    reconnecting_ = false;
    pauseMs_ = kFirstPauseMs;
    follow();
    emit reconnected();
}

void ListFollower::attemptFailed() {
    pauseMs_ = std::min(pauseMs_ * 2, kLongestPauseMs);
    pause_.start(pauseMs_);
}

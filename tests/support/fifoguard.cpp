#include "support/fifoguard.h"

#include <QFile>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

bool readBlockedOnFifo(const QString& path, const std::function<void()>& read) {
    const QByteArray native = QFile::encodeName(path);
    if (::mkfifo(native.constData(), 0600) != 0) {
        throw std::runtime_error("mkfifo failed");
    }
    std::mutex m;
    std::condition_variable cv;
    bool done = false;
    std::atomic<bool> blocked{false};
    std::thread watchdog([&] {
        std::unique_lock lock(m);
        if (cv.wait_for(lock, std::chrono::seconds(2), [&] { return done; })) {
            return;
        }
        blocked = true;
        // Feed and close until the reader is through: it may want more than one block.
        while (!cv.wait_for(lock, std::chrono::milliseconds(50), [&] { return done; })) {
            const int fd = ::open(native.constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) {
                static const char zeros[65536] = {};
                [[maybe_unused]] const ssize_t n = ::write(fd, zeros, sizeof zeros);
                ::close(fd);
            }
        }
    });
    try {
        read();
    } catch (...) {
        {
            std::lock_guard lock(m);
            done = true;
        }
        cv.notify_all();
        watchdog.join();
        throw;
    }
    {
        std::lock_guard lock(m);
        done = true;
    }
    cv.notify_all();
    watchdog.join();
    return blocked;
}

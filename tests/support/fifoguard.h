// Runs a read on a FIFO in a test. Should the read block, a writer attaches after two seconds
// and feeds it, so a fault shows as a failed expectation instead of a test that never ends.
#pragma once

#include <QString>
#include <functional>

// Creates a FIFO at `path`, runs `read` and returns true when it had to be unblocked.
bool readBlockedOnFifo(const QString& path, const std::function<void()>& read);

// Ctrl+C and the termination signals during a run. The first signal only asks the run to stop:
// the layout run stops before its next label and every output and temporary file goes away on
// the normal way out. A second signal removes the pending temporary file at once and ends the
// process. Either way the exit code is 128 + the signal's number (130 for Ctrl+C).
#pragma once

#include <QString>

namespace batch::interrupt {

// Installs the handlers for SIGINT, SIGTERM and SIGHUP.
void install();
// The signal received so far, or 0.
int received();
// The exit code for the signal received.
int exitCode();

// The one temporary file a second signal has to remove itself; empty: none.
void setPendingFile(const QString& path);
void clearPendingFile();

} // namespace batch::interrupt

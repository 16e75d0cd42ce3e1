// One run of dravelin-batch: read the print list and the layout settings, lay the list out with
// the label report onto the chosen surface, and put the result in place.
#pragma once

#include <QStringList>

namespace batch {

// Runs the command line `args` (without the program name) and returns the exit code. Help goes
// to standard output, a failure to standard error as one line.
int runBatch(const QStringList& args);

} // namespace batch

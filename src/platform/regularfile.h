// Reading only what is a regular file: a FIFO would block the window until someone writes to
// it, and a device such as /dev/zero never ends. Both are refused before a byte is read.
#pragma once

#include <QString>

namespace platform {

// Throws FileError unless `path` (symlinks followed) names a regular file: a missing file
// gives "File not found", a folder, FIFO, device or socket "Invalid filename".
void requireRegularFile(const QString& path);

// Opens `path` with the open(2) `flags` (O_CLOEXEC is added) without ever blocking on a FIFO,
// and returns the descriptor only when it is a regular file; the caller closes it. Throws
// FileError as requireRegularFile, or with the errno of a failed open.
int openRegularFile(const QString& path, int flags);

} // namespace platform

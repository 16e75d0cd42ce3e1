// The default error handler: every event handler runs inside guard(), and an error that no
// command catches is shown in a box titled with the program's name, with a full stop added.
// The program then goes on.
#pragma once

#include <QString>
#include <exception>
#include <functional>

namespace platform {

// "Read beyond end of file" becomes "Read beyond end of file."; a text already ending in a
// full stop stays as it is.
QString errorBoxText(const QString& text);
void reportError(const std::exception& e);
// Runs the handler; returns false when it failed (the error has then been shown).
bool guard(const std::function<void()>& handler);

} // namespace platform

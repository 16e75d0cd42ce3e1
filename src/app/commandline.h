// The command line of dravelin: --help, --version, and one prepared-pages file to open in the
// preview, as a desktop hands it over.
#pragma once

#include <QString>
#include <QStringList>

namespace app {

struct CommandLine {
    enum class Action { Run, Help, Version, Wrong };
    Action action = Action::Run;
    QString file;  // Run: a prepared-pages file to open, or empty
    QString error; // Wrong: what is wrong, one line
};

// `args` without the program's own name. --help wins over everything, then --version; "--"
// ends the options, so a file whose name starts with "-" can still be given.
CommandLine parseCommandLine(const QStringList& args);

// `args` without the options the application object takes for itself (-platform NAME,
// -style=NAME, -reverse, ...), so that the rest can be answered before there is a display.
QStringList withoutQtOptions(const QStringList& args);

QString helpText();

} // namespace app

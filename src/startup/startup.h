// What both programs do once their application object exists, so that the window and the batch
// tool see the same fonts and Qt's dialogs speak the interface's language; and the version both
// report.
#pragma once

#include <QString>
#include <QStringList>

namespace startup {

// The version of the build ("1.0").
QString version();
// The --version line of `program`: "dravelin 1.0".
QString versionLine(const QString& program);

// Registers every font file (.ttf, .otf, .woff, .woff2) in `dir` with the application; returns
// the families that became available. Files that cannot be loaded are reported as warnings.
QStringList registerFonts(const QString& dir);

// Loads Qt's own Czech texts (qtbase_cs) for the standard dialogs and buttons; false when the
// translation is not installed.
bool installQtTranslation();

// The start-up additions of both programs, after the application object is created: the fonts
// shipped in the program directory's fonts folder, the substitutes for the face names that
// stored settings carry, and, for the window, Qt's Czech texts. The batch tool shows no Qt
// dialog and words its one-line errors in English, so Qt's system error texts stay English
// there (`qtTranslation` false).
void startUp(bool qtTranslation = true);

} // namespace startup

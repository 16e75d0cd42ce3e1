// The program directory: where seznam.db, dravelin.ini and font live, whatever the working
// directory is.
#pragma once

#include <QString>

namespace platform {

// Directory of the program file, ending in "/".
QString programDirectory();
// Tests and the batch tool point the program directory elsewhere; an empty path restores the
// directory of the program file.
void setProgramDirectory(const QString& path);

// The program file's name without extension, first letter upper case and the rest lower case
// ("Dravelin"): the title of the default error handler's box.
QString programTitle();

} // namespace platform

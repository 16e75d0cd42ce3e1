// Qt's own dialogs keep state of theirs (the colour dialog's custom colours, the file dialog's
// history) in the user's QtProject.conf. The program keeps nothing outside its program
// directory, and custom colours live only for the run, so that state stays in memory.
#pragma once

namespace platform {

// Points Qt's user settings at a place where no file can ever be made: nothing is read from
// the user's configuration and nothing is written there, also when the program ends.
void keepQtSettingsInMemory();

} // namespace platform

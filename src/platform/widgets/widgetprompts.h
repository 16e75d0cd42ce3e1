// The real windows behind the prompts seam: message boxes and file dialogs, shown modally
// over the active window.
#pragma once

#include "platform/prompts.h"

namespace platform {

prompts::Answer runMessageBox(const prompts::Message& m);
// The chosen file's full name, or nothing when the user cancelled.
std::optional<QString> runFileDialog(const prompts::FileRequest& r);

// Qt's filter form ("Text (*.txt)") from the "Description|*.EXT|..." pairs used by the program.
QString qtFilter(const QString& pairs);

} // namespace platform

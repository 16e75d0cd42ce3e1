// The prompts backend of the running program: real message boxes and file dialogs.
#pragma once

#include "platform/prompts.h"

class QWidget;

namespace platform {

class WidgetPrompts : public prompts::Backend {
  public:
    prompts::Answer message(const prompts::Message& m) override;
    std::optional<QString> chooseFile(const prompts::FileRequest& r) override;
};

// Qt's filter form ("Text (*.txt)") from the "Description|*.EXT|..." pairs used by the program.
QString qtFilter(const QString& pairs);

} // namespace platform

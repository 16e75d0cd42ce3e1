#include "platform/errorhandler.h"

#include "platform/error.h"
#include "platform/programdir.h"
#include "platform/prompts.h"

namespace platform {

QString errorBoxText(const QString& text) {
    if (text.endsWith('.')) {
        return text;
    }
    return text + '.';
}

void reportError(const std::exception& e) {
    const auto* own = dynamic_cast<const Error*>(&e);
    const QString text = own ? own->text() : QString::fromLocal8Bit(e.what());
    prompts::message(
        {programTitle(), errorBoxText(text), prompts::Icon::Critical, prompts::Buttons::Ok});
}

bool guard(const std::function<void()>& handler) {
    try {
        handler();
        return true;
    } catch (const std::exception& e) {
        reportError(e);
        return false;
    }
}

} // namespace platform

#include "platform/colour.h"

#include <QGuiApplication>
#include <QPalette>

namespace platform {
namespace {

QColor systemColour(int index) {
    const QPalette palette = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                                 ? QGuiApplication::palette()
                                 : QPalette();
    switch (index) {
    case 5: // window background
        return palette.color(QPalette::Base);
    case 8: // window text
        return palette.color(QPalette::WindowText);
    case 15: // button face
        return palette.color(QPalette::Button);
    case 18: // button text
        return palette.color(QPalette::ButtonText);
    case 13: // highlight
        return palette.color(QPalette::Highlight);
    case 14: // highlighted text
        return palette.color(QPalette::HighlightedText);
    case 16: // grey text
        return palette.color(QPalette::Disabled, QPalette::Text);
    default:
        return palette.color(QPalette::WindowText);
    }
}

} // namespace

QColor toQColor(std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    if (value < 0) {
        return systemColour(int(bits & 0xFFu));
    }
    return QColor(int(bits & 0xFFu), int((bits >> 8) & 0xFFu), int((bits >> 16) & 0xFFu));
}

std::int32_t fromQColor(const QColor& colour) {
    const QColor c = colour.toRgb();
    return std::int32_t(std::uint32_t(c.red()) | (std::uint32_t(c.green()) << 8) |
                        (std::uint32_t(c.blue()) << 16));
}

} // namespace platform

// A slot font as the settings know it: face name (at most 31 characters), height (negative:
// character height in screen pixels), style bits and colour. Character set and pitch are not
// part of it.
#pragma once

#include "platform/colour.h"

#include <QString>
#include <cstdint>

namespace settings {

enum FontStyle : std::uint8_t {
    Bold = 1,
    Italic = 2,
    Underline = 4,
    StrikeOut = 8,
};

struct FontDescription {
    QString face = QStringLiteral("MS Sans Serif");
    std::int32_t height = -11;
    std::uint8_t style = 0;
    std::int32_t colour = platform::kWindowTextColour;

    static constexpr int kMaxFaceLength = 31;
    // Twice the font dialog's largest size: a letter taller than any sheet.
    static constexpr int kMaxPointSize = 1024;

    // A longer name keeps its first 31 characters; an empty name leaves the face as it was.
    void setFace(const QString& name);
    // The whole number of points nearest to -height x 72 / 96 (-11 gives 8), at most
    // kMaxPointSize, so a height from a file never reaches the font system beyond reason.
    int pointSize() const;

    bool operator==(const FontDescription&) const = default;
};

} // namespace settings

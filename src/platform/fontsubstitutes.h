// Windows face names that stored settings carry ("MS Sans Serif") mapped to installed faces of
// similar metrics, so texts keep about their designed width. The stored name is never changed.
#pragma once

namespace platform {

void installFontSubstitutes();

} // namespace platform

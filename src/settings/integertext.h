// The integer text syntax shared by the spin fields and dravelin.ini: optional leading blanks,
// an optional sign, then decimal digits or a hex prefix ($, x, X, 0x, 0X) and hex digits, and
// nothing after them. Decimal must fit 32 bits signed; hex is a 32-bit pattern.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace settings {

std::optional<std::int32_t> parseInteger(const QString& text);

} // namespace settings

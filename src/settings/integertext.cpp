#include "settings/integertext.h"

namespace settings {

std::optional<std::int32_t> parseInteger(const QString& text) {
    int i = 0;
    const int n = int(text.size());
    while (i < n && text[i] == ' ') {
        ++i;
    }
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    bool hex = false;
    if (i < n && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= n) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (; i < n; ++i) {
        const char16_t c = text[i].unicode();
        int digit = -1;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (hex && c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (hex && c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        }
        if (digit < 0) {
            return std::nullopt;
        }
        value = value * (hex ? 16 : 10) + std::uint64_t(digit);
        if (value > 0xFFFFFFFFull) {
            return std::nullopt;
        }
    }
    if (hex) {
        const auto pattern = static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
        // Negating the pattern wraps like the 32-bit arithmetic it stands for.
        return negative ? static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(pattern))
                        : pattern;
    }
    if (negative) {
        if (value > 2147483648ull) {
            return std::nullopt;
        }
        return static_cast<std::int32_t>(-static_cast<std::int64_t>(value));
    }
    if (value > 2147483647ull) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

} // namespace settings

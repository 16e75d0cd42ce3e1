// The standard papers by their codes 1 to 26, as printers' device settings and prepared-pages
// files number them, in 0.1 mm; and how near a printer's paper must come to be one of them.
// Every part of the program takes its paper sizes from here.
#pragma once

#include <optional>
#include <span>

namespace settings {

struct Paper {
    int code;
    const char* name;
    int width;  // 0.1 mm, portrait
    int length; // 0.1 mm
};

inline constexpr Paper kLetter{1, "Letter", 2159, 2794};
inline constexpr Paper kA4{9, "A4", 2100, 2970};

// A paper whose both sides come this close (0.1 mm, exclusive) is the paper of the table:
// printers give their sizes in whole points or under names of their own.
inline constexpr int kPaperTolerance = 10;

std::span<const Paper> paperTable();
// Code 0 and codes outside the table give nothing.
std::optional<Paper> paperByCode(int code);
// Whether `width` x `length` (0.1 mm, portrait) is `paper`, within the tolerance.
bool isPaper(const Paper& paper, double width, double length);

} // namespace settings

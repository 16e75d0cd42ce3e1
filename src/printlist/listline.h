// Splitting one line of a list file into its values: count the separators, cut the line at
// them, each value at most 255 characters.
#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

namespace printlist {

// The values of one line; each holds at most kMaxValueLength characters.
using LineValues = QStringList;

inline constexpr int kMaxValueLength = 255;

// How many characters of `text` equal `c`; 0 for an empty text.
int countOccurrences(const QString& text, QChar c);

// One element per value: k separators give k + 1 elements. A line without a separator gives
// one empty element. Otherwise the line loses the characters 0..32 at both ends, and each
// value is cut to its first 255 characters.
LineValues parsestring(QChar c, const QString& line);

// `text` without the characters of codes 0 to 32 at either end.
QString trimControl(const QString& text);

} // namespace printlist

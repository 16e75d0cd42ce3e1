// A list file as rows of the print list, read a line at a time: every line checked for its
// seven values, split and trimmed as an import does, so that the import into a store and
// dravelin-batch read list files by one set of rules. A file of any length takes the same
// memory.
#pragma once

#include "platform/error.h"
#include "printlist/listfilereader.h"
#include "printlist/rowcursor.h"

#include <QFile>
#include <QStringList>
#include <optional>

namespace printlist {

inline constexpr int kValuesPerLine = 7;

// Why a list file cannot be read as a print list.
class ListFileError : public platform::Error {
  public:
    enum class Fault {
        Unreadable, // cannot be opened or read; fileError() says why, or 0 for the device's text
        Empty,      // not one byte: line 1 with 1 value
        ValueCount, // line() holds values() values instead of seven
    };
    static ListFileError unreadable(const QString& why, int fileError = 0);
    static ListFileError empty();
    static ListFileError valueCount(qint64 line, int values);

    Fault fault() const { return fault_; }
    // The line from 1; 0 for an unreadable file.
    qint64 line() const { return line_; }
    int values() const { return values_; }
    // The platform::FileErrorCode of a file that could not be opened; 0 otherwise.
    int fileError() const { return fileError_; }

  private:
    ListFileError(Fault fault, const QString& text, qint64 line, int values, int fileError)
        : platform::Error(text), fault_(fault), line_(line), values_(values),
          fileError_(fileError) {}

    Fault fault_;
    qint64 line_;
    int values_;
    int fileError_;
};

class ListFileRows : public StreamedRows {
  public:
    // Opens the file, a regular file only, and reads it through once to check every line and
    // count the labels: blank lines at the very end are left out, a blank line before a label
    // is a fault. Throws ListFileError.
    explicit ListFileRows(const QString& path);

    int rowCount() const override { return rowCount_; }
    // Field 0 is "id", the line number a fresh table would give as key; then the seven values
    // in the file's order, kod before kods.
    int fieldIndex(const QString& name) const override;
    // Reads the file again from its start. Throws ListFileError when it changed since the check.
    void first() override;
    void next() override;

  private:
    ListFileError cannotRead() const;

    QFile file_;
    ListFileEncoding encoding_ = ListFileEncoding::Cp1250;
    std::optional<ListFileReader> reader_;
    int rowCount_ = 0;
};

} // namespace printlist

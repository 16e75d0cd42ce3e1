#include "printlist/listfilerows.h"

#include "platform/fileerror.h"
#include "platform/regularfile.h"
#include "printlist/listline.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <climits>

namespace printlist {
namespace {

const QChar kSeparator = QLatin1Char(';');

// The table's columns, in the file's order: kod before kods.
const QStringList& fieldNames() {
    static const QStringList names{QStringLiteral("id"),    QStringLiteral("kod"),
                                   QStringLiteral("kods"),  QStringLiteral("nazev"),
                                   QStringLiteral("cena"),  QStringLiteral("text1"),
                                   QStringLiteral("text2"), QStringLiteral("text3")};
    return names;
}

int valueCount(const QString& line) {
    return countOccurrences(line, kSeparator) + 1;
}

} // namespace

ListFileError ListFileError::unreadable(const QString& why, int fileError) {
    return {Fault::Unreadable, why, 0, 0, fileError};
}

ListFileError ListFileError::empty() {
    return {Fault::Empty, QStringLiteral("the list file is empty"), 1, 1, 0};
}

ListFileError ListFileError::valueCount(qint64 line, int values) {
    return {Fault::ValueCount,
            QStringLiteral("line %1 has %2 values instead of %3")
                .arg(line)
                .arg(values)
                .arg(kValuesPerLine),
            line, values, 0};
}

ListFileRows::ListFileRows(const QString& path) {
    int fd = -1;
    try {
        fd = platform::openRegularFile(path, O_RDONLY);
    } catch (const platform::FileError& e) {
        throw ListFileError::unreadable(e.text(), e.code());
    }
    if (!file_.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw cannotRead();
    }
    if (file_.size() == 0) {
        throw ListFileError::empty();
    }
    try {
        encoding_ = detectListFileEncoding(file_);
        ListFileReader reader(file_, encoding_);
        QString line;
        // Blank lines at the very end are left out; one with a line after it is a fault.
        qint64 firstBlank = 0;
        qint64 lastFilled = 0;
        while (reader.next(line)) {
            const int values = valueCount(line);
            if (values == 1 && trimControl(line).isEmpty()) {
                if (firstBlank == 0) {
                    firstBlank = reader.lineNumber();
                }
                continue;
            }
            if (firstBlank != 0) {
                throw ListFileError::valueCount(firstBlank, 1);
            }
            if (values != kValuesPerLine) {
                throw ListFileError::valueCount(reader.lineNumber(), values);
            }
            lastFilled = reader.lineNumber();
        }
        if (lastFilled == 0) {
            throw ListFileError::valueCount(1, 1);
        }
        rowCount_ = int(std::min<qint64>(lastFilled, INT_MAX));
    } catch (const ListFileError&) {
        throw;
    } catch (const platform::Error&) {
        throw cannotRead();
    }
}

int ListFileRows::fieldIndex(const QString& name) const {
    return indexOfField(fieldNames(), name);
}

void ListFileRows::first() {
    if (!file_.seek(0)) {
        throw cannotRead();
    }
    reader_.emplace(file_, encoding_);
    eof_ = false;
    next();
}

void ListFileRows::next() {
    if (eof_ || !reader_) {
        return;
    }
    // The blank lines after the last label were counted out by the check.
    if (reader_->lineNumber() >= rowCount_) {
        end();
        return;
    }
    QString line;
    bool more = false;
    try {
        more = reader_->next(line);
    } catch (const platform::Error&) {
        throw cannotRead();
    }
    if (!more) {
        end();
        return;
    }
    const int values = valueCount(line);
    if (values != kValuesPerLine) {
        throw ListFileError::valueCount(reader_->lineNumber(), values);
    }
    const LineValues parsed = parsestring(kSeparator, line);
    row_.clear();
    row_.append(QString::number(reader_->lineNumber()));
    for (const QString& v : parsed) {
        row_.append(trimControl(v));
    }
}

ListFileError ListFileRows::cannotRead() const {
    return ListFileError::unreadable(file_.errorString());
}

} // namespace printlist

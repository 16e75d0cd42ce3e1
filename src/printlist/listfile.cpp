#include "printlist/listfile.h"

#include "platform/codepage.h"
#include "platform/fileerror.h"
#include "platform/prompts.h"
#include "platform/regularfile.h"
#include "printlist/listfilereader.h"
#include "printlist/listline.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

namespace printlist {
namespace {

const QChar kSeparator = QLatin1Char(';');
constexpr int kValuesPerLine = 7;

// The Part of the box everybody knows, and on a second line where and what, when known.
void showImportFailure(const QString& detail) {
    prompts::Message box;
    box.title = QStringLiteral("chyba");
    box.text = QStringLiteral(
        "Nepodařilo se načíst seznam ze souboru, soubor zřejmě nemá správný formát.");
    if (!detail.isEmpty()) {
        box.text += QLatin1Char('\n') + detail;
    }
    box.icon = prompts::Icon::Critical;
    box.buttons = prompts::Buttons::Ok;
    prompts::message(box);
}

QString lineFault(size_t index, const QString& what) {
    return QStringLiteral("řádek %1: %2").arg(index + 1).arg(what);
}

// "1 hodnota místo 7", "3 hodnoty místo 7", "8 hodnot místo 7".
QString valueCountFault(int values) {
    const char* noun = values == 1 ? "hodnota" : values >= 2 && values <= 4 ? "hodnoty" : "hodnot";
    return QStringLiteral("%1 %2 místo %3")
        .arg(values)
        .arg(QLatin1String(noun))
        .arg(kValuesPerLine);
}

bool readWholeFile(const QString& path, QByteArray& bytes) {
    int fd = -1;
    try {
        fd = platform::openRegularFile(path, O_RDONLY);
    } catch (const platform::FileError&) {
        return false;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    bytes = file.readAll();
    return file.error() == QFileDevice::NoError;
}

// Deletes the old list and inserts the new one as one transaction, so a failure anywhere
// leaves the table as it was. Returns what went wrong, or nothing.
std::optional<QString> replaceList(Store& store, const std::vector<QString>& lines) {
    size_t next = 0;
    try {
        store.replaceAll([&](QStringList& values) {
            if (next == lines.size()) {
                return false;
            }
            values = parsestring(kSeparator, lines[next++]);
            for (QString& v : values) {
                v = trimControl(v);
            }
            return true;
        });
        return std::nullopt;
    } catch (const platform::Error& e) {
        try {
            store.reload();
        } catch (const platform::Error&) {
            // The view keeps what it showed; the table is unchanged.
        }
        // A store may insert many lines at once, so its refusal names no line: its own text.
        return e.text();
    }
}

} // namespace

QString completeListFileName(const QString& chosen) {
    if (chosen.contains(QLatin1String("csv"), Qt::CaseSensitive)) {
        return chosen;
    }
    return chosen + QStringLiteral(".csv");
}

QByteArray listFileBytes(const RowSet& view, ListFileEncoding encoding) {
    QString text;
    for (int row = 0; row < view.rowCount(); ++row) {
        for (int i = 1; i < view.fieldCount(); ++i) {
            if (i > 1) {
                text += kSeparator;
            }
            text += view.at(row, i);
        }
        text += QLatin1String("\r\n");
    }
    if (encoding == ListFileEncoding::Cp1250) {
        return platform::toCp1250(text);
    }
    // Ctrl-Z would end the file for the reader in UTF-8 too.
    text.replace(QChar(0x1A), QLatin1Char('?'));
    return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
}

bool listFitsCp1250(const RowSet& view) {
    for (int row = 0; row < view.rowCount(); ++row) {
        for (int i = 1; i < view.fieldCount(); ++i) {
            if (!platform::fitsCp1250(view.at(row, i))) {
                return false;
            }
        }
    }
    return true;
}

void exportList(RowSet& view, const QString& path, ListFileEncoding encoding) {
    view.first();
    platform::writeFileAtomic(path, listFileBytes(view, encoding));
}

void askAndExportList(RowSet& view, const QString& path) {
    ListFileEncoding encoding = ListFileEncoding::Cp1250;
    if (!listFitsCp1250(view)) {
        prompts::Message box;
        box.title = QStringLiteral("uložit seznam");
        box.text = QStringLiteral(
            "Seznam obsahuje znaky, které kódování Windows-1250 nemá. Uložit soubor v UTF-8?");
        box.icon = prompts::Icon::Question;
        box.buttons = prompts::Buttons::YesNo;
        if (prompts::message(box) == prompts::Answer::Yes) {
            encoding = ListFileEncoding::Utf8WithMark;
        }
    }
    exportList(view, path, encoding);
}

std::vector<QString> listFileLines(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    ListFileReader reader(buffer, detectListFileEncoding(bytes));
    std::vector<QString> lines;
    QString line;
    while (reader.next(line)) {
        lines.push_back(std::move(line));
    }
    // Editors leave blank lines at the end; a file of nothing but blank lines keeps its first,
    // which then fails as an empty file does.
    while (lines.size() > 1 && trimControl(lines.back()).isEmpty()) {
        lines.pop_back();
    }
    return lines;
}

namespace {

// Reads and checks the whole file, then replaces the list; the file's texts are dropped
// before the list view is reloaded. Returns what went wrong (empty when the file could not
// be read at all), or nothing.
std::optional<QString> readAndReplace(Store& store, const QString& path) {
    QByteArray bytes;
    if (!readWholeFile(path, bytes)) {
        return QString();
    }
    const std::vector<QString> lines = listFileLines(bytes);
    bytes.clear();
    for (size_t i = 0; i < lines.size(); ++i) {
        const int values = countOccurrences(lines[i], kSeparator) + 1;
        if (values != kValuesPerLine) {
            return lineFault(i, valueCountFault(values));
        }
    }
    return replaceList(store, lines);
}

} // namespace

ImportResult importList(Store& store, const QString& path) {
    if (!QFileInfo::exists(path)) {
        return ImportResult::NoFile;
    }
    if (const auto fault = readAndReplace(store, path)) {
        showImportFailure(*fault);
        return ImportResult::Failed;
    }
    try {
        store.compact();
    } catch (const platform::Error&) {
        // The new list is committed; only the compaction failed.
        try {
            store.reload();
        } catch (const platform::Error&) {
        }
        throw;
    }
    store.reload();
    return ImportResult::Imported;
}

} // namespace printlist

#include "printlist/listfile.h"

#include "platform/codepage.h"
#include "platform/fileerror.h"
#include "platform/prompts.h"
#include "printlist/listfilereader.h"
#include "printlist/listfilerows.h"
#include "printlist/listline.h"

#include <QBuffer>
#include <QFileInfo>

namespace printlist {
namespace {

const QChar kSeparator = QLatin1Char(';');

// The view shows the table as it is after a failed command; a reload that fails as well keeps
// what the view showed, and the command's own fault is the one reported.
void reloadQuietly(Store& store) {
    try {
        store.reload();
    } catch (const platform::Error&) {
    }
}

// Deletes the old list and inserts the file's rows as one transaction, so a failure anywhere
// leaves the table as it was.
void replaceList(Store& store, ListFileRows& rows) {
    rows.first();
    try {
        store.replaceAll([&](QStringList& values) {
            if (rows.eof()) {
                return false;
            }
            values.clear();
            for (int i = 1; i <= kValuesPerLine; ++i) {
                values.append(rows.field(i));
            }
            rows.next();
            return true;
        });
    } catch (const ListFileError&) {
        reloadQuietly(store);
        throw;
    } catch (const platform::Error& e) {
        reloadQuietly(store);
        throw ImportRefused(e.text());
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

ImportResult importList(Store& store, const QString& path) {
    if (!QFileInfo::exists(path)) {
        return ImportResult::NoFile;
    }
    ListFileRows rows(path);
    replaceList(store, rows);
    try {
        store.compact();
    } catch (const platform::Error&) {
        // The new list is committed; only the compaction failed.
        reloadQuietly(store);
        throw;
    }
    store.reload();
    return ImportResult::Imported;
}

} // namespace printlist

#include "printlist/listfile.h"

#include "platform/codepage.h"
#include "platform/fileerror.h"
#include "platform/prompts.h"
#include "printlist/fce_import_so.h"

#include <QFile>
#include <QFileInfo>

namespace printlist {
namespace {

constexpr char kCtrlZ = 26;
const QChar kSeparator = QLatin1Char(';');
constexpr int kValuesPerLine = 7;

void showImportFailure() {
    prompts::Message box;
    box.title = QStringLiteral("chyba");
    box.text = QStringLiteral(
        "Nepodařilo se načíst seznam ze souboru, soubor zřejmě nemá správný formát.");
    box.icon = prompts::Icon::Critical;
    box.buttons = prompts::Buttons::Ok;
    prompts::message(box);
}

bool readWholeFile(const QString& path, QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    bytes = file.readAll();
    return file.error() == QFileDevice::NoError;
}

// Deletes the old list and inserts the new one as one transaction, so a failure anywhere
// leaves the table as it was.
bool replaceList(Store& store, const std::vector<QString>& lines) {
    try {
        size_t next = 0;
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
        return true;
    } catch (const platform::Error&) {
        try {
            store.reload();
        } catch (const platform::Error&) {
            // The view keeps what it showed; the table is unchanged.
        }
        return false;
    }
}

} // namespace

QString completeListFileName(const QString& chosen) {
    if (chosen.contains(QLatin1String("csv"), Qt::CaseSensitive)) {
        return chosen;
    }
    return chosen + QStringLiteral(".csv");
}

QByteArray listFileBytes(const RowSet& view) {
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
    return platform::toCp1250(text);
}

void exportList(RowSet& view, const QString& path) {
    view.first();
    platform::writeFileAtomic(path, listFileBytes(view));
}

std::vector<QString> listFileLines(const QByteArray& bytes) {
    const qsizetype eof = bytes.indexOf(kCtrlZ);
    const QString text = platform::fromCp1250(eof < 0 ? bytes : bytes.left(eof));
    std::vector<QString> lines;
    qsizetype pos = 0;
    do {
        const qsizetype lf = text.indexOf(QLatin1Char('\n'), pos);
        const qsizetype end = lf < 0 ? text.size() : lf;
        QString line = text.mid(pos, end - pos);
        line.remove(QLatin1Char('\r'));
        lines.push_back(std::move(line));
        pos = lf < 0 ? text.size() : lf + 1;
    } while (pos < text.size());
    return lines;
}

namespace {

// Reads and checks the whole file, then replaces the list; the file's texts are dropped
// before the list view is reloaded.
bool readAndReplace(Store& store, const QString& path) {
    QByteArray bytes;
    if (!readWholeFile(path, bytes)) {
        return false;
    }
    const std::vector<QString> lines = listFileLines(bytes);
    bytes.clear();
    for (const QString& line : lines) {
        if (countchar(line, kSeparator) != kValuesPerLine - 1) {
            return false;
        }
    }
    return replaceList(store, lines);
}

} // namespace

ImportResult importList(Store& store, const QString& path) {
    if (!QFileInfo::exists(path)) {
        return ImportResult::NoFile;
    }
    if (!readAndReplace(store, path)) {
        showImportFailure();
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

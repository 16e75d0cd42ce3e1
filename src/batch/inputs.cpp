#include "batch/inputs.h"

#include "batch/batcherror.h"
#include "platform/fileerror.h"
#include "platform/profile.h"
#include "printlist/database.h"
#include "printlist/pgstore.h"
#include "printlist/fce_import_so.h"
#include "printlist/listfile.h"
#include "settings/fontfile.h"
#include "settings/settingsfile.h"
#include "settings/sheetstore.h"
#include "settings/snapshot.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace batch {
namespace {

constexpr int kValuesPerLine = 7;

BatchError fileError(const QString& path, const QString& what) {
    return BatchError(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), what));
}

void requireFile(const QString& path, const QString& kind) {
    const QFileInfo info(path);
    if (!info.exists()) {
        throw fileError(path, QStringLiteral("no such %1").arg(kind));
    }
    if (info.isDir()) {
        throw fileError(path, QStringLiteral("is a folder, not a %1").arg(kind));
    }
}

QString lower(const QString& fileErrorText) {
    return fileErrorText.left(1).toLower() + fileErrorText.mid(1);
}

} // namespace

printlist::RowSet readListFile(const QString& path) {
    requireFile(path, QStringLiteral("list file"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw fileError(path, QStringLiteral("cannot be read: %1").arg(file.errorString()));
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        throw fileError(path, QStringLiteral("cannot be read: %1").arg(file.errorString()));
    }
    file.close();
    if (bytes.isEmpty()) {
        throw fileError(path, QStringLiteral("the list file is empty"));
    }
    std::vector<QString> lines = printlist::listFileLines(bytes);
    bytes = QByteArray();

    // The values go through the same split and trim as an import into the database.
    const QChar separator = QLatin1Char(';');
    std::vector<QStringList> rows;
    rows.reserve(lines.size());
    for (size_t n = 0; n < lines.size(); ++n) {
        const int values = printlist::countchar(lines[n], separator) + 1;
        if (values != kValuesPerLine) {
            throw fileError(path, QStringLiteral("line %1 has %2 value%3, a label needs 7 "
                                                 "separated by \";\"")
                                      .arg(n + 1)
                                      .arg(values)
                                      .arg(values == 1 ? QString() : QStringLiteral("s")));
        }
        printlist::Tparsedstring parsed = printlist::parsestring(separator, lines[n]);
        QStringList row;
        row.reserve(kValuesPerLine + 1);
        row.append(QString::number(n + 1)); // the id a fresh table would give the row
        for (const QString& v : parsed) {
            row.append(printlist::trimControl(v));
        }
        rows.push_back(std::move(row));
        lines[n] = QString();
    }
    // The table's columns, in the file's order: kod before kods.
    const QStringList names{QStringLiteral("id"),    QStringLiteral("kod"),
                            QStringLiteral("kods"),  QStringLiteral("nazev"),
                            QStringLiteral("cena"),  QStringLiteral("text1"),
                            QStringLiteral("text2"), QStringLiteral("text3")};
    return printlist::RowSet(names, std::move(rows));
}

printlist::RowSet readDatabase(const QString& path) {
    requireFile(path, QStringLiteral("database"));
    printlist::SqliteStore sqlite;
    printlist::Store& store = sqlite;
    try {
        sqlite.connect(path);
        store.reload();
    } catch (const platform::Error& e) {
        throw fileError(path, QStringLiteral("not a usable print-list database: %1").arg(e.text()));
    }
    return store.listView();
}

printlist::RowSet readServer(const QString& conninfo) {
    printlist::PgStore server(conninfo);
    printlist::Store& store = server;
    try {
        store.open();
    } catch (const platform::Error& e) {
        throw BatchError(QStringLiteral("print-list server \"%1\": %2")
                             .arg(printlist::PgStore::shownConninfo(conninfo), e.text()));
    }
    return store.listView();
}

settings::LayoutSettings readSettingsFolder(const QString& dir) {
    const QFileInfo info(dir);
    if (!info.exists()) {
        throw fileError(dir, QStringLiteral("no such settings folder"));
    }
    if (!info.isDir()) {
        throw fileError(dir, QStringLiteral("is not a folder (--settings wants the folder that "
                                            "holds dravelin.ini and font)"));
    }
    const QDir folder(dir);
    const platform::Profile ini(folder.filePath(QString::fromLatin1(settings::kSettingsFileName)));
    settings::LayoutSettings layout = settings::readSetup(ini, settings::LayoutSettings{});
    layout.sheet = settings::readArch(ini, layout.sheet);

    const QString fontPath = folder.filePath(QString::fromLatin1(settings::kFontFileName));
    if (QFileInfo::exists(fontPath)) {
        settings::SlotFonts fonts;
        for (int i = 0; i < settings::SlotCount; ++i) {
            fonts[size_t(i)] = layout.lines[size_t(i)].font;
        }
        try {
            fonts = settings::readFontFile(fontPath, fonts);
        } catch (const platform::FileError& e) {
            QString what = lower(e.text());
            if (e.code() == platform::ReadBeyondEnd) {
                what = QStringLiteral("short font file (%1 bytes, it needs %2)")
                           .arg(QFileInfo(fontPath).size())
                           .arg(settings::kFontFileSize);
            }
            throw fileError(fontPath, what);
        }
        for (int i = 0; i < settings::SlotCount; ++i) {
            layout.lines[size_t(i)].font = fonts[size_t(i)];
        }
    }
    return layout;
}

settings::LayoutSettings readSnapshot(const QString& path) {
    requireFile(path, QStringLiteral("snapshot"));
    QByteArray record;
    try {
        record = platform::readRecordFile(path, settings::kSnapshotSize);
    } catch (const platform::FileError& e) {
        if (e.code() == platform::ReadBeyondEnd) {
            throw fileError(path, QStringLiteral("short snapshot (%1 bytes, a snapshot has %2)")
                                      .arg(QFileInfo(path).size())
                                      .arg(settings::kSnapshotSize));
        }
        if (e.code() == platform::FileAccessDenied) {
            throw fileError(path, QStringLiteral("file access denied (a snapshot is opened for "
                                                 "reading and writing, as the program does)"));
        }
        throw fileError(path, lower(e.text()));
    }
    settings::LayoutSettings layout;
    settings::decodeSnapshot(record, layout);
    if (const auto sheet = settings::readSnapshotSheet(path)) {
        layout.sheet = *sheet;
    }
    return layout;
}

} // namespace batch

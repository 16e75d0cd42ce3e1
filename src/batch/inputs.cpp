#include "batch/inputs.h"

#include "batch/batcherror.h"
#include "platform/fileerror.h"
#include "platform/profile.h"
#include "printlist/listfilerows.h"
#include "printlist/openstore.h"
#include "printlist/storerows.h"
#include "settings/fontfile.h"
#include "settings/settingsfile.h"
#include "settings/sheetstore.h"
#include "settings/snapshot.h"

#include <QDir>
#include <QFileInfo>

namespace batch {
namespace {

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

// What a refused input is, in words: "Invalid filename" alone would not say why.
QString notRegular(const QString& path, int fileError, const QString& text) {
    if (fileError == platform::InvalidFilename && QFileInfo::exists(path)) {
        return QStringLiteral("not a regular file");
    }
    return lower(text);
}

// The English line for a list file the core's reader refused.
BatchError listFileFault(const QString& path, const printlist::ListFileError& e) {
    using Fault = printlist::ListFileError::Fault;
    switch (e.fault()) {
    case Fault::Unreadable:
        return fileError(
            path,
            QStringLiteral("cannot be read: %1")
                .arg(e.fileError() != 0 ? notRegular(path, e.fileError(), e.text()) : e.text()));
    case Fault::Empty:
        return fileError(path, QStringLiteral("the list file is empty"));
    case Fault::ValueCount:
        break;
    }
    return fileError(path, QStringLiteral("line %1 has %2 value%3, a label needs 7 "
                                          "separated by \";\"")
                               .arg(e.line())
                               .arg(e.values())
                               .arg(e.values() == 1 ? QString() : QStringLiteral("s")));
}

// The list file's rows, with a fault met later in the run (the file changed under it) worded
// as the check's.
class WordedListFileRows : public printlist::RowCursor {
  public:
    explicit WordedListFileRows(const QString& path) : path_(path), rows_(open(path)) {}

    int rowCount() const override { return rows_.rowCount(); }
    int fieldIndex(const QString& name) const override { return rows_.fieldIndex(name); }
    void first() override {
        worded([this] { rows_.first(); });
    }
    void next() override {
        worded([this] { rows_.next(); });
    }
    bool eof() const override { return rows_.eof(); }
    QString field(int i) const override { return rows_.field(i); }

  private:
    static printlist::ListFileRows open(const QString& path) {
        try {
            return printlist::ListFileRows(path);
        } catch (const printlist::ListFileError& e) {
            throw listFileFault(path, e);
        }
    }
    template <typename Step> void worded(Step step) {
        try {
            step();
        } catch (const printlist::ListFileError& e) {
            throw listFileFault(path_, e);
        }
    }

    QString path_;
    printlist::ListFileRows rows_;
};

} // namespace

std::unique_ptr<printlist::RowCursor> readListFile(const QString& path) {
    requireFile(path, QStringLiteral("list file"));
    return std::make_unique<WordedListFileRows>(path);
}

std::unique_ptr<printlist::RowCursor> readDatabase(const QString& path) {
    requireFile(path, QStringLiteral("database"));
    auto store = printlist::makeStore(QString(), path);
    try {
        store->connect();
        return std::make_unique<printlist::StoreRows>(std::move(store));
    } catch (const platform::Error& e) {
        throw fileError(path, QStringLiteral("not a usable print-list database: %1").arg(e.text()));
    }
}

std::unique_ptr<printlist::RowCursor> readServer(const QString& conninfo) {
    auto store = printlist::makeStore(conninfo, QString());
    try {
        store->connect();
        return std::make_unique<printlist::StoreRows>(std::move(store));
    } catch (const platform::Error& e) {
        throw BatchError(QStringLiteral("print-list server \"%1\": %2")
                             .arg(printlist::shownServer(conninfo), e.text()));
    }
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
            QString what = notRegular(fontPath, e.code(), e.text());
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
    try {
        return settings::loadSnapshotFile(path, settings::LayoutSettings{});
    } catch (const settings::SnapshotError& e) {
        using Fault = settings::SnapshotError::Fault;
        switch (e.fault()) {
        case Fault::Short:
            throw fileError(path, QStringLiteral("short snapshot (%1 bytes, a snapshot has %2)")
                                      .arg(QFileInfo(path).size())
                                      .arg(settings::kSnapshotSize));
        case Fault::NotSnapshot:
            throw fileError(path, QStringLiteral("not a settings snapshot (a switch or font in it "
                                                 "is none the program could have saved)"));
        case Fault::DamagedTrailer:
            throw fileError(path, QStringLiteral("not a settings snapshot (the sheet description "
                                                 "after the settings is damaged)"));
        case Fault::Unreadable:
            break;
        }
        if (e.fileError() == platform::FileAccessDenied) {
            throw fileError(path, QStringLiteral("file access denied (a snapshot is opened for "
                                                 "reading and writing, as the program does)"));
        }
        if (e.fileError() == platform::InvalidFilename) {
            throw fileError(path, notRegular(path, e.fileError(), e.text()));
        }
        throw fileError(path, lower(e.text()));
    }
}

} // namespace batch

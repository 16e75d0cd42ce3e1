#include "batch/inputs.h"

#include "batch/batcherror.h"
#include "platform/fileerror.h"
#include "platform/profile.h"
#include "printlist/listfilerows.h"
#include "printlist/openstore.h"
#include "printlist/savedmappings.h"
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

printlist::PriceListMapping importMapping(const Options& o, const QString& ini) {
    printlist::PriceListMapping mapping;
    if (!o.mapping.isEmpty()) {
        std::optional<printlist::PriceListMapping> saved;
        try {
            saved = printlist::savedMapping(platform::Profile(ini), o.mapping);
        } catch (const platform::Error& e) {
            throw fileError(
                ini,
                QStringLiteral("the mapping \"%1\" cannot be read: %2").arg(o.mapping, e.text()));
        }
        if (!saved) {
            const QStringList names = printlist::savedMappingNames(platform::Profile(ini));
            throw BatchError(QStringLiteral("--mapping %1: no such mapping in %2 (saved: %3)")
                                 .arg(o.mapping, QDir::toNativeSeparators(ini),
                                      names.isEmpty() ? QStringLiteral("none")
                                                      : names.join(QStringLiteral(", "))),
                             UsageFailure);
        }
        mapping = *saved;
    }
    for (const auto& [option, value] : o.mapItems) {
        try {
            printlist::applyMappingOption(mapping, option, value);
        } catch (const platform::Error& e) {
            throw BatchError(e.text() + QStringLiteral(" (see dravelin-batch --help)"),
                             UsageFailure);
        }
    }
    return mapping;
}

std::unique_ptr<printlist::PriceListRows> readPriceList(const QString& path,
                                                        const printlist::PriceListMapping& mapping,
                                                        const QString& specznak) {
    requireFile(path, QStringLiteral("price list"));
    try {
        return std::make_unique<printlist::PriceListRows>(path, mapping, specznak);
    } catch (const printlist::PriceListError& e) {
        using Fault = printlist::PriceListError::Fault;
        if (e.fault() == Fault::NoColumn) {
            throw fileError(path, e.text());
        }
        throw BatchError(e.text());
    } catch (const printlist::PriceListRowsError& e) {
        QStringList lines;
        lines << fileError(path, QStringLiteral("%1 %2 cannot become labels; nothing was taken")
                                     .arg(e.total())
                                     .arg(e.total() == 1 ? QStringLiteral("row")
                                                         : QStringLiteral("rows")))
                     .text();
        for (const printlist::RowFault& f : e.faults()) {
            lines << QStringLiteral("  ") + printlist::describeFault(f);
        }
        if (e.total() > qint64(e.faults().size())) {
            lines << QStringLiteral("  and %1 more").arg(e.total() - qint64(e.faults().size()));
        }
        throw BatchError(lines.join(QLatin1Char('\n')));
    }
}

BatchError describe(const labelprint::RequestFault& f, const QString& usedText) {
    using Kind = labelprint::RequestFault::Kind;
    switch (f.kind()) {
    case Kind::NoSettingsFolder:
        return fileError(f.path(), QStringLiteral("no such settings folder"));
    case Kind::NotAFolder:
        return fileError(f.path(), QStringLiteral("is not a folder (--settings wants the folder "
                                                  "that holds dravelin.ini and font)"));
    case Kind::FontFile:
        if (f.fileError() == platform::ReadBeyondEnd) {
            return fileError(f.path(), QStringLiteral("short font file (%1 bytes, it needs %2)")
                                           .arg(QFileInfo(f.path()).size())
                                           .arg(settings::kFontFileSize));
        }
        return fileError(
            f.path(), notRegular(f.path(), f.fileError(), platform::fileErrorText(f.fileError())));
    case Kind::SheetUnprintable:
        return BatchError(QStringLiteral("the label sheet cannot be printed: %1").arg(f.reason()));
    case Kind::NoFreePosition:
        return BatchError(
            QStringLiteral("--used %1: no position of the first sheet is left free").arg(usedText),
            UsageFailure);
    case Kind::StartPastSheet:
        return BatchError(QStringLiteral("--skip %1: a page holds only %2 labels")
                              .arg(f.start() - 1)
                              .arg(f.perPage()),
                          UsageFailure);
    }
    return BatchError(f.text());
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

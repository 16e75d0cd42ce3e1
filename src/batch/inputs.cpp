#include "batch/inputs.h"

#include "batch/batcherror.h"
#include "platform/fileerror.h"
#include "platform/profile.h"
#include "platform/regularfile.h"
#include "printlist/database.h"
#include "printlist/listfile.h"
#include "printlist/listfilereader.h"
#include "printlist/listline.h"
#include "printlist/pgstore.h"
#include "settings/fontfile.h"
#include "settings/settingsfile.h"
#include "settings/sheetstore.h"
#include "settings/snapshot.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <optional>

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

// What a refused input is, in words: "Invalid filename" alone would not say why.
QString notRegular(const QString& path, const platform::FileError& e) {
    if (e.code() == platform::InvalidFilename && QFileInfo::exists(path)) {
        return QStringLiteral("not a regular file");
    }
    return lower(e.text());
}

} // namespace

namespace {

BatchError badLine(const QString& path, qint64 line, int values) {
    return fileError(path, QStringLiteral("line %1 has %2 value%3, a label needs 7 "
                                          "separated by \";\"")
                               .arg(line)
                               .arg(values)
                               .arg(values == 1 ? QString() : QStringLiteral("s")));
}

// A list file read a line at a time. The constructor reads it through once to check every line
// and count them; the run then reads it again, keeping only the current row.
class ListFileRows : public printlist::RowCursor {
  public:
    explicit ListFileRows(const QString& path) : path_(path) {
        int fd = -1;
        try {
            fd = platform::openRegularFile(path, O_RDONLY);
        } catch (const platform::FileError& e) {
            throw fileError(path, QStringLiteral("cannot be read: %1").arg(notRegular(path, e)));
        }
        if (!file_.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
            ::close(fd);
            throw cannotRead();
        }
        if (file_.size() == 0) {
            throw fileError(path_, QStringLiteral("the list file is empty"));
        }
        try {
            encoding_ = printlist::detectListFileEncoding(file_);
            printlist::ListFileReader reader(file_, encoding_);
            QString line;
            // Blank lines at the very end are left out; one with a line after it is a fault.
            qint64 firstBlank = 0;
            qint64 lastFilled = 0;
            while (reader.next(line)) {
                const int values = printlist::countOccurrences(line, kSeparator) + 1;
                if (values == 1 && printlist::trimControl(line).isEmpty()) {
                    if (firstBlank == 0) {
                        firstBlank = reader.lineNumber();
                    }
                    continue;
                }
                if (firstBlank != 0) {
                    throw badLine(path_, firstBlank, 1);
                }
                if (values != kValuesPerLine) {
                    throw badLine(path_, reader.lineNumber(), values);
                }
                lastFilled = reader.lineNumber();
            }
            if (lastFilled == 0) {
                throw badLine(path_, 1, 1);
            }
            rowCount_ = int(std::min<qint64>(lastFilled, INT_MAX));
        } catch (const BatchError&) {
            throw;
        } catch (const platform::Error&) {
            throw cannotRead();
        }
    }

    int rowCount() const override { return rowCount_; }
    int fieldIndex(const QString& name) const override {
        for (int i = 0; i < kNames.size(); ++i) {
            if (kNames[i].compare(name, Qt::CaseInsensitive) == 0) {
                return i;
            }
        }
        return -1;
    }
    void first() override {
        if (!file_.seek(0)) {
            throw cannotRead();
        }
        reader_.emplace(file_, encoding_);
        eof_ = false;
        next();
    }
    void next() override {
        if (eof_ || !reader_) {
            return;
        }
        // The blank lines after the last label were counted out before the run.
        if (reader_->lineNumber() >= rowCount_) {
            eof_ = true;
            row_.clear();
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
            eof_ = true;
            row_.clear();
            return;
        }
        const int values = printlist::countOccurrences(line, kSeparator) + 1;
        if (values != kValuesPerLine) {
            throw badLine(path_, reader_->lineNumber(), values);
        }
        // The values go through the same split and trim as an import into the database.
        const printlist::LineValues parsed = printlist::parsestring(kSeparator, line);
        row_.clear();
        row_.append(QString::number(reader_->lineNumber())); // the id a fresh table would give
        for (const QString& v : parsed) {
            row_.append(printlist::trimControl(v));
        }
    }
    bool eof() const override { return eof_; }
    QString field(int i) const override {
        return eof_ || i < 0 || i >= row_.size() ? QString() : row_[i];
    }

  private:
    BatchError cannotRead() const {
        return fileError(path_, QStringLiteral("cannot be read: %1").arg(file_.errorString()));
    }

    // The table's columns, in the file's order: kod before kods.
    inline static const QStringList kNames{QStringLiteral("id"),    QStringLiteral("kod"),
                                           QStringLiteral("kods"),  QStringLiteral("nazev"),
                                           QStringLiteral("cena"),  QStringLiteral("text1"),
                                           QStringLiteral("text2"), QStringLiteral("text3")};
    inline static const QChar kSeparator = QLatin1Char(';');

    QString path_;
    QFile file_;
    printlist::ListFileEncoding encoding_ = printlist::ListFileEncoding::Cp1250;
    std::optional<printlist::ListFileReader> reader_;
    int rowCount_ = 0;
    bool eof_ = true;
    QStringList row_;
};

// The rows of a print-list store, taken one at a time from its row stream. The constructor
// goes through the stream once to count the rows for the progress; the run then reads a fresh
// stream, holding only the current row.
class StoreRows : public printlist::RowCursor {
  public:
    explicit StoreRows(std::unique_ptr<printlist::Store> store) : store_(std::move(store)) {
        auto stream = store_->openRows();
        names_ = stream->fieldNames();
        long long count = 0;
        QStringList row;
        while (stream->next(row)) {
            ++count;
        }
        rowCount_ = int(std::min<long long>(count, INT_MAX));
    }
    int rowCount() const override { return rowCount_; }
    int fieldIndex(const QString& name) const override {
        for (int i = 0; i < names_.size(); ++i) {
            if (names_[i].compare(name, Qt::CaseInsensitive) == 0) {
                return i;
            }
        }
        return -1;
    }
    void first() override {
        stream_.reset(); // the store serves one stream at a time
        stream_ = store_->openRows();
        eof_ = false;
        next();
    }
    void next() override {
        if (eof_ || !stream_) {
            return;
        }
        if (!stream_->next(row_)) {
            eof_ = true;
            row_.clear();
            stream_.reset();
        }
    }
    bool eof() const override { return eof_; }
    QString field(int i) const override {
        return eof_ || i < 0 || i >= row_.size() ? QString() : row_[i];
    }

  private:
    std::unique_ptr<printlist::Store> store_;
    std::unique_ptr<printlist::RowStream> stream_;
    QStringList names_;
    QStringList row_;
    int rowCount_ = 0;
    bool eof_ = true;
};

} // namespace

std::unique_ptr<printlist::RowCursor> readListFile(const QString& path) {
    requireFile(path, QStringLiteral("list file"));
    return std::make_unique<ListFileRows>(path);
}

std::unique_ptr<printlist::RowCursor> readDatabase(const QString& path) {
    requireFile(path, QStringLiteral("database"));
    auto sqlite = std::make_unique<printlist::SqliteStore>();
    try {
        sqlite->connect(path);
        return std::make_unique<StoreRows>(std::move(sqlite));
    } catch (const platform::Error& e) {
        throw fileError(path, QStringLiteral("not a usable print-list database: %1").arg(e.text()));
    }
}

std::unique_ptr<printlist::RowCursor> readServer(const QString& conninfo) {
    auto server = std::make_unique<printlist::PgStore>(conninfo);
    try {
        server->connect();
        return std::make_unique<StoreRows>(std::move(server));
    } catch (const platform::Error& e) {
        throw BatchError(QStringLiteral("print-list server \"%1\": %2")
                             .arg(printlist::PgStore::shownConninfo(conninfo), e.text()));
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
        return fileError(f.path(), notRegular(f.path(), platform::FileError(f.fileError())));
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
    QByteArray record;
    try {
        record = platform::readRecordFile(path, settings::kSnapshotSize);
    } catch (const platform::FileError& e) {
        if (e.code() == platform::ReadBeyondEnd) {
            throw fileError(path, QStringLiteral("short snapshot (%1 bytes, a snapshot has %2)")
                                      .arg(QFileInfo(path).size())
                                      .arg(settings::kSnapshotSize));
        }
        if (e.code() == platform::InvalidFilename) {
            throw fileError(path, notRegular(path, e));
        }
        if (e.code() == platform::FileAccessDenied) {
            throw fileError(path, QStringLiteral("file access denied (a snapshot is opened for "
                                                 "reading and writing, as the program does)"));
        }
        throw fileError(path, lower(e.text()));
    }
    if (!settings::isSnapshotRecord(record)) {
        throw fileError(path, QStringLiteral("not a settings snapshot (a switch, colour or font "
                                             "in it is none the program could have saved)"));
    }
    settings::LayoutSettings layout;
    settings::decodeSnapshot(record, layout);
    if (const auto sheet = settings::readSnapshotSheet(path)) {
        layout.sheet = *sheet;
    }
    return layout;
}

} // namespace batch

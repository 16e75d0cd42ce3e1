#include "printlist/tablesource.h"

#include "platform/codepage.h"
#include "printlist/listfilereader.h"
#include "printlist/spreadsheets.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <array>
#include <map>

namespace printlist {
namespace {

constexpr char kCtrlZ = 26;
constexpr qint64 kChunk = 64 * 1024;

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

PriceListError unreadable(const QString& path, const QString& why) {
    return PriceListError(PriceListError::Fault::Unreadable,
                          QStringLiteral("%1: cannot be read: %2").arg(shown(path), why), why);
}

// RFC 4180 with the leniency of real files: a quote inside an unquoted field is kept, text
// after a closing quote joins the field.
class CsvTable : public TableSource {
  public:
    CsvTable(QChar delimiter, std::function<bool(QString&)> refill)
        : delimiter_(delimiter), refill_(std::move(refill)) {}

    qint64 line() const override { return line_; }

    bool next(QStringList& cells) override {
        cells.clear();
        if (!more()) {
            return false;
        }
        line_ = nextLine_;
        QString field;
        enum { Start, Plain, Quoted, QuoteInQuoted } state = Start;
        for (;;) {
            if (!more()) {
                cells.append(field);
                return true;
            }
            const QChar c = buffer_.at(pos_++);
            const bool lineBreak = c == QLatin1Char('\n') || c == QLatin1Char('\r');
            if (lineBreak) {
                // CR LF is one line break.
                if (c == QLatin1Char('\r') && more() && buffer_.at(pos_) == QLatin1Char('\n')) {
                    ++pos_;
                }
                ++nextLine_;
                if (state == Quoted) {
                    field += QLatin1Char('\n');
                    continue;
                }
                cells.append(field);
                return true;
            }
            switch (state) {
            case Start:
                if (c == QLatin1Char('"')) {
                    state = Quoted;
                    continue;
                }
                [[fallthrough]];
            case Plain:
                if (c == delimiter_) {
                    cells.append(field);
                    field.clear();
                    state = Start;
                } else {
                    field += c;
                    state = Plain;
                }
                break;
            case Quoted:
                if (c == QLatin1Char('"')) {
                    state = QuoteInQuoted;
                } else {
                    field += c;
                }
                break;
            case QuoteInQuoted:
                if (c == QLatin1Char('"')) {
                    field += c;
                    state = Quoted;
                } else if (c == delimiter_) {
                    cells.append(field);
                    field.clear();
                    state = Start;
                } else {
                    field += c;
                    state = Plain;
                }
                break;
            }
        }
    }

  private:
    bool more() {
        while (pos_ >= buffer_.size()) {
            if (ended_) {
                return false;
            }
            buffer_.remove(0, pos_);
            pos_ = 0;
            if (!refill_(buffer_)) {
                ended_ = true;
            }
        }
        return true;
    }

    QChar delimiter_;
    std::function<bool(QString&)> refill_;
    QString buffer_;
    qsizetype pos_ = 0;
    bool ended_ = false;
    qint64 line_ = 0;
    qint64 nextLine_ = 1;
};

// A CSV file decoded chunk by chunk in the code the list-file import would find in it; Ctrl-Z
// ends it as it ends a list file.
class CsvFile {
  public:
    explicit CsvFile(const QString& path) : path_(path), file_(path) {
        if (QFileInfo(path).isDir() || !file_.open(QIODevice::ReadOnly)) {
            throw unreadable(path, file_.errorString());
        }
        encoding_ = detectListFileEncoding(file_);
        if (encoding_ != ListFileEncoding::Cp1250) {
            decoder_ = QStringDecoder(QStringDecoder::Utf8);
        }
    }

    // Appends the next chunk's text; false once the file is read.
    bool refill(QString& text) {
        if (ended_) {
            return false;
        }
        QByteArray bytes = file_.read(kChunk);
        if (bytes.isEmpty() && file_.error() != QFileDevice::NoError) {
            throw unreadable(path_, file_.errorString());
        }
        if (const qsizetype z = bytes.indexOf(kCtrlZ); z >= 0) {
            bytes.truncate(z);
            ended_ = true;
        }
        if (bytes.isEmpty()) {
            ended_ = true;
            return false;
        }
        QString chunk = encoding_ == ListFileEncoding::Cp1250 ? platform::fromCp1250(bytes)
                                                              : decoder_.decode(bytes);
        if (first_) {
            first_ = false;
            if (chunk.startsWith(QChar(0xFEFF))) {
                chunk.remove(0, 1);
            }
        }
        text += chunk;
        return true;
    }

  private:
    QString path_;
    QFile file_;
    ListFileEncoding encoding_ = ListFileEncoding::Cp1250;
    QStringDecoder decoder_;
    bool first_ = true;
    bool ended_ = false;
};

class CsvFileTable : public TableSource {
  public:
    explicit CsvFileTable(const QString& path) : file_(std::make_unique<CsvFile>(path)) {
        // The delimiter is found in the first chunk, which the reader then takes first.
        while (sample_.size() < kChunk && file_->refill(sample_)) {
        }
        table_ = csvTable(detectDelimiter(sample_), [this](QString& text) {
            if (!sample_.isEmpty()) {
                text += sample_;
                sample_.clear();
                sample_.squeeze();
                return true;
            }
            return file_->refill(text);
        });
    }
    bool next(QStringList& cells) override { return table_->next(cells); }
    qint64 line() const override { return table_->line(); }

  private:
    std::unique_ptr<CsvFile> file_;
    QString sample_;
    std::unique_ptr<TableSource> table_;
};

} // namespace

QChar detectDelimiter(const QString& sample) {
    static const std::array<QChar, 4> candidates{QLatin1Char(';'), QLatin1Char(','),
                                                 QLatin1Char('\t'), QLatin1Char('|')};
    constexpr int kRecords = 20;
    QChar best = candidates[0];
    // Records split alike, then more fields, then the order above.
    int bestAlike = 0;
    qsizetype bestFields = 1;
    for (const QChar d : candidates) {
        bool given = false;
        auto table = csvTable(d, [&](QString& text) {
            if (given) {
                return false;
            }
            given = true;
            text += sample;
            return true;
        });
        std::map<qsizetype, int> counts;
        QStringList cells;
        for (int i = 0; i < kRecords && table->next(cells);) {
            if (cells.size() == 1 && cells[0].trimmed().isEmpty()) {
                continue;
            }
            ++counts[cells.size()];
            ++i;
        }
        for (const auto& [fields, alike] : counts) {
            if (fields < 2) {
                continue;
            }
            if (alike > bestAlike || (alike == bestAlike && fields > bestFields)) {
                best = d;
                bestAlike = alike;
                bestFields = fields;
            }
        }
    }
    return best;
}

std::unique_ptr<TableSource> csvTable(QChar delimiter, std::function<bool(QString&)> refill) {
    return std::make_unique<CsvTable>(delimiter, std::move(refill));
}

TableFormat tableFormat(const QString& path) {
    QFile file(path);
    if (!QFileInfo::exists(path)) {
        throw unreadable(path, QStringLiteral("no such file"));
    }
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) {
        throw unreadable(path, QFileInfo(path).isDir() ? QStringLiteral("is a folder")
                                                       : file.errorString());
    }
    const QByteArray head = file.read(8);
    // A workbook locked by a password is no zip but a compound file holding the encrypted one.
    if (head.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1")) {
        throw PriceListError(PriceListError::Fault::Encrypted,
                             QStringLiteral("%1: the spreadsheet is locked by a password or is "
                                            "an old binary workbook; save it as .xlsx, .ods or "
                                            "CSV without a password")
                                 .arg(shown(path)));
    }
    if (!head.startsWith("PK\x03\x04")) {
        return TableFormat::Csv;
    }
    return spreadsheetFormat(path);
}

QStringList worksheetNames(const QString& path) {
    switch (tableFormat(path)) {
    case TableFormat::Csv:
        return {};
    case TableFormat::Xlsx:
        return xlsxSheetNames(path);
    case TableFormat::Ods:
        return odsSheetNames(path);
    }
    return {};
}

std::unique_ptr<TableSource> openTable(const QString& path, const QString& worksheet) {
    switch (tableFormat(path)) {
    case TableFormat::Csv:
        return std::make_unique<CsvFileTable>(path);
    case TableFormat::Xlsx:
        return openXlsx(path, worksheet);
    case TableFormat::Ods:
        return openOds(path, worksheet);
    }
    return {};
}

} // namespace printlist

#include "printlist/spreadsheets.h"

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>

#include <QDir>
#include <QXmlStreamReader>
#include <map>
#include <vector>

namespace printlist {
namespace {

using Fault = PriceListError::Fault;

const QString kOfficeNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
const QString kTableNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:table:1.0");
const QString kTextNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:text:1.0");

// A whole row repeated or a cell repeated more often than this is a spreadsheet's way of
// saying "and so on, empty", not data.
constexpr int kMaxColumns = 1024;

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

PriceListError damaged(const QString& path, const QString& where) {
    return PriceListError(
        Fault::Damaged,
        QStringLiteral("%1: the spreadsheet is damaged (%2)").arg(shown(path), where), where);
}

PriceListError encrypted(const QString& path) {
    return PriceListError(Fault::Encrypted,
                          QStringLiteral("%1: the spreadsheet is locked by a password; save it "
                                         "without one")
                              .arg(shown(path)));
}

PriceListError noSheet(const QString& path, const QString& wanted, const QStringList& sheets) {
    return PriceListError(Fault::NoSheet,
                          QStringLiteral("%1: no sheet \"%2\" (sheets: %3)")
                              .arg(shown(path), wanted, sheets.join(QStringLiteral(", "))),
                          {}, wanted, sheets);
}

// A zip member opened for reading, as a device the XML reader pulls from.
class Member {
  public:
    Member(QuaZip& zip, const QString& path, const QString& name) : file_(&zip) {
        if (!zip.setCurrentFile(name, QuaZip::csInsensitive)) {
            throw damaged(path, name + QStringLiteral(" is missing"));
        }
        QuaZipFileInfo64 info;
        if (zip.getCurrentFileInfo(&info) && info.isEncrypted()) {
            throw encrypted(path);
        }
        if (!file_.open(QIODevice::ReadOnly)) {
            throw damaged(path, name + QStringLiteral(" cannot be unpacked"));
        }
    }
    QIODevice& device() { return file_; }

  private:
    QuaZipFile file_;
};

void openZip(QuaZip& zip, const QString& path) {
    if (!zip.open(QuaZip::mdUnzip)) {
        throw damaged(path, QStringLiteral("not a readable zip container"));
    }
}

bool hasMember(QuaZip& zip, const QString& name) {
    return zip.setCurrentFile(name, QuaZip::csInsensitive);
}

void checkXml(const QXmlStreamReader& xml, const QString& path, const QString& member) {
    if (xml.hasError()) {
        throw damaged(path, QStringLiteral("%1, line %2: %3")
                                .arg(member)
                                .arg(xml.lineNumber())
                                .arg(xml.errorString()));
    }
}

// "BC12" -> 54 (from 0); -1 when the reference holds no column letters.
int columnOfReference(QStringView ref) {
    int col = 0;
    qsizetype i = 0;
    for (; i < ref.size() && ref[i].isLetter(); ++i) {
        col = col * 26 + (ref[i].toUpper().unicode() - 'A' + 1);
        if (col > 1 << 20) {
            return -1;
        }
    }
    return i == 0 ? -1 : col - 1;
}

// ---- XLSX -------------------------------------------------------------------------------

struct SheetEntry {
    QString name;
    QString member;
};

struct Workbook {
    std::vector<SheetEntry> sheets;
    bool date1904 = false;
};

Workbook readWorkbook(QuaZip& zip, const QString& path) {
    std::map<QString, QString> targets;
    {
        const QString name = QStringLiteral("xl/_rels/workbook.xml.rels");
        Member rels(zip, path, name);
        QXmlStreamReader xml(&rels.device());
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement &&
                xml.name() == QLatin1String("Relationship")) {
                const auto a = xml.attributes();
                QString target = a.value(QLatin1String("Target")).toString();
                target = target.startsWith(QLatin1Char('/')) ? target.mid(1)
                                                             : QStringLiteral("xl/") + target;
                targets[a.value(QLatin1String("Id")).toString()] = QDir::cleanPath(target);
            }
        }
        checkXml(xml, path, name);
    }
    Workbook book;
    const QString name = QStringLiteral("xl/workbook.xml");
    Member member(zip, path, name);
    QXmlStreamReader xml(&member.device());
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        const auto a = xml.attributes();
        if (xml.name() == QLatin1String("workbookPr")) {
            const QString v = a.value(QLatin1String("date1904")).toString();
            book.date1904 = v == QLatin1String("1") || v == QLatin1String("true");
        } else if (xml.name() == QLatin1String("sheet")) {
            QString id;
            for (const QXmlStreamAttribute& at : a) {
                if (at.name() == QLatin1String("id")) {
                    id = at.value().toString();
                }
            }
            book.sheets.push_back({a.value(QLatin1String("name")).toString(), targets[id]});
        }
    }
    checkXml(xml, path, name);
    if (book.sheets.empty()) {
        throw damaged(path, QStringLiteral("the workbook lists no sheet"));
    }
    return book;
}

std::vector<QString> readSharedStrings(QuaZip& zip, const QString& path) {
    std::vector<QString> strings;
    const QString name = QStringLiteral("xl/sharedStrings.xml");
    if (!hasMember(zip, name)) {
        return strings;
    }
    Member member(zip, path, name);
    QXmlStreamReader xml(&member.device());
    QString current;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (xml.name() == QLatin1String("si")) {
                current.clear();
            } else if (xml.name() == QLatin1String("t")) {
                current += xml.readElementText();
            } else if (xml.name() == QLatin1String("rPh")) {
                xml.skipCurrentElement(); // reading hints, not shown
            }
        } else if (token == QXmlStreamReader::EndElement && xml.name() == QLatin1String("si")) {
            strings.push_back(current);
        }
    }
    checkXml(xml, path, name);
    return strings;
}

// The number format code of every cell style, by style index.
std::vector<QString> readStyles(QuaZip& zip, const QString& path) {
    std::vector<QString> codes;
    const QString name = QStringLiteral("xl/styles.xml");
    if (!hasMember(zip, name)) {
        return codes;
    }
    Member member(zip, path, name);
    QXmlStreamReader xml(&member.device());
    std::map<int, QString> custom;
    bool inCellXfs = false;
    std::vector<int> ids;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            const auto a = xml.attributes();
            if (xml.name() == QLatin1String("numFmt")) {
                custom[a.value(QLatin1String("numFmtId")).toInt()] =
                    a.value(QLatin1String("formatCode")).toString();
            } else if (xml.name() == QLatin1String("cellXfs")) {
                inCellXfs = true;
            } else if (inCellXfs && xml.name() == QLatin1String("xf")) {
                ids.push_back(a.value(QLatin1String("numFmtId")).toInt());
            }
        } else if (token == QXmlStreamReader::EndElement &&
                   xml.name() == QLatin1String("cellXfs")) {
            inCellXfs = false;
        }
    }
    checkXml(xml, path, name);
    for (const int id : ids) {
        const auto it = custom.find(id);
        codes.push_back(it != custom.end() ? it->second : builtinNumberFormat(id));
    }
    return codes;
}

const SheetEntry& chooseSheet(const std::vector<SheetEntry>& sheets, const QString& wanted,
                              const QString& path) {
    if (wanted.isEmpty()) {
        return sheets.front();
    }
    for (const auto cs : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
        for (const SheetEntry& s : sheets) {
            if (s.name.compare(wanted.trimmed(), cs) == 0) {
                return s;
            }
        }
    }
    QStringList names;
    for (const SheetEntry& s : sheets) {
        names << s.name;
    }
    throw noSheet(path, wanted, names);
}

class XlsxTable : public TableSource {
  public:
    XlsxTable(const QString& path, const QString& worksheet) : path_(path), zip_(path) {
        openZip(zip_, path);
        const Workbook book = readWorkbook(zip_, path);
        date1904_ = book.date1904;
        const SheetEntry& sheet = chooseSheet(book.sheets, worksheet, path);
        member_ = sheet.member;
        strings_ = readSharedStrings(zip_, path);
        styles_ = readStyles(zip_, path);
        sheet_ = std::make_unique<Member>(zip_, path, member_);
        xml_.setDevice(&sheet_->device());
    }

    qint64 line() const override { return line_; }

    bool next(QStringList& cells) override {
        cells.clear();
        bool inRow = false;
        int column = 0;
        QString type;
        int style = -1;
        QString value;
        QString inlineText;
        while (!xml_.atEnd()) {
            const auto token = xml_.readNext();
            if (token == QXmlStreamReader::StartElement) {
                const QStringView name = xml_.name();
                const auto a = xml_.attributes();
                if (name == QLatin1String("row")) {
                    inRow = true;
                    column = 0;
                    bool ok = false;
                    const qint64 r = a.value(QLatin1String("r")).toLongLong(&ok);
                    line_ = ok ? r : line_ + 1;
                } else if (inRow && name == QLatin1String("c")) {
                    const int c = columnOfReference(a.value(QLatin1String("r")));
                    column = c >= 0 ? c : column;
                    type = a.value(QLatin1String("t")).toString();
                    bool ok = false;
                    style = a.value(QLatin1String("s")).toInt(&ok);
                    style = ok ? style : -1;
                    value.clear();
                    inlineText.clear();
                } else if (inRow && name == QLatin1String("v")) {
                    value = xml_.readElementText();
                } else if (inRow && name == QLatin1String("t")) {
                    inlineText += xml_.readElementText();
                } else if (name == QLatin1String("rPh") || name == QLatin1String("f")) {
                    xml_.skipCurrentElement();
                }
            } else if (token == QXmlStreamReader::EndElement) {
                const QStringView name = xml_.name();
                if (inRow && name == QLatin1String("c")) {
                    const QString text = display(type, style, value, inlineText);
                    if (!text.isEmpty() && column < kMaxColumns) {
                        while (cells.size() <= column) {
                            cells.append(QString());
                        }
                        cells[column] = text;
                    }
                    ++column;
                } else if (name == QLatin1String("row")) {
                    return true;
                }
            }
        }
        checkXml(xml_, path_, member_);
        return false;
    }

  private:
    QString display(const QString& type, int style, const QString& value,
                    const QString& inlineText) const {
        if (type == QLatin1String("s")) {
            bool ok = false;
            const qsizetype i = value.toLongLong(&ok);
            if (!ok || i < 0 || size_t(i) >= strings_.size()) {
                throw damaged(path_, QStringLiteral("%1, row %2: no shared text %3")
                                         .arg(member_)
                                         .arg(line_)
                                         .arg(value));
            }
            return strings_[size_t(i)];
        }
        if (type == QLatin1String("inlineStr")) {
            return inlineText;
        }
        if (type == QLatin1String("str") || type == QLatin1String("e")) {
            return value;
        }
        if (type == QLatin1String("b")) {
            return value.isEmpty()               ? QString()
                   : value == QLatin1String("0") ? QStringLiteral("NEPRAVDA")
                                                 : QStringLiteral("PRAVDA");
        }
        if (value.isEmpty()) {
            return {};
        }
        const QString code =
            style >= 0 && size_t(style) < styles_.size() ? styles_[size_t(style)] : QString();
        if (type == QLatin1String("d")) {
            const QDateTime at = QDateTime::fromString(value, Qt::ISODate);
            if (!at.isValid()) {
                return value;
            }
            const QDateTime base = serialDateTime(date1904_ ? 0 : 61, date1904_);
            const double serial =
                (date1904_ ? 0 : 61) +
                double(base.msecsTo(QDateTime(at.date(), at.time(), Qt::UTC))) / 86400000.0;
            return displayNumber(serial, code.isEmpty() ? builtinNumberFormat(14) : code,
                                 date1904_);
        }
        bool ok = false;
        const double v = value.toDouble(&ok);
        return ok ? displayNumber(v, code, date1904_) : value;
    }

    QString path_;
    QuaZip zip_;
    bool date1904_ = false;
    QString member_;
    std::vector<QString> strings_;
    std::vector<QString> styles_;
    std::unique_ptr<Member> sheet_;
    QXmlStreamReader xml_;
    qint64 line_ = 0;
};

// ---- ODS --------------------------------------------------------------------------------

void refuseEncryptedOds(QuaZip& zip, const QString& path) {
    const QString name = QStringLiteral("META-INF/manifest.xml");
    if (!hasMember(zip, name)) {
        return;
    }
    Member member(zip, path, name);
    QXmlStreamReader xml(&member.device());
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement &&
            xml.name() == QLatin1String("encryption-data")) {
            throw encrypted(path);
        }
    }
}

QString odsValueText(const QXmlStreamAttributes& a) {
    const QString type = a.value(kOfficeNs, QLatin1String("value-type")).toString();
    if (type == QLatin1String("date")) {
        const QString v = a.value(kOfficeNs, QLatin1String("date-value")).toString();
        const QDate d = QDate::fromString(v.left(10), Qt::ISODate);
        return d.isValid() ? d.toString(QStringLiteral("dd.MM.yyyy")) : v;
    }
    if (type == QLatin1String("boolean")) {
        return a.value(kOfficeNs, QLatin1String("boolean-value")) == QLatin1String("true")
                   ? QStringLiteral("PRAVDA")
                   : QStringLiteral("NEPRAVDA");
    }
    if (type == QLatin1String("string")) {
        return a.value(kOfficeNs, QLatin1String("string-value")).toString();
    }
    if (!type.isEmpty()) {
        bool ok = false;
        const double v = a.value(kOfficeNs, QLatin1String("value")).toDouble(&ok);
        return ok ? displayNumber(v, QString()) : QString();
    }
    return {};
}

class OdsTable : public TableSource {
  public:
    OdsTable(const QString& path, const QString& worksheet) : path_(path), zip_(path) {
        openZip(zip_, path);
        refuseEncryptedOds(zip_, path);
        member_ = std::make_unique<Member>(zip_, path, QStringLiteral("content.xml"));
        xml_.setDevice(&member_->device());
        // Up to the chosen sheet: the sheets before it are passed over unread.
        QStringList names;
        while (!xml_.atEnd()) {
            if (xml_.readNext() != QXmlStreamReader::StartElement) {
                continue;
            }
            if (xml_.namespaceUri() == kTableNs && xml_.name() == QLatin1String("table")) {
                const QString name =
                    xml_.attributes().value(kTableNs, QLatin1String("name")).toString();
                if (worksheet.isEmpty() ||
                    name.compare(worksheet.trimmed(), Qt::CaseInsensitive) == 0) {
                    return;
                }
                names << name;
                xml_.skipCurrentElement();
            }
        }
        checkXml(xml_, path, QStringLiteral("content.xml"));
        if (worksheet.isEmpty()) {
            throw damaged(path, QStringLiteral("the document holds no sheet"));
        }
        throw noSheet(path, worksheet, names);
    }

    qint64 line() const override { return line_; }

    bool next(QStringList& cells) override {
        if (repeats_ > 0) {
            --repeats_;
            ++line_;
            cells = repeated_;
            return true;
        }
        while (!ended_ && !xml_.atEnd()) {
            const auto token = xml_.readNext();
            if (token == QXmlStreamReader::EndElement && xml_.namespaceUri() == kTableNs &&
                xml_.name() == QLatin1String("table")) {
                ended_ = true;
                break;
            }
            if (token != QXmlStreamReader::StartElement || xml_.namespaceUri() != kTableNs) {
                continue;
            }
            if (xml_.name() == QLatin1String("table")) {
                xml_.skipCurrentElement(); // a table inside a cell is not the sheet's
                continue;
            }
            if (xml_.name() != QLatin1String("table-row")) {
                continue;
            }
            bool ok = false;
            qint64 times = xml_.attributes()
                               .value(kTableNs, QLatin1String("number-rows-repeated"))
                               .toLongLong(&ok);
            times = ok && times > 0 ? times : 1;
            readRow(cells);
            if (cells.isEmpty()) {
                line_ += times;
                continue;
            }
            ++line_;
            if (times > 1) {
                repeated_ = cells;
                repeats_ = times - 1;
            }
            return true;
        }
        checkXml(xml_, path_, QStringLiteral("content.xml"));
        return false;
    }

  private:
    // The cells of the row the reader stands at, trailing empty cells left out.
    void readRow(QStringList& cells) {
        cells.clear();
        qsizetype column = 0;
        while (!xml_.atEnd()) {
            const auto token = xml_.readNext();
            if (token == QXmlStreamReader::EndElement &&
                xml_.name() == QLatin1String("table-row")) {
                return;
            }
            if (token != QXmlStreamReader::StartElement) {
                continue;
            }
            const bool cell = xml_.name() == QLatin1String("table-cell") ||
                              xml_.name() == QLatin1String("covered-table-cell");
            if (!cell) {
                xml_.skipCurrentElement();
                continue;
            }
            const auto a = xml_.attributes();
            bool ok = false;
            qint64 times =
                a.value(kTableNs, QLatin1String("number-columns-repeated")).toLongLong(&ok);
            times = ok && times > 0 ? times : 1;
            QString text = readCellText();
            if (text.isNull()) {
                text = odsValueText(a);
            }
            if (!text.isEmpty()) {
                for (qint64 i = 0; i < times && column < kMaxColumns; ++i, ++column) {
                    while (cells.size() < column) {
                        cells.append(QString());
                    }
                    cells.append(text);
                }
            } else {
                column += qsizetype(std::min<qint64>(times, kMaxColumns));
            }
        }
    }

    // The paragraphs of the cell as shown, one per line; a null text when there is none.
    QString readCellText() {
        QString text;
        bool any = false;
        while (!xml_.atEnd()) {
            const auto token = xml_.readNext();
            if (token == QXmlStreamReader::EndElement) {
                return any ? text : QString();
            }
            if (token != QXmlStreamReader::StartElement) {
                continue;
            }
            if (xml_.namespaceUri() == kTextNs && xml_.name() == QLatin1String("p")) {
                if (any) {
                    text += QLatin1Char('\n');
                }
                any = true;
                text += readParagraph();
                if (text.isNull()) {
                    text = QLatin1String("");
                }
            } else {
                xml_.skipCurrentElement(); // comments and drawings are not the cell's text
            }
        }
        return text;
    }

    QString readParagraph() {
        QString text = QLatin1String("");
        int depth = 1;
        while (depth > 0 && !xml_.atEnd()) {
            const auto token = xml_.readNext();
            if (token == QXmlStreamReader::Characters) {
                text += xml_.text();
            } else if (token == QXmlStreamReader::EndElement) {
                --depth;
            } else if (token == QXmlStreamReader::StartElement) {
                const QStringView name = xml_.name();
                if (xml_.namespaceUri() == kTextNs && name == QLatin1String("s")) {
                    bool ok = false;
                    const int n = xml_.attributes().value(kTextNs, QLatin1String("c")).toInt(&ok);
                    text += QString(ok && n > 0 ? std::min(n, 1000) : 1, QLatin1Char(' '));
                    xml_.skipCurrentElement();
                } else if (xml_.namespaceUri() == kTextNs && name == QLatin1String("tab")) {
                    text += QLatin1Char('\t');
                    xml_.skipCurrentElement();
                } else if (xml_.namespaceUri() == kTextNs && name == QLatin1String("line-break")) {
                    text += QLatin1Char('\n');
                    xml_.skipCurrentElement();
                } else if (xml_.namespaceUri() == kOfficeNs &&
                           name == QLatin1String("annotation")) {
                    xml_.skipCurrentElement();
                } else {
                    ++depth;
                }
            }
        }
        return text;
    }

    QString path_;
    QuaZip zip_;
    std::unique_ptr<Member> member_;
    QXmlStreamReader xml_;
    qint64 line_ = 0;
    bool ended_ = false;
    QStringList repeated_;
    qint64 repeats_ = 0;
};

} // namespace

TableFormat spreadsheetFormat(const QString& path) {
    QuaZip zip(path);
    openZip(zip, path);
    if (hasMember(zip, QStringLiteral("xl/workbook.xml"))) {
        return TableFormat::Xlsx;
    }
    if (hasMember(zip, QStringLiteral("content.xml"))) {
        return TableFormat::Ods;
    }
    throw damaged(path, QStringLiteral("a zip file holding neither a workbook nor a spreadsheet "
                                       "document"));
}

QStringList xlsxSheetNames(const QString& path) {
    QuaZip zip(path);
    openZip(zip, path);
    QStringList names;
    for (const SheetEntry& s : readWorkbook(zip, path).sheets) {
        names << s.name;
    }
    return names;
}

std::unique_ptr<TableSource> openXlsx(const QString& path, const QString& worksheet) {
    return std::make_unique<XlsxTable>(path, worksheet);
}

QStringList odsSheetNames(const QString& path) {
    try {
        OdsTable table(path, QStringLiteral("\x01"));
    } catch (const PriceListError& e) {
        if (e.fault() == Fault::NoSheet) {
            return e.sheets();
        }
        throw;
    }
    return {};
}

std::unique_ptr<TableSource> openOds(const QString& path, const QString& worksheet) {
    return std::make_unique<OdsTable>(path, worksheet);
}

} // namespace printlist

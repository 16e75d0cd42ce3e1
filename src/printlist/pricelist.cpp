#include "printlist/pricelist.h"

#include "printlist/listcommands.h"

#include <QUrl>
#include <deque>

namespace printlist {
namespace {

constexpr int kSampleRows = 20;
constexpr int kMaxListedFaults = 100;
// More labels of one row than anyone prints; a bigger count is a wrong column.
constexpr int kMaxCopies = 100000;

platform::Error optionError(const QString& text) {
    return platform::Error(text);
}

int fieldNumber(const QString& name) {
    return int(mappedFieldNames().indexOf(name.trimmed().toLower()));
}

// FIELD=REST; throws when FIELD is none of the label lines.
std::pair<int, QString> splitField(const QString& option, const QString& value) {
    const qsizetype eq = value.indexOf(QLatin1Char('='));
    const int field = eq < 0 ? -1 : fieldNumber(value.left(eq));
    if (eq < 0) {
        throw optionError(QStringLiteral("--%1 wants FIELD=COLUMN, not \"%2\"").arg(option, value));
    }
    if (field < 0) {
        throw optionError(QStringLiteral("--%1 %2: the field is one of %3")
                              .arg(option, value, mappedFieldNames().join(QStringLiteral(", "))));
    }
    const QString rest = value.mid(eq + 1).trimmed();
    if (rest.isEmpty()) {
        throw optionError(QStringLiteral("--%1 %2: the column is missing").arg(option, value));
    }
    return {field, rest};
}

QString escaped(const QString& s) {
    QString out = s;
    out.replace(QLatin1Char('%'), QLatin1String("%25"));
    out.replace(QLatin1Char('|'), QLatin1String("%7C"));
    out.replace(QLatin1Char(','), QLatin1String("%2C"));
    return out;
}

QString unescaped(const QString& s) {
    QString out = s;
    out.replace(QLatin1String("%2C"), QLatin1String(","), Qt::CaseInsensitive);
    out.replace(QLatin1String("%7C"), QLatin1String("|"), Qt::CaseInsensitive);
    out.replace(QLatin1String("%25"), QLatin1String("%"));
    return out;
}

bool isNumberText(const QString& s) {
    return !s.trimmed().isEmpty() && parsePriceNumber(s).has_value();
}

// A column number from 1 written as digits, or the header's text, to a column from 0.
int resolveColumn(const QString& ref, const QStringList& header, bool hasHeader) {
    const QString r = ref.trimmed();
    if (hasHeader) {
        for (int i = 0; i < header.size(); ++i) {
            if (header[i].trimmed().compare(r, Qt::CaseInsensitive) == 0) {
                return i;
            }
        }
    }
    bool ok = false;
    const int n = r.toInt(&ok);
    if (ok && n >= 1 && n <= 100000) {
        return n - 1;
    }
    QStringList names;
    for (const QString& h : header) {
        names << h.trimmed();
    }
    throw PriceListError(
        PriceListError::Fault::NoColumn,
        hasHeader ? QStringLiteral("no column \"%1\" (columns: %2)")
                        .arg(r, names.join(QStringLiteral(", ")))
                  : QStringLiteral("no column \"%1\": the file has no header row, name columns "
                                   "by their numbers from 1")
                        .arg(r),
        {}, r, hasHeader ? names : QStringList());
}

QString cell(const QStringList& cells, int column) {
    return column >= 0 && column < cells.size() ? cells[column].trimmed() : QString();
}

} // namespace

// A table read through its first rows once, to tell whether they start with a header.
class SampledTable {
  public:
    explicit SampledTable(std::unique_ptr<TableSource> table) : table_(std::move(table)) {
        QStringList cells;
        while (int(sample_.size()) < kSampleRows && table_->next(cells)) {
            if (!isBlankRow(cells)) {
                sample_.push_back({cells, table_->line()});
            }
        }
    }
    std::vector<QStringList> sampleRows() const {
        std::vector<QStringList> rows;
        for (const auto& [cells, line] : sample_) {
            rows.push_back(cells);
        }
        return rows;
    }
    // The next row that is not blank.
    bool next(QStringList& cells, qint64& line) {
        if (!sample_.empty()) {
            cells = std::move(sample_.front().first);
            line = sample_.front().second;
            sample_.pop_front();
            return true;
        }
        while (table_->next(cells)) {
            if (!isBlankRow(cells)) {
                line = table_->line();
                return true;
            }
        }
        return false;
    }

  private:
    std::unique_ptr<TableSource> table_;
    std::deque<std::pair<QStringList, qint64>> sample_;
};

const QStringList& mappedFieldNames() {
    static const QStringList names{QStringLiteral("kod"),   QStringLiteral("nazev"),
                                   QStringLiteral("cena"),  QStringLiteral("text1"),
                                   QStringLiteral("text2"), QStringLiteral("text3")};
    return names;
}

void applyMappingOption(PriceListMapping& m, const QString& option, const QString& value) {
    if (option == QLatin1String("map") || option == QLatin1String("price") ||
        option == QLatin1String("sale-line")) {
        const auto [field, column] = splitField(option, value);
        FieldRule rule;
        rule.kind = option == QLatin1String("map")     ? FieldRule::Kind::Column
                    : option == QLatin1String("price") ? FieldRule::Kind::Price
                                                       : FieldRule::Kind::SaleLine;
        rule.column = column;
        m.fields[size_t(field)] = rule;
    } else if (option == QLatin1String("unit-price")) {
        const auto [field, rest] = splitField(option, value);
        QStringList parts = rest.split(QLatin1Char(','));
        for (QString& p : parts) {
            p = p.trimmed();
        }
        FieldRule rule;
        rule.kind = FieldRule::Kind::UnitPrice;
        if (parts.size() == 4 &&
            parts[3].compare(QLatin1String("per100"), Qt::CaseInsensitive) == 0) {
            rule.per100 = true;
            parts.removeLast();
        }
        if (parts.size() != 3 || parts.contains(QString())) {
            throw optionError(
                QStringLiteral("--unit-price wants FIELD=PRICE,QUANTITY,UNIT[,per100], "
                               "not \"%1\"")
                    .arg(value));
        }
        rule.column = parts[0];
        rule.quantity = parts[1];
        rule.unit = parts[2];
        m.fields[size_t(field)] = rule;
    } else if (option == QLatin1String("copies")) {
        if (value.trimmed().isEmpty()) {
            throw optionError(QStringLiteral("--copies wants a column"));
        }
        m.copies = value.trimmed();
    } else if (option == QLatin1String("header")) {
        const QString v = value.trimmed().toLower();
        if (v == QLatin1String("yes")) {
            m.header = true;
        } else if (v == QLatin1String("no")) {
            m.header = false;
        } else {
            throw optionError(QStringLiteral("--header wants yes or no, not \"%1\"").arg(value));
        }
    } else if (option == QLatin1String("worksheet")) {
        if (value.trimmed().isEmpty()) {
            throw optionError(QStringLiteral("--worksheet wants a sheet name"));
        }
        m.worksheet = value.trimmed();
    } else {
        throw optionError(QStringLiteral("unknown mapping item \"%1\"").arg(option));
    }
}

QString mappingToText(const PriceListMapping& m) {
    QStringList items;
    for (int f = 0; f < kMappedFields; ++f) {
        const FieldRule& r = m.fields[size_t(f)];
        const QString name = mappedFieldNames()[f];
        switch (r.kind) {
        case FieldRule::Kind::None:
            break;
        case FieldRule::Kind::Column:
            items << QStringLiteral("map %1=%2").arg(name, escaped(r.column));
            break;
        case FieldRule::Kind::Price:
            items << QStringLiteral("price %1=%2").arg(name, escaped(r.column));
            break;
        case FieldRule::Kind::SaleLine:
            items << QStringLiteral("sale-line %1=%2").arg(name, escaped(r.column));
            break;
        case FieldRule::Kind::UnitPrice:
            items << QStringLiteral("unit-price %1=%2,%3,%4%5")
                         .arg(name, escaped(r.column), escaped(r.quantity), escaped(r.unit),
                              r.per100 ? QStringLiteral(",per100") : QString());
            break;
        }
    }
    if (!m.copies.isEmpty()) {
        items << QStringLiteral("copies ") + escaped(m.copies);
    }
    if (m.header) {
        items << (*m.header ? QStringLiteral("header yes") : QStringLiteral("header no"));
    }
    if (!m.worksheet.isEmpty()) {
        items << QStringLiteral("worksheet ") + escaped(m.worksheet);
    }
    return items.join(QLatin1Char('|'));
}

PriceListMapping mappingFromText(const QString& text) {
    PriceListMapping m;
    for (const QString& item : text.split(QLatin1Char('|'), Qt::SkipEmptyParts)) {
        const QString t = item.trimmed();
        const qsizetype space = t.indexOf(QLatin1Char(' '));
        if (space < 0) {
            throw optionError(QStringLiteral("unreadable mapping item \"%1\"").arg(t));
        }
        const QString option = t.left(space);
        const QString value = t.mid(space + 1);
        if (option == QLatin1String("unit-price")) {
            // The commas between the columns are the item's own; those inside a column name
            // are escaped.
            const auto [field, rest] = splitField(option, value);
            QStringList raw = rest.split(QLatin1Char(','));
            FieldRule r;
            r.kind = FieldRule::Kind::UnitPrice;
            r.per100 = raw.size() == 4 &&
                       raw[3].trimmed().compare(QLatin1String("per100"), Qt::CaseInsensitive) == 0;
            if (r.per100) {
                raw.removeLast();
            }
            if (raw.size() != 3) {
                throw optionError(QStringLiteral("unreadable mapping item \"%1\"").arg(t));
            }
            r.column = unescaped(raw[0]).trimmed();
            r.quantity = unescaped(raw[1]).trimmed();
            r.unit = unescaped(raw[2]).trimmed();
            m.fields[size_t(field)] = r;
        } else {
            applyMappingOption(m, option, unescaped(value));
        }
    }
    return m;
}

bool isBlankRow(const QStringList& cells) {
    for (const QString& c : cells) {
        if (!c.trimmed().isEmpty()) {
            return false;
        }
    }
    return true;
}

bool looksLikeHeader(const std::vector<QStringList>& rows) {
    if (rows.empty()) {
        return false;
    }
    const QStringList& first = rows.front();
    for (const QString& c : first) {
        if (isNumberText(c)) {
            return false;
        }
    }
    static const QStringList words{
        QStringLiteral("kod"),      QStringLiteral("kód"),      QStringLiteral("nazev"),
        QStringLiteral("název"),    QStringLiteral("cena"),     QStringLiteral("ean"),
        QStringLiteral("počet"),    QStringLiteral("pocet"),    QStringLiteral("množství"),
        QStringLiteral("mnozstvi"), QStringLiteral("jednotka"), QStringLiteral("text"),
        QStringLiteral("name"),     QStringLiteral("price"),    QStringLiteral("code"),
        QStringLiteral("jméno"),    QStringLiteral("adresa"),   QStringLiteral("ulice"),
        QStringLiteral("obec"),     QStringLiteral("psč"),      QStringLiteral("zboží")};
    for (const QString& c : first) {
        const QString t = c.trimmed().toLower();
        for (const QString& w : words) {
            if (t.startsWith(w)) {
                return true;
            }
        }
    }
    // Text over a column that holds numbers further down.
    for (size_t r = 1; r < rows.size(); ++r) {
        for (int c = 0; c < first.size() && c < rows[r].size(); ++c) {
            if (!first[c].trimmed().isEmpty() && isNumberText(rows[r][c])) {
                return true;
            }
        }
    }
    return false;
}

QString describeFault(const RowFault& f) {
    QString what;
    switch (f.kind) {
    case RowFault::Kind::NotANumber:
        what = QStringLiteral("\"%1\" in column %2 is not a number").arg(f.value, f.column);
        break;
    case RowFault::Kind::UnknownUnit:
        what = QStringLiteral("unknown unit \"%1\" in column %2 (g, kg, ml, l, m, m², ks)")
                   .arg(f.value, f.column);
        break;
    case RowFault::Kind::ZeroQuantity:
        what = QStringLiteral("the quantity in column %1 is 0").arg(f.column);
        break;
    case RowFault::Kind::BadCopies:
        what = QStringLiteral("copies \"%1\" in column %2 is not a whole number of 0 or more")
                   .arg(f.value, f.column);
        break;
    case RowFault::Kind::TooLarge:
        what = QStringLiteral("the price computed from column %1 is too large").arg(f.column);
        break;
    }
    return f.field.isEmpty() ? QStringLiteral("line %1: %2").arg(f.line).arg(what)
                             : QStringLiteral("line %1: %2: %3").arg(f.line).arg(f.field, what);
}

RowMapper::RowMapper(const PriceListMapping& mapping, const QStringList& header, bool hasHeader,
                     QString specznak)
    : specznak_(std::move(specznak)) {
    for (int f = 0; f < kMappedFields; ++f) {
        const FieldRule& rule = mapping.fields[size_t(f)];
        Resolved& r = fields_[size_t(f)];
        r.kind = rule.kind;
        if (rule.kind == FieldRule::Kind::None) {
            continue;
        }
        r.name = rule.column;
        r.column = resolveColumn(rule.column, header, hasHeader);
        if (rule.kind == FieldRule::Kind::UnitPrice) {
            r.quantityName = rule.quantity;
            r.unitName = rule.unit;
            r.quantity = resolveColumn(rule.quantity, header, hasHeader);
            r.unit = resolveColumn(rule.unit, header, hasHeader);
            r.per100 = rule.per100;
        }
    }
    if (!mapping.copies.isEmpty()) {
        copiesName_ = mapping.copies;
        copies_ = resolveColumn(mapping.copies, header, hasHeader);
    }
}

RowMapper::Result RowMapper::map(const QStringList& cells, qint64 line) const {
    Result out;
    auto fault = [&](RowFault::Kind kind, int field, const QString& column, const QString& value) {
        out.fault =
            RowFault{line, kind, field < 0 ? QString() : mappedFieldNames()[field], column, value};
        return out;
    };
    if (copies_ >= 0) {
        const QString text = cell(cells, copies_);
        if (text.isEmpty()) {
            out.copies = 0;
        } else {
            const auto n = parsePriceNumber(text);
            if (!n || n->units < 0 || n->scale != 0 || n->units > kMaxCopies) {
                return fault(RowFault::Kind::BadCopies, -1, copiesName_, text);
            }
            out.copies = int(n->units);
        }
    }
    QStringList lines;
    for (int f = 0; f < kMappedFields; ++f) {
        const Resolved& r = fields_[size_t(f)];
        const QString text = cell(cells, r.column);
        QString value;
        switch (r.kind) {
        case FieldRule::Kind::None:
            break;
        case FieldRule::Kind::Column:
            value = text;
            break;
        case FieldRule::Kind::Price:
        case FieldRule::Kind::SaleLine: {
            if (text.isEmpty()) {
                break;
            }
            const auto n = parsePriceNumber(text);
            if (!n) {
                return fault(RowFault::Kind::NotANumber, f, r.name, text);
            }
            value =
                r.kind == FieldRule::Kind::Price ? formatKc(toHaler(*n)) : saleLine(toHaler(*n));
            break;
        }
        case FieldRule::Kind::UnitPrice: {
            const QString quantityText = cell(cells, r.quantity);
            const QString unitText = cell(cells, r.unit);
            // Goods sold without a measure have no unit price.
            if (quantityText.isEmpty() && unitText.isEmpty()) {
                break;
            }
            const auto price = parsePriceNumber(text);
            if (!price) {
                return fault(RowFault::Kind::NotANumber, f, r.name, text);
            }
            const auto quantity = parsePriceNumber(quantityText);
            if (!quantity) {
                return fault(RowFault::Kind::NotANumber, f, r.quantityName, quantityText);
            }
            const auto unit = parsePackUnit(unitText);
            if (!unit) {
                return fault(RowFault::Kind::UnknownUnit, f, r.unitName, unitText);
            }
            const UnitPrice u = unitPrice(*price, *quantity, *unit, r.per100);
            if (u.fault == UnitPriceFault::ZeroQuantity) {
                return fault(RowFault::Kind::ZeroQuantity, f, r.quantityName, quantityText);
            }
            if (u.fault == UnitPriceFault::TooLarge) {
                return fault(RowFault::Kind::TooLarge, f, r.name, text);
            }
            value = u.text;
            break;
        }
        }
        lines << value;
    }
    out.values = {
        lines[0], composeKods(lines[0], specznak_), lines[1], lines[2], lines[3], lines[4],
        lines[5]};
    return out;
}

PriceListPreview previewPriceList(const QString& path, const PriceListMapping& mapping,
                                  const QString& specznak, int rows) {
    PriceListPreview p;
    p.worksheets = worksheetNames(path);
    SampledTable table(openTable(path, mapping.worksheet));
    p.headerDetected = looksLikeHeader(table.sampleRows());
    p.hasHeader = mapping.header.value_or(p.headerDetected);
    QStringList cells;
    qint64 line = 0;
    QStringList header;
    if (p.hasHeader && table.next(cells, line)) {
        header = cells;
    }
    std::vector<std::pair<QStringList, qint64>> data;
    qsizetype width = header.size();
    while (int(data.size()) < rows && table.next(cells, line)) {
        width = std::max(width, cells.size());
        data.push_back({cells, line});
    }
    for (qsizetype i = 0; i < width; ++i) {
        p.columns << (i < header.size() && !header[i].trimmed().isEmpty() ? header[i].trimmed()
                                                                          : QString::number(i + 1));
    }
    const RowMapper mapper(mapping, header, p.hasHeader, specznak);
    for (auto& [c, l] : data) {
        const RowMapper::Result r = mapper.map(c, l);
        p.rows.push_back({l, r.values, r.copies, r.fault});
        p.cells.push_back(std::move(c));
    }
    return p;
}

PriceListRowsError::PriceListRowsError(std::vector<RowFault> faults, qint64 total)
    : platform::Error(faults.empty() ? QString() : describeFault(faults.front())),
      faults_(std::move(faults)), total_(total) {}

PriceListRows::PriceListRows(QString path, PriceListMapping mapping, QString specznak)
    : path_(std::move(path)), mapping_(std::move(mapping)), specznak_(std::move(specznak)) {
    open();
    std::vector<RowFault> faults;
    qint64 total = 0;
    QStringList cells;
    qint64 line = 0;
    while (table_->next(cells, line)) {
        const RowMapper::Result r = mapper_->map(cells, line);
        if (r.fault) {
            if (int(faults.size()) < kMaxListedFaults) {
                faults.push_back(*r.fault);
            }
            ++total;
        } else {
            labels_ += r.copies;
        }
    }
    if (total > 0) {
        throw PriceListRowsError(std::move(faults), total);
    }
}

PriceListRows::~PriceListRows() = default;

void PriceListRows::open() {
    table_ = std::make_unique<SampledTable>(openTable(path_, mapping_.worksheet));
    const bool hasHeader = mapping_.header.value_or(looksLikeHeader(table_->sampleRows()));
    QStringList header;
    qint64 line = 0;
    if (hasHeader) {
        table_->next(header, line);
    }
    mapper_.emplace(mapping_, header, hasHeader, specznak_);
}

int PriceListRows::fieldIndex(const QString& name) const {
    static const QStringList names{QStringLiteral("id"),    QStringLiteral("kod"),
                                   QStringLiteral("kods"),  QStringLiteral("nazev"),
                                   QStringLiteral("cena"),  QStringLiteral("text1"),
                                   QStringLiteral("text2"), QStringLiteral("text3")};
    return indexOfField(names, name);
}

void PriceListRows::first() {
    open();
    eof_ = false;
    left_ = 0;
    id_ = 0;
    next();
}

void PriceListRows::next() {
    if (eof_) {
        return;
    }
    if (left_ > 0) {
        --left_;
        return;
    }
    QStringList cells;
    qint64 line = 0;
    for (;;) {
        if (!table_->next(cells, line)) {
            end();
            return;
        }
        const RowMapper::Result r = mapper_->map(cells, line);
        if (r.fault) {
            // The file changed since it was checked.
            throw PriceListRowsError({*r.fault}, 1);
        }
        if (r.copies < 1) {
            continue;
        }
        row_ = QStringList{QString::number(++id_)} + r.values;
        left_ = r.copies - 1;
        return;
    }
}

qint64 appendPriceList(Store& store, PriceListRows& rows) {
    rows.first();
    store.appendAll([&](QStringList& values) {
        if (rows.eof()) {
            return false;
        }
        values.clear();
        for (int i = 1; i <= 7; ++i) {
            values.append(rows.field(i));
        }
        rows.next();
        return true;
    });
    return rows.labelCount();
}

qint64 importPriceList(Store& store, const QString& path, const PriceListMapping& mapping,
                       const QString& specznak) {
    PriceListRows rows(path, mapping, specznak);
    qint64 labels = 0;
    try {
        labels = appendPriceList(store, rows);
    } catch (...) {
        try {
            store.reload();
        } catch (const platform::Error&) {
            // The import's own fault is the one to report.
        }
        throw;
    }
    store.reload();
    return labels;
}

} // namespace printlist

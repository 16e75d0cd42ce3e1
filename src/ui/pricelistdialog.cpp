#include "ui/pricelistdialog.h"

#include "platform/profile.h"
#include "printlist/savedmappings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using printlist::FieldRule;
using printlist::PriceListError;
using printlist::PriceListMapping;
using printlist::RowFault;

namespace dialogs {

std::optional<PriceListChoice> choosePriceListMapping(const PriceListRequest& request) {
    return priceListAnswers().ask(request);
}

platform::AnswerQueue<PriceListRequest, std::optional<PriceListChoice>>& priceListAnswers() {
    static platform::AnswerQueue<PriceListRequest, std::optional<PriceListChoice>> queue;
    return queue;
}

std::optional<PriceListChoice> runPriceListDialog(const PriceListRequest& request) {
    PriceListDialog dialog(request);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.choice();
}

QString czechText(const PriceListError& e) {
    using Fault = PriceListError::Fault;
    switch (e.fault()) {
    case Fault::Unreadable:
        return QStringLiteral("Soubor nelze přečíst: %1").arg(e.detail());
    case Fault::Damaged:
        return QStringLiteral("Soubor je poškozený nebo to není tabulka (%1).").arg(e.detail());
    case Fault::Encrypted:
        return QStringLiteral("Tabulka je chráněná heslem. Uložte ji bez hesla (nebo jako CSV) "
                              "a načtěte ji znovu.");
    case Fault::NoSheet:
        return QStringLiteral("V sešitu není list „%1“. Listy: %2.")
            .arg(e.sheet(), e.sheets().join(QStringLiteral(", ")));
    case Fault::NoColumn:
        return e.sheets().isEmpty()
                   ? QStringLiteral("V tabulce není sloupec „%1“; bez řádku s názvy sloupců je "
                                    "zadejte čísly od 1.")
                         .arg(e.sheet())
                   : QStringLiteral("V tabulce není sloupec „%1“. Sloupce: %2.")
                         .arg(e.sheet(), e.sheets().join(QStringLiteral(", ")));
    }
    return e.text();
}

QString czechText(const RowFault& f) {
    QString what;
    switch (f.kind) {
    case RowFault::Kind::NotANumber:
        what = QStringLiteral("„%1“ ve sloupci %2 není číslo").arg(f.value, f.column);
        break;
    case RowFault::Kind::UnknownUnit:
        what = QStringLiteral("neznámá jednotka „%1“ ve sloupci %2 (g, kg, ml, l, m, m², ks)")
                   .arg(f.value, f.column);
        break;
    case RowFault::Kind::ZeroQuantity:
        what = QStringLiteral("množství ve sloupci %1 je 0").arg(f.column);
        break;
    case RowFault::Kind::BadCopies:
        what = QStringLiteral("počet „%1“ ve sloupci %2 není celé číslo 0 nebo větší")
                   .arg(f.value, f.column);
        break;
    case RowFault::Kind::TooLarge:
        what = QStringLiteral("cena ze sloupce %1 je příliš velká").arg(f.column);
        break;
    }
    return f.field.isEmpty() ? QStringLiteral("řádek %1: %2").arg(f.line).arg(what)
                             : QStringLiteral("řádek %1, %2: %3").arg(f.line).arg(f.field, what);
}

QString czechText(const printlist::PriceListRowsError& e) {
    QStringList lines;
    lines << QStringLiteral("Ceník nelze načíst: řádků, ze kterých nejdou udělat štítky: %1. "
                            "Do seznamu nebylo přidáno nic.")
                 .arg(e.total());
    constexpr size_t kShown = 15;
    for (size_t i = 0; i < e.faults().size() && i < kShown; ++i) {
        lines << czechText(e.faults()[i]);
    }
    if (e.total() > qint64(std::min(e.faults().size(), kShown))) {
        lines << QStringLiteral("… a další.");
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace dialogs

namespace {

const char* const kFieldCaptions[] = {"kód", "název", "cena", "text1", "text2", "text3"};
const char* const kKinds[] = {"nic", "sloupec", "cena z čísla", "jednotková cena",
                              "nejnižší cena za 30 dní"};

QString folded(const QString& s) {
    QString out;
    for (const QChar c : s.normalized(QString::NormalizationForm_D)) {
        if (c.category() != QChar::Mark_NonSpacing) {
            out += c.toLower();
        }
    }
    return out.trimmed();
}

QComboBox* columnCombo(QWidget* parent) {
    auto* c = new QComboBox(parent);
    c->setMinimumContentsLength(12);
    c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    return c;
}

// The item of a column choice that a mapping's column names: by its header text or number.
int findColumn(const QComboBox* c, const QString& ref) {
    for (int i = 0; i < c->count(); ++i) {
        const QString data = c->itemData(i).toString();
        if (data.compare(ref.trimmed(), Qt::CaseInsensitive) == 0 ||
            (!data.isEmpty() && QString::number(i + 1) == ref.trimmed())) {
            return i;
        }
    }
    return c->count() > 0 ? 0 : -1;
}

} // namespace

PriceListDialog::PriceListDialog(const dialogs::PriceListRequest& request, QWidget* parent)
    : QDialog(parent), request_(request) {
    setObjectName(QStringLiteral("cenikdialog"));
    setWindowTitle(QStringLiteral("načíst ceník – %1").arg(QFileInfo(request.path).fileName()));
    auto* top = new QVBoxLayout(this);

    auto* source = new QHBoxLayout;
    source->addWidget(new QLabel(QStringLiteral("list:"), this));
    sheet = new QComboBox(this);
    sheet->setObjectName(QStringLiteral("listcb"));
    source->addWidget(sheet);
    header = new QCheckBox(QStringLiteral("první řádek jsou názvy sloupců"), this);
    header->setObjectName(QStringLiteral("hlavickachb"));
    source->addWidget(header);
    source->addStretch();
    source->addWidget(new QLabel(QStringLiteral("uložené mapování:"), this));
    saved = new QComboBox(this);
    saved->setObjectName(QStringLiteral("ulozenecb"));
    saved->addItem(QString());
    saved->addItems(printlist::savedMappingNames(platform::Profile(request.iniPath)));
    source->addWidget(saved);
    top->addLayout(source);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("řádek štítku"), this), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("plní se z"), this), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("sloupec (cena)"), this), 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("množství"), this), 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("jednotka"), this), 0, 4);
    for (int f = 0; f < printlist::kMappedFields; ++f) {
        FieldControls& c = fields[size_t(f)];
        grid->addWidget(new QLabel(QString::fromUtf8(kFieldCaptions[f]), this), f + 1, 0);
        c.kind = new QComboBox(this);
        c.kind->setObjectName(printlist::mappedFieldNames()[f] + QStringLiteral("druh"));
        for (const char* k : kKinds) {
            c.kind->addItem(QString::fromUtf8(k));
        }
        c.column = columnCombo(this);
        c.column->setObjectName(printlist::mappedFieldNames()[f] + QStringLiteral("sloupec"));
        c.quantity = columnCombo(this);
        c.unit = columnCombo(this);
        c.per100 = new QCheckBox(QStringLiteral("za 100 g / 100 ml"), this);
        grid->addWidget(c.kind, f + 1, 1);
        grid->addWidget(c.column, f + 1, 2);
        grid->addWidget(c.quantity, f + 1, 3);
        grid->addWidget(c.unit, f + 1, 4);
        grid->addWidget(c.per100, f + 1, 5);
        connect(c.kind, &QComboBox::currentIndexChanged, this, [this, f] {
            showKind(f);
            refresh();
        });
        for (QComboBox* box : {c.column, c.quantity, c.unit}) {
            connect(box, &QComboBox::currentIndexChanged, this, &PriceListDialog::refresh);
        }
        connect(c.per100, &QCheckBox::toggled, this, &PriceListDialog::refresh);
        showKind(f);
    }
    grid->addWidget(new QLabel(QStringLiteral("počet štítků"), this), printlist::kMappedFields + 1,
                    0);
    copies = columnCombo(this);
    copies->setObjectName(QStringLiteral("pocetcb"));
    grid->addWidget(copies, printlist::kMappedFields + 1, 1, 1, 2);
    top->addLayout(grid);

    top->addWidget(
        new QLabel(QStringLiteral("Prvních 20 řádků tak, jak budou na štítcích:"), this));
    preview = new QTableWidget(this);
    preview->setObjectName(QStringLiteral("nahled"));
    preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    preview->setColumnCount(9);
    preview->setHorizontalHeaderLabels(
        {QStringLiteral("řádek"), QStringLiteral("kód"), QStringLiteral("kód se znaky"),
         QStringLiteral("název"), QStringLiteral("cena"), QStringLiteral("text1"),
         QStringLiteral("text2"), QStringLiteral("text3"), QStringLiteral("počet")});
    preview->verticalHeader()->hide();
    preview->setWordWrap(true);
    top->addWidget(preview, 1);
    status = new QLabel(this);
    status->setObjectName(QStringLiteral("stav"));
    status->setWordWrap(true);
    status->setStyleSheet(QStringLiteral("color: #b00000"));
    top->addWidget(status);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(new QLabel(QStringLiteral("uložit mapování jako:"), this));
    saveAs = new QLineEdit(this);
    saveAs->setObjectName(QStringLiteral("ulozitjakole"));
    bottom->addWidget(saveAs);
    auto* buttons = new QDialogButtonBox(this);
    addButton =
        buttons->addButton(QStringLiteral("přidat do seznamu"), QDialogButtonBox::AcceptRole);
    addButton->setObjectName(QStringLiteral("pridatcenikb"));
    buttons->addButton(QStringLiteral("zrušit"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    bottom->addWidget(buttons);
    top->addLayout(bottom);
    resize(960, 640);

    // The sheets and the header as the file has them, then a first guess of the mapping from
    // the header's names.
    filling_ = true;
    try {
        const QStringList sheets = printlist::worksheetNames(request.path);
        sheet->addItems(sheets);
        const auto first = printlist::previewPriceList(request.path, {}, request.specznak, 1);
        header->setChecked(first.hasHeader);
        fillColumns(first.columns, first.hasHeader);
        for (int f = 0; f < printlist::kMappedFields; ++f) {
            for (int i = 0; first.hasHeader && i < first.columns.size(); ++i) {
                const QString name = folded(first.columns[i]);
                if (name == printlist::mappedFieldNames()[f] ||
                    name == folded(QString::fromUtf8(kFieldCaptions[f]))) {
                    fields[size_t(f)].kind->setCurrentIndex(1);
                    fields[size_t(f)].column->setCurrentIndex(i);
                }
            }
            showKind(f);
        }
    } catch (const PriceListError& e) {
        status->setText(dialogs::czechText(e));
    }
    sheet->setVisible(sheet->count() > 0);
    filling_ = false;
    connect(sheet, &QComboBox::currentIndexChanged, this, &PriceListDialog::reloadColumns);
    connect(header, &QCheckBox::toggled, this, &PriceListDialog::reloadColumns);
    connect(copies, &QComboBox::currentIndexChanged, this, &PriceListDialog::refresh);
    connect(saved, &QComboBox::currentTextChanged, this, &PriceListDialog::loadSaved);
    connect(saveAs, &QLineEdit::textChanged, this, [this] { refresh(); });
    refresh();
}

void PriceListDialog::showKind(int f) {
    FieldControls& c = fields[size_t(f)];
    const auto kind = FieldRule::Kind(c.kind->currentIndex());
    c.column->setVisible(kind != FieldRule::Kind::None);
    const bool unit = kind == FieldRule::Kind::UnitPrice;
    c.quantity->setVisible(unit);
    c.unit->setVisible(unit);
    c.per100->setVisible(unit);
}

void PriceListDialog::fillColumns(const QStringList& columns, bool hasHeader) {
    const bool was = filling_;
    filling_ = true;
    auto fill = [&](QComboBox* box, bool none) {
        const int at = box->currentIndex();
        box->clear();
        if (none) {
            box->addItem(QStringLiteral("1 štítek na řádek"), QString());
        }
        for (int i = 0; i < columns.size(); ++i) {
            const QString ref = hasHeader ? columns[i] : QString::number(i + 1);
            box->addItem(hasHeader ? QStringLiteral("%1: %2").arg(i + 1).arg(columns[i])
                                   : QString::number(i + 1),
                         ref);
        }
        box->setCurrentIndex(std::clamp(at, 0, std::max(0, int(box->count()) - 1)));
    };
    for (FieldControls& c : fields) {
        for (QComboBox* box : {c.column, c.quantity, c.unit}) {
            fill(box, false);
        }
    }
    fill(copies, true);
    filling_ = was;
}

PriceListMapping PriceListDialog::mapping() const {
    PriceListMapping m;
    for (int f = 0; f < printlist::kMappedFields; ++f) {
        const FieldControls& c = fields[size_t(f)];
        FieldRule& r = m.fields[size_t(f)];
        r.kind = FieldRule::Kind(c.kind->currentIndex());
        if (r.kind == FieldRule::Kind::None) {
            continue;
        }
        r.column = c.column->currentData().toString();
        if (r.kind == FieldRule::Kind::UnitPrice) {
            r.quantity = c.quantity->currentData().toString();
            r.unit = c.unit->currentData().toString();
            r.per100 = c.per100->isChecked();
        }
    }
    m.copies = copies->currentData().toString();
    m.header = header->isChecked();
    m.worksheet = sheet->count() > 0 ? sheet->currentText() : QString();
    return m;
}

void PriceListDialog::setMapping(const PriceListMapping& m) {
    filling_ = true;
    if (!m.worksheet.isEmpty()) {
        const int at = sheet->findText(m.worksheet, Qt::MatchFixedString);
        if (at >= 0) {
            sheet->setCurrentIndex(at);
        }
    }
    try {
        PriceListMapping bare;
        bare.worksheet = sheet->count() > 0 ? sheet->currentText() : QString();
        bare.header = m.header;
        const auto p = printlist::previewPriceList(request_.path, bare, request_.specznak, 1);
        header->setChecked(p.hasHeader);
        fillColumns(p.columns, p.hasHeader);
    } catch (const PriceListError&) {
        // refresh() says it.
    }
    for (int f = 0; f < printlist::kMappedFields; ++f) {
        FieldControls& c = fields[size_t(f)];
        const FieldRule& r = m.fields[size_t(f)];
        c.kind->setCurrentIndex(int(r.kind));
        c.column->setCurrentIndex(findColumn(c.column, r.column));
        c.quantity->setCurrentIndex(findColumn(c.quantity, r.quantity));
        c.unit->setCurrentIndex(findColumn(c.unit, r.unit));
        c.per100->setChecked(r.per100);
        showKind(f);
    }
    copies->setCurrentIndex(m.copies.isEmpty() ? 0 : std::max(0, findColumn(copies, m.copies)));
    filling_ = false;
    refresh();
}

dialogs::PriceListChoice PriceListDialog::choice() const {
    return {mapping(), saveAs->text().trimmed()};
}

void PriceListDialog::loadSaved(const QString& name) {
    if (name.isEmpty()) {
        return;
    }
    try {
        if (const auto m = printlist::savedMapping(platform::Profile(request_.iniPath), name)) {
            setMapping(*m);
            saveAs->setText(name);
        }
    } catch (const platform::Error& e) {
        status->setText(
            QStringLiteral("Uložené mapování „%1“ nelze přečíst: %2").arg(name, e.text()));
    }
}

void PriceListDialog::reloadColumns() {
    if (filling_) {
        return;
    }
    try {
        PriceListMapping bare;
        bare.worksheet = sheet->count() > 0 ? sheet->currentText() : QString();
        bare.header = header->isChecked();
        const auto p = printlist::previewPriceList(request_.path, bare, request_.specznak, 1);
        fillColumns(p.columns, p.hasHeader);
    } catch (const PriceListError&) {
        // refresh() says it.
    }
    refresh();
}

void PriceListDialog::refresh() {
    if (filling_) {
        return;
    }
    preview->setRowCount(0);
    QString problem;
    bool rowFaults = false;
    try {
        const auto p = printlist::previewPriceList(request_.path, mapping(), request_.specznak, 20);
        preview->setRowCount(int(p.rows.size()));
        for (int r = 0; r < int(p.rows.size()); ++r) {
            const auto& row = p.rows[size_t(r)];
            preview->setItem(r, 0, new QTableWidgetItem(QString::number(row.line)));
            if (row.fault) {
                rowFaults = true;
                auto* item = new QTableWidgetItem(dialogs::czechText(*row.fault));
                item->setForeground(QColor(0xb0, 0, 0));
                preview->setItem(r, 1, item);
                preview->setSpan(r, 1, 1, 8);
                continue;
            }
            for (int v = 0; v < row.values.size(); ++v) {
                preview->setItem(r, v + 1, new QTableWidgetItem(row.values[v]));
            }
            preview->setItem(r, 8, new QTableWidgetItem(QString::number(row.copies)));
        }
        if (rowFaults) {
            problem = QStringLiteral("Některé řádky nejdou převést na štítky; opravte mapování "
                                     "nebo soubor.");
        }
    } catch (const PriceListError& e) {
        problem = dialogs::czechText(e);
    }
    if (!saveAs->text().trimmed().isEmpty() && !printlist::isMappingName(saveAs->text())) {
        problem = QStringLiteral("Název mapování nesmí být prázdný, obsahovat „=“, „[“ ani „]“ "
                                 "a začínat „;“.");
    }
    preview->resizeRowsToContents();
    status->setText(problem);
    addButton->setEnabled(problem.isEmpty());
}

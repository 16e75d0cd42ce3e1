#include "ui/archtab.h"

#include "ui/designlayout.h"
#include "ui/sheetdrawing.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <cmath>

using namespace designlayout;

namespace {

// Millimetres with one decimal: the sheet's tenths, shown as the packaging gives them.
QDoubleSpinBox* mmField(QWidget* parent, const QString& name, const QString& caption, int x,
                        int y) {
    label(parent, name + QStringLiteral("l"), caption, x, y - 15);
    auto* f = new QDoubleSpinBox(parent);
    f->setObjectName(name);
    f->setLocale(QLocale(QLocale::Czech));
    f->setDecimals(1);
    f->setSingleStep(0.1);
    // Wide bounds: a wrong value is refused with a reason, not silently clipped.
    f->setRange(-999.9, 999.9);
    f->setSuffix(QStringLiteral(" mm"));
    f->setGeometry(x, y, 75, 22);
    return f;
}

QSpinBox* countField(QWidget* parent, const QString& name, const QString& caption, int x, int y,
                     int min, int max) {
    label(parent, name + QStringLiteral("l"), caption, x, y - 15);
    auto* f = new QSpinBox(parent);
    f->setObjectName(name);
    f->setRange(min, max);
    f->setGeometry(x, y, 60, 22);
    return f;
}

int tenths(const QDoubleSpinBox* f) {
    return int(std::lround(f->value() * 10));
}

// The same labels on the same paper, whatever the switch and the fill order.
bool sameGeometry(settings::Sheet a, settings::Sheet b) {
    a.on = b.on;
    a.order = b.order;
    return a == b;
}

} // namespace

ArchTab::ArchTab(CatalogueReader reader, QWidget* parent)
    : QWidget(parent), readCatalogue_(std::move(reader)) {
    setObjectName(QStringLiteral("archts"));

    QFont heading = font();
    heading.setPixelSize(16);
    for (auto [name, text, x] :
         {std::tuple{"archnadpisl", "Arch štítků", 10},
          std::tuple{"rozmeryl", "Rozměry archu", 325}, std::tuple{"tiskl", "Tisk", 325}}) {
        QLabel* l = label(this, QString::fromLatin1(name), QString::fromUtf8(text), x,
                          QByteArray(name) == "tiskl" ? 210 : 5);
        l->setFont(heading);
        l->adjustSize();
    }

    sheetCheck = new QCheckBox(QStringLiteral("tisknout na arch podle tohoto popisu"), this);
    sheetCheck->setObjectName(QStringLiteral("archchb"));
    sheetCheck->setGeometry(10, 30, 300, 17);

    label(this, QStringLiteral("hledatl"),
          QStringLiteral("katalog archů (výrobce, číslo, rozměr):"), 10, 55);
    searchEdit = new QLineEdit(this);
    searchEdit->setObjectName(QStringLiteral("hledatle"));
    searchEdit->setGeometry(10, 70, 300, 21);
    searchEdit->setPlaceholderText(QStringLiteral("např. 3651 nebo 70 × 37"));
    catalogueList = new QListWidget(this);
    catalogueList->setObjectName(QStringLiteral("katalog"));
    catalogueList->setGeometry(10, 95, 300, 200);

    paperCombo = new QComboBox(this);
    paperCombo->setObjectName(QStringLiteral("papircb"));
    label(this, QStringLiteral("papircbl"), QStringLiteral("papír"), 325, 30);
    paperCombo->addItems({QStringLiteral("A4"), QStringLiteral("Letter")});
    paperCombo->setGeometry(325, 45, 75, 22);
    leftSpin = mmField(this, QStringLiteral("archvlevo"), QStringLiteral("levý okraj"), 410, 45);
    topSpin = mmField(this, QStringLiteral("archnahore"), QStringLiteral("horní okraj"), 495, 45);
    columnsSpin = countField(this, QStringLiteral("archsloupce"), QStringLiteral("sloupce"), 580,
                             45, -99, 999);
    columnsSpin->setFixedWidth(55);
    rowsSpin =
        countField(this, QStringLiteral("archradky"), QStringLiteral("řádky"), 640, 45, -99, 999);
    rowsSpin->setFixedWidth(55);
    widthSpin =
        mmField(this, QStringLiteral("archsirka"), QStringLiteral("šířka štítku"), 325, 100);
    heightSpin =
        mmField(this, QStringLiteral("archvyska"), QStringLiteral("výška štítku"), 410, 100);
    pitchXSpin =
        mmField(this, QStringLiteral("archroztecx"), QStringLiteral("rozteč vodorovně"), 495, 100);
    pitchYSpin =
        mmField(this, QStringLiteral("archroztecy"), QStringLiteral("rozteč svisle"), 600, 100);

    problemLabel = new QLabel(this);
    problemLabel->setObjectName(QStringLiteral("chybal"));
    problemLabel->setGeometry(325, 135, 330, 60);
    problemLabel->setWordWrap(true);
    problemLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette red = problemLabel->palette();
    red.setColor(QPalette::WindowText, QColor(192, 0, 0));
    problemLabel->setPalette(red);

    startSpin = countField(this, QStringLiteral("zacatekspin"), QStringLiteral("začít od štítku"),
                           325, 250, -99, 99999);
    startSpin->setValue(1);
    label(this, QStringLiteral("tiskarnal"), QStringLiteral("posun tisku na tiskárně"), 410, 235);
    printerCombo = new QComboBox(this);
    printerCombo->setObjectName(QStringLiteral("tiskarnacb"));
    printerCombo->setGeometry(410, 250, 160, 22);
    offsetXSpin = mmField(this, QStringLiteral("posunx"), QStringLiteral("vpravo"), 410, 295);
    offsetYSpin = mmField(this, QStringLiteral("posuny"), QStringLiteral("dolů"), 495, 295);
    alignmentButton = button(this, QStringLiteral("zkusebnib"), QStringLiteral("zkušební arch"),
                             325, 330, 141, 25);

    drawing = new SheetDrawing(this);
    drawing->setGeometry(715, 30, 160, 226);
    label(this, QStringLiteral("poradicbl"), QStringLiteral("pořadí štítků"), 715, 265);
    orderCombo = new QComboBox(this);
    orderCombo->setObjectName(QStringLiteral("poradicb"));
    orderCombo->addItems({QStringLiteral("po sloupcích"), QStringLiteral("po řádcích")});
    orderCombo->setGeometry(715, 280, 160, 22);
    QLabel* hint =
        label(this, QStringLiteral("pouzitel"),
              QStringLiteral("Použité štítky archu označíte klepnutím do kresby."), 715, 310);
    hint->setGeometry(715, 310, 160, 45);
    hint->setWordWrap(true);
    hint->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    for (QDoubleSpinBox* f : {leftSpin, topSpin, widthSpin, heightSpin, pitchXSpin, pitchYSpin}) {
        connect(f, &QDoubleSpinBox::valueChanged, this, &ArchTab::refresh);
    }
    for (QSpinBox* f : {columnsSpin, rowsSpin, startSpin}) {
        connect(f, &QSpinBox::valueChanged, this, &ArchTab::refresh);
    }
    connect(paperCombo, &QComboBox::currentIndexChanged, this, &ArchTab::refresh);
    connect(orderCombo, &QComboBox::currentIndexChanged, this, &ArchTab::refresh);
    connect(drawing, &SheetDrawing::positionClicked, this, &ArchTab::toggleUsed);
    connect(sheetCheck, &QCheckBox::toggled, this, &ArchTab::refresh);
    connect(searchEdit, &QLineEdit::textChanged, this, &ArchTab::search);
    connect(catalogueList, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && size_t(row) < shown_.size()) {
            applyEntry(shown_[size_t(row)]);
        }
    });
    connect(printerCombo, &QComboBox::currentIndexChanged, this, &ArchTab::showOffset);
    connect(offsetXSpin, &QDoubleSpinBox::valueChanged, this, &ArchTab::storeOffset);
    connect(offsetYSpin, &QDoubleSpinBox::valueChanged, this, &ArchTab::storeOffset);
    connect(alignmentButton, &QPushButton::clicked, this, &ArchTab::alignmentPageRequested);

    setSheet(settings::Sheet{});
}

void ArchTab::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    readCatalogue();
}

void ArchTab::readCatalogue() {
    if (catalogueRead_) {
        return;
    }
    catalogueRead_ = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    catalogue_ = readCatalogue_ ? readCatalogue_() : std::vector<settings::CatalogueEntry>{};
    QApplication::restoreOverrideCursor();
    search(searchEdit->text());
}

settings::Sheet ArchTab::sheet() const {
    settings::Sheet s;
    s.on = sheetCheck->isChecked();
    s.paper =
        paperCombo->currentIndex() == 1 ? settings::SheetPaper::Letter : settings::SheetPaper::A4;
    s.left = tenths(leftSpin);
    s.top = tenths(topSpin);
    s.width = tenths(widthSpin);
    s.height = tenths(heightSpin);
    s.pitchX = tenths(pitchXSpin);
    s.pitchY = tenths(pitchYSpin);
    s.columns = columnsSpin->value();
    s.rows = rowsSpin->value();
    s.order =
        orderCombo->currentIndex() == 1 ? settings::FillOrder::Rows : settings::FillOrder::Columns;
    return s;
}

void ArchTab::setSheet(const settings::Sheet& s) {
    filling_ = true;
    sheetCheck->setChecked(s.on);
    paperCombo->setCurrentIndex(s.paper == settings::SheetPaper::Letter ? 1 : 0);
    leftSpin->setValue(s.left / 10.0);
    topSpin->setValue(s.top / 10.0);
    widthSpin->setValue(s.width / 10.0);
    heightSpin->setValue(s.height / 10.0);
    pitchXSpin->setValue(s.pitchX / 10.0);
    pitchYSpin->setValue(s.pitchY / 10.0);
    columnsSpin->setValue(s.columns);
    rowsSpin->setValue(s.rows);
    orderCombo->setCurrentIndex(s.order == settings::FillOrder::Rows ? 1 : 0);
    filling_ = false;
    refresh();
}

int ArchTab::startPosition() const {
    return startSpin->value();
}

void ArchTab::setStartPosition(int n) {
    startSpin->setValue(n);
}

settings::UsedPositions ArchTab::usedPositions() const {
    const settings::Sheet s = sheet();
    settings::UsedPositions used;
    for (const auto& [row, column] : usedCells_) {
        // Cells of a larger sheet typed in before are kept, but are no positions of this one.
        if (row < s.rows && column < s.columns) {
            used.insert(s.positionAt(row, column));
        }
    }
    return used;
}

void ArchTab::toggleUsed(int n) {
    const settings::Sheet s = sheet();
    if (n < 0 || n >= s.labelsPerSheet()) {
        return;
    }
    const std::pair cell{s.rowOf(n), s.columnOf(n)};
    if (!usedCells_.erase(cell)) {
        usedCells_.insert(cell);
    }
    refresh();
}

void ArchTab::setOffsets(const settings::PrinterOffsets& offsets, const QStringList& printers,
                         const QString& defaultPrinter) {
    offsets_ = offsets;
    QStringList names = printers;
    for (const auto& [name, offset] : offsets_) {
        if (!names.contains(name)) {
            names.append(name);
        }
    }
    filling_ = true;
    printerCombo->clear();
    printerCombo->addItems(names);
    // The printer a print goes to unless told otherwise is the one whose offset matters first.
    if (const int at = printerCombo->findText(defaultPrinter); at >= 0) {
        printerCombo->setCurrentIndex(at);
    }
    filling_ = false;
    showOffset();
}

std::optional<QString> ArchTab::problem() const {
    const settings::Sheet s = sheet();
    if (!s.on) {
        return std::nullopt;
    }
    if (auto p = settings::sheetProblem(s)) {
        return p;
    }
    if (auto p = settings::startProblem(startPosition(), s.labelsPerSheet())) {
        return p;
    }
    return settings::usedProblem(s, startPosition(), usedPositions());
}

void ArchTab::applyEntry(const settings::CatalogueEntry& entry) {
    settings::Sheet s = entry.sheet;
    s.on = true;
    setSheet(s);
}

void ArchTab::search(const QString& typed) {
    if (!catalogueRead_) {
        readCatalogue(); // searches for what is typed
        return;
    }
    shown_ = settings::searchCatalogue(catalogue_, typed);
    const QSignalBlocker quiet(catalogueList);
    catalogueList->clear();
    for (const settings::CatalogueEntry& e : shown_) {
        catalogueList->addItem(e.description());
    }
    highlightCatalogue();
}

void ArchTab::highlightCatalogue() {
    const settings::Sheet s = sheet();
    const auto matches = [&](int row) {
        return s.on && row >= 0 && size_t(row) < shown_.size() &&
               sameGeometry(shown_[size_t(row)].sheet, s);
    };
    int row = catalogueList->currentRow();
    if (!matches(row)) {
        row = -1;
        for (int r = 0; r < int(shown_.size()) && row < 0; ++r) {
            if (matches(r)) {
                row = r;
            }
        }
    }
    // Choosing an entry applies it; here the list only follows the sheet.
    const QSignalBlocker quiet(catalogueList);
    if (row < 0) {
        catalogueList->setCurrentRow(-1);
        catalogueList->clearSelection();
    } else if (row != catalogueList->currentRow()) {
        catalogueList->setCurrentRow(row);
        catalogueList->scrollToItem(catalogueList->item(row));
    }
}

void ArchTab::refresh() {
    if (filling_) {
        return;
    }
    const settings::Sheet s = sheet();
    const auto why = problem();
    problemLabel->setText(why.value_or(QString()));
    drawing->show(s, std::max(0, startPosition() - 1), usedPositions());
    highlightCatalogue();
}

void ArchTab::showOffset() {
    const auto it = offsets_.find(printerCombo->currentText());
    const settings::PrinterOffset o = it == offsets_.end() ? settings::PrinterOffset{} : it->second;
    filling_ = true;
    offsetXSpin->setValue(o.x / 10.0);
    offsetYSpin->setValue(o.y / 10.0);
    filling_ = false;
    const bool printer = printerCombo->count() > 0;
    offsetXSpin->setEnabled(printer);
    offsetYSpin->setEnabled(printer);
}

void ArchTab::storeOffset() {
    if (filling_ || printerCombo->currentText().isEmpty()) {
        return;
    }
    offsets_[printerCombo->currentText()] = {tenths(offsetXSpin), tenths(offsetYSpin)};
}

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

    archchb = new QCheckBox(QStringLiteral("tisknout na arch podle tohoto popisu"), this);
    archchb->setObjectName(QStringLiteral("archchb"));
    archchb->setGeometry(10, 30, 300, 17);

    label(this, QStringLiteral("hledatl"),
          QStringLiteral("katalog archů (výrobce, číslo, rozměr):"), 10, 55);
    hledatle = new QLineEdit(this);
    hledatle->setObjectName(QStringLiteral("hledatle"));
    hledatle->setGeometry(10, 70, 300, 21);
    hledatle->setPlaceholderText(QStringLiteral("např. 3651 nebo 70 × 37"));
    katalog = new QListWidget(this);
    katalog->setObjectName(QStringLiteral("katalog"));
    katalog->setGeometry(10, 95, 300, 200);

    papircb = new QComboBox(this);
    papircb->setObjectName(QStringLiteral("papircb"));
    label(this, QStringLiteral("papircbl"), QStringLiteral("papír"), 325, 30);
    papircb->addItems({QStringLiteral("A4"), QStringLiteral("Letter")});
    papircb->setGeometry(325, 45, 75, 22);
    vlevo = mmField(this, QStringLiteral("archvlevo"), QStringLiteral("levý okraj"), 410, 45);
    nahore = mmField(this, QStringLiteral("archnahore"), QStringLiteral("horní okraj"), 495, 45);
    sloupce = countField(this, QStringLiteral("archsloupce"), QStringLiteral("sloupce"), 580, 45,
                         -99, 999);
    sloupce->setFixedWidth(55);
    radky =
        countField(this, QStringLiteral("archradky"), QStringLiteral("řádky"), 640, 45, -99, 999);
    radky->setFixedWidth(55);
    sirka = mmField(this, QStringLiteral("archsirka"), QStringLiteral("šířka štítku"), 325, 100);
    vyska = mmField(this, QStringLiteral("archvyska"), QStringLiteral("výška štítku"), 410, 100);
    roztecx =
        mmField(this, QStringLiteral("archroztecx"), QStringLiteral("rozteč vodorovně"), 495, 100);
    roztecy =
        mmField(this, QStringLiteral("archroztecy"), QStringLiteral("rozteč svisle"), 600, 100);

    chybal = new QLabel(this);
    chybal->setObjectName(QStringLiteral("chybal"));
    chybal->setGeometry(325, 135, 330, 60);
    chybal->setWordWrap(true);
    chybal->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette red = chybal->palette();
    red.setColor(QPalette::WindowText, QColor(192, 0, 0));
    chybal->setPalette(red);

    zacatekspin = countField(this, QStringLiteral("zacatekspin"), QStringLiteral("začít od štítku"),
                             325, 250, -99, 99999);
    zacatekspin->setValue(1);
    label(this, QStringLiteral("tiskarnal"), QStringLiteral("posun tisku na tiskárně"), 410, 235);
    tiskarnacb = new QComboBox(this);
    tiskarnacb->setObjectName(QStringLiteral("tiskarnacb"));
    tiskarnacb->setGeometry(410, 250, 160, 22);
    posunx = mmField(this, QStringLiteral("posunx"), QStringLiteral("vpravo"), 410, 295);
    posuny = mmField(this, QStringLiteral("posuny"), QStringLiteral("dolů"), 495, 295);
    zkusebnib = button(this, QStringLiteral("zkusebnib"), QStringLiteral("zkušební arch"), 325, 330,
                       141, 25);

    kresba = new SheetDrawing(this);
    kresba->setGeometry(715, 30, 160, 226);

    for (QDoubleSpinBox* f : {vlevo, nahore, sirka, vyska, roztecx, roztecy}) {
        connect(f, &QDoubleSpinBox::valueChanged, this, &ArchTab::refresh);
    }
    for (QSpinBox* f : {sloupce, radky, zacatekspin}) {
        connect(f, &QSpinBox::valueChanged, this, &ArchTab::refresh);
    }
    connect(papircb, &QComboBox::currentIndexChanged, this, &ArchTab::refresh);
    connect(archchb, &QCheckBox::toggled, this, &ArchTab::refresh);
    connect(hledatle, &QLineEdit::textChanged, this, &ArchTab::search);
    connect(katalog, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && size_t(row) < shown_.size()) {
            applyEntry(shown_[size_t(row)]);
        }
    });
    connect(tiskarnacb, &QComboBox::currentIndexChanged, this, &ArchTab::showOffset);
    connect(posunx, &QDoubleSpinBox::valueChanged, this, &ArchTab::storeOffset);
    connect(posuny, &QDoubleSpinBox::valueChanged, this, &ArchTab::storeOffset);
    connect(zkusebnib, &QPushButton::clicked, this, &ArchTab::alignmentPageRequested);

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
    search(hledatle->text());
}

settings::Sheet ArchTab::sheet() const {
    settings::Sheet s;
    s.on = archchb->isChecked();
    s.paper =
        papircb->currentIndex() == 1 ? settings::SheetPaper::Letter : settings::SheetPaper::A4;
    s.left = tenths(vlevo);
    s.top = tenths(nahore);
    s.width = tenths(sirka);
    s.height = tenths(vyska);
    s.pitchX = tenths(roztecx);
    s.pitchY = tenths(roztecy);
    s.columns = sloupce->value();
    s.rows = radky->value();
    return s;
}

void ArchTab::setSheet(const settings::Sheet& s) {
    filling_ = true;
    archchb->setChecked(s.on);
    papircb->setCurrentIndex(s.paper == settings::SheetPaper::Letter ? 1 : 0);
    vlevo->setValue(s.left / 10.0);
    nahore->setValue(s.top / 10.0);
    sirka->setValue(s.width / 10.0);
    vyska->setValue(s.height / 10.0);
    roztecx->setValue(s.pitchX / 10.0);
    roztecy->setValue(s.pitchY / 10.0);
    sloupce->setValue(s.columns);
    radky->setValue(s.rows);
    filling_ = false;
    refresh();
}

int ArchTab::startPosition() const {
    return zacatekspin->value();
}

void ArchTab::setStartPosition(int n) {
    zacatekspin->setValue(n);
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
    tiskarnacb->clear();
    tiskarnacb->addItems(names);
    // The printer a print goes to unless told otherwise is the one whose offset matters first.
    if (const int at = tiskarnacb->findText(defaultPrinter); at >= 0) {
        tiskarnacb->setCurrentIndex(at);
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
    return settings::startProblem(startPosition(), s.labelsPerSheet());
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
    const QSignalBlocker quiet(katalog);
    katalog->clear();
    for (const settings::CatalogueEntry& e : shown_) {
        katalog->addItem(e.description());
    }
}

void ArchTab::refresh() {
    if (filling_) {
        return;
    }
    const settings::Sheet s = sheet();
    const auto why = problem();
    chybal->setText(why.value_or(QString()));
    kresba->show(s, std::max(0, startPosition() - 1));
}

void ArchTab::showOffset() {
    const auto it = offsets_.find(tiskarnacb->currentText());
    const settings::PrinterOffset o = it == offsets_.end() ? settings::PrinterOffset{} : it->second;
    filling_ = true;
    posunx->setValue(o.x / 10.0);
    posuny->setValue(o.y / 10.0);
    filling_ = false;
    const bool printer = tiskarnacb->count() > 0;
    posunx->setEnabled(printer);
    posuny->setEnabled(printer);
}

void ArchTab::storeOffset() {
    if (filling_ || tiskarnacb->currentText().isEmpty()) {
        return;
    }
    offsets_[tiskarnacb->currentText()] = {tenths(posunx), tenths(posuny)};
}

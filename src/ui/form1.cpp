#include "ui/form1.h"

#include "platform/errorhandler.h"
#include "platform/programdir.h"
#include "platform/prompts.h"
#include "settings/fontfile.h"
#include "ui/colourswatch.h"
#include "ui/infotab.h"
#include "ui/listgrid.h"
#include "ui/listgridmodel.h"
#include "ui/nastavenitab.h"
#include "ui/slotfontdialog.h"
#include "ui/spinfield.h"
#include "ui/stitkytab.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QScreen>
#include <QTabWidget>

namespace {

QString fatalText(const QString& dir) {
    return QStringLiteral("Není možné se připojit k databázi: ") + dir +
           QStringLiteral("seznam.db, tato chyba může nastat jestliže došlo k poškození nebo "
                          "smazání databáze, nebo se v cestě nacházejí nepřípustné znaky - mezery "
                          "nebo znaky s diakritikou. Program nemůže pokračovat a bude ukončen.");
}

// Designed widths of the grid's columns before start-up sets the stored ones; 0 = the grid's
// own default.
constexpr int kDesignedWidths[settings::kGridColumns] = {0, 79, 61, 56, 0, 0, 0};

} // namespace

TForm1::TForm1(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Dravelin"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPixelSize(11);
    setFont(f);
    setFixedSize(892, 473);

    pc1 = new QTabWidget(this);
    pc1->setObjectName(QStringLiteral("pc1"));
    pc1->setGeometry(5, 10, 851, 461);
    stitkyts = new StitkyTab;
    nastavenits = new NastaveniTab;
    infots = new InfoTab;
    pc1->addTab(stitkyts, QStringLiteral("štítky"));
    pc1->addTab(nastavenits, QStringLiteral("nastavení"));
    pc1->addTab(infots, QStringLiteral("info"));
    pc1->setCurrentWidget(stitkyts);

    for (int i = 0; i < settings::SlotCount; ++i) {
        fontdialog[size_t(i)] =
            new SlotFontDialog(settings::slotNames()[size_t(i)] + QStringLiteral("fontdialog"), this);
    }

    gridModel_ = new ListGridModel(this);
    gridModel_->setView(&store_.listView());
    stitkyts->DBGrid1->setModel(gridModel_);
    for (int i = 0; i < settings::kGridColumns; ++i) {
        if (kDesignedWidths[i] > 0) {
            stitkyts->DBGrid1->setColumnWidth(i, kDesignedWidths[i]);
        }
    }
    connect(stitkyts->DBGrid1, &ListGrid::rowPressed, this, &TForm1::gridRowPressed);
    connect(stitkyts->DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) {
                    store_.listView().moveTo(current.row() + 1);
                    gridModel_->currentRowChanged();
                }
            });
    connect(stitkyts->DBGrid1, &ListGrid::keyDown, this, &TForm1::DBGrid1KeyDown);

    // Centred on the screen when first shown.
    if (const QScreen* screen = this->screen()) {
        move(screen->availableGeometry().center() - rect().center());
    }

    startup();
}

TForm1::~TForm1() = default;

void TForm1::startup() {
    try {
        const QString dir = platform::programDirectory();
        const platform::Profile ini(dir + QString::fromLatin1(settings::kSettingsFileName));
        putLayoutSettings(settings::readSetup(ini, layoutSettings()));
        setcolumnwidth(settings::readColumns(ini));
        openStore();
        readFontFile();
        pc1->setGeometry(rect());
        pc1->setCurrentWidget(stitkyts);
    } catch (const std::exception& e) {
        // An error ends the start-up sequence where it stands; the program goes on.
        platform::reportError(e);
    }
}

void TForm1::openStore() {
    const QString dir = platform::programDirectory();
    try {
        store_.open(dir + QStringLiteral("seznam.db"));
    } catch (const std::exception&) {
        fatal_ = true;
        prompts::message({QStringLiteral("Fatal error"), fatalText(dir), prompts::Icon::Critical,
                          prompts::Buttons::Ok});
    }
    gridModel_->reset();
    showFirstRow();
}

void TForm1::readFontFile() {
    const QString path = platform::programDirectory() + QString::fromLatin1(settings::kFontFileName);
    if (!QFile::exists(path)) {
        return;
    }
    // All seven records are read before any slot font changes.
    settings::SlotFonts current;
    for (int i = 0; i < settings::SlotCount; ++i) {
        current[size_t(i)] = fontdialog[size_t(i)]->font();
    }
    const settings::SlotFonts fonts = settings::readFontFile(path, current);
    for (int i = 0; i < settings::SlotCount; ++i) {
        fontdialog[size_t(i)]->setFont(fonts[size_t(i)]);
    }
}

void TForm1::shutdown() {
    const QString dir = platform::programDirectory();
    platform::Profile ini(dir + QString::fromLatin1(settings::kSettingsFileName));
    settings::writeSetup(ini, layoutSettings());
    settings::writeColumns(ini, columnWidths());
    ini.save();
    settings::SlotFonts fonts;
    for (int i = 0; i < settings::SlotCount; ++i) {
        fonts[size_t(i)] = fontdialog[size_t(i)]->font();
    }
    settings::writeFontFile(dir + QString::fromLatin1(settings::kFontFileName), fonts);
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (fatal_) {
        event->accept();
        return;
    }
    // A failed write is shown and keeps the window open; the next close tries everything again.
    if (platform::guard([this] { shutdown(); })) {
        event->accept();
    } else {
        event->ignore();
    }
}

void TForm1::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        FormActivate();
    }
}

void TForm1::FormActivate() { stitkyts->kodle->setFocus(Qt::ActiveWindowFocusReason); }

settings::LayoutSettings TForm1::layoutSettings() const {
    settings::LayoutSettings s;
    const NastaveniTab* t = nastavenits;
    s.vlevo = t->vlevospin->value();
    s.nahore = t->nahorespin->value();
    s.sloupce = t->sloupcespin->value();
    s.vyskabunky = t->vyskabunkyspin->value();
    s.bordercolor = t->bordershape->colour();
    s.pozadi = t->pozadishape->colour();
    s.specznak = t->specznakle->text();
    for (int i = 0; i < settings::SlotCount; ++i) {
        auto& line = s.lines[size_t(i)];
        line.top = t->topspin[size_t(i)]->value();
        line.left = t->leftspin[size_t(i)]->value();
        line.on = t->chb[size_t(i)]->isChecked();
        line.font = fontdialog[size_t(i)]->font();
    }
    return s;
}

void TForm1::putLayoutSettings(const settings::LayoutSettings& s) {
    NastaveniTab* t = nastavenits;
    t->vlevospin->setValue(s.vlevo);
    t->nahorespin->setValue(s.nahore);
    t->sloupcespin->setValue(s.sloupce);
    t->vyskabunkyspin->setValue(s.vyskabunky);
    t->bordershape->setColour(s.bordercolor);
    t->pozadishape->setColour(s.pozadi);
    t->specznakle->setText(s.specznak);
    for (int i = 0; i < settings::SlotCount; ++i) {
        const auto& line = s.lines[size_t(i)];
        t->topspin[size_t(i)]->setValue(line.top);
        t->leftspin[size_t(i)]->setValue(line.left);
        t->chb[size_t(i)]->setChecked(line.on);
        fontdialog[size_t(i)]->setFont(line.font);
    }
}

void TForm1::prikaz(const QString& sql) { store_.prikaz(sql); }

void TForm1::reloadList() {
    // Reset even when the reload fails part-way, so the grid never shows rows that are gone.
    struct Refresh {
        TForm1* form;
        ~Refresh() {
            form->gridModel_->reset();
            form->showFirstRow();
        }
    } refresh{this};
    store_.reload();
}

void TForm1::showFirstRow() {
    if (store_.listView().rowCount() > 0) {
        stitkyts->DBGrid1->selectRow(0);
    }
}

std::array<int, settings::kGridColumns> TForm1::columnWidths() const {
    std::array<int, settings::kGridColumns> w{};
    for (int i = 0; i < settings::kGridColumns; ++i) {
        w[size_t(i)] = stitkyts->DBGrid1->columnWidth(i);
    }
    return w;
}

void TForm1::setcolumnwidth(const std::array<int, settings::kGridColumns>& widths) {
    for (int i = 0; i < settings::kGridColumns; ++i) {
        if (widths[size_t(i)] != -1) {
            stitkyts->DBGrid1->setColumnWidth(i, widths[size_t(i)]);
        }
    }
}

void TForm1::gridRowPressed(int row) {
    store_.listView().moveTo(row + 1);
    gridModel_->currentRowChanged();
    stitkyts->DBGrid1->selectRow(row);
}

void TForm1::DBGrid1KeyDown(QKeyEvent* event) {
    if (event->key() == Qt::Key_F12 && (event->modifiers() & Qt::ControlModifier)) {
        prompts::message({QStringLiteral("informace"), InfoTab::authorshipLine(),
                          prompts::Icon::Information, prompts::Buttons::Ok});
    }
}

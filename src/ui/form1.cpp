#include "ui/form1.h"

#include "labelprint/printrequest.h"
#include "labelprint/windows/tiskunit.h"
#include "platform/errorhandler.h"
#include "platform/fileerror.h"
#include "platform/outputfile.h"
#include "platform/programdir.h"
#include "platform/prompts.h"
#include "platform/qtsettings.h"
#include "printlist/listcommands.h"
#include "printlist/listfile.h"
#include "printlist/listundo.h"
#include "printlist/openstore.h"
#include "printlist/savedmappings.h"
#include "settings/barcodestore.h"
#include "settings/fitstore.h"
#include "settings/fontfile.h"
#include "settings/sheetstore.h"
#include "ui/archtab.h"
#include "ui/colourswatch.h"
#include "ui/dialogseam.h"
#include "ui/filecommands.h"
#include "ui/infotab.h"
#include "ui/listfollower.h"
#include "ui/listgrid.h"
#include "ui/listgridmodel.h"
#include "ui/nastavenitab.h"
#include "ui/pricelistdialog.h"
#include "ui/slotfontcontrol.h"
#include "ui/slottab.h"
#include "ui/spinfield.h"
#include "ui/stitkytab.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QUrl>

namespace {

QString fatalText(const QString& dir) {
    return QStringLiteral("Není možné se připojit k databázi: ") + dir +
           QStringLiteral("seznam.db, tato chyba může nastat jestliže došlo k poškození nebo "
                          "smazání databáze, nebo se v cestě nacházejí nepřípustné znaky - mezery "
                          "nebo znaky s diakritikou. Program nemůže pokračovat a bude ukončen.");
}

// The same fatal path for a server that cannot be reached, with the server's own message on
// the line below.
QString serverFatalText(const QString& server, const QString& message) {
    return QStringLiteral("Není možné se připojit k databázi: ") + printlist::shownServer(server) +
           QStringLiteral(". Program nemůže pokračovat a bude ukončen.\n") + message;
}

// Designed widths of the grid's columns before start-up sets the stored ones; 0 = the grid's
// own default.
constexpr int kDesignedWidths[settings::kGridColumns] = {0, 79, 61, 56, 0, 0, 0};

// Shows the save dialog sd1 or the open dialog OpenDialog1: no title, filter or default
// extension of their own, no question before a file is replaced, the file of the previous
// confirmed use offered. Nothing when cancelled or when the chosen name is empty.
std::optional<QString> chooseFile(prompts::FileRequest::Kind kind,
                                  const TForm1::FileDialogState& dialog) {
    auto chosen = prompts::chooseFile({.kind = kind,
                                       .initialDir = dialog.initialDir,
                                       .fileName = dialog.fileName,
                                       .overwritePrompt = false});
    if (!chosen || chosen->isEmpty()) {
        return std::nullopt;
    }
    return chosen;
}

// A fault of a print request in the window's words.
QString faultText(const labelprint::RequestFault& f) {
    switch (f.kind()) {
    case labelprint::RequestFault::Kind::FontFile:
        return platform::fileErrorText(f.fileError());
    case labelprint::RequestFault::Kind::SheetUnprintable:
    case labelprint::RequestFault::Kind::NoFreePosition:
        return f.reason();
    case labelprint::RequestFault::Kind::StartPastSheet:
        return settings::startProblem(f.start(), f.perPage()).value_or(f.text());
    case labelprint::RequestFault::Kind::NoSettingsFolder:
    case labelprint::RequestFault::Kind::NotAFolder:
        break; // the window reads only its own program directory
    }
    return f.text();
}

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
    archts = new ArchTab([] { return settings::fullCatalogue(); });
    pc1->addTab(stitkyts, QStringLiteral("štítky"));
    pc1->addTab(nastavenits, QStringLiteral("nastavení"));
    pc1->addTab(infots, QStringLiteral("info"));
    pc1->addTab(archts, QStringLiteral("arch"));
    slotts = new SlotTab([this] { return chosenPrinterDpi(); });
    pc1->addTab(slotts, QStringLiteral("řádky"));
    // The sample draws the digits in the slot's font as the nastavení tab now has it.
    connect(pc1, &QTabWidget::currentChanged, this, [this] {
        if (pc1->currentWidget() == slotts) {
            slotts->putSlots(layoutSettings());
        }
    });
    pc1->setCurrentWidget(stitkyts);

    for (int i = 0; i < settings::SlotCount; ++i) {
        fontdialog[size_t(i)] =
            new SlotFont(settings::slotNames()[size_t(i)] + QStringLiteral("fontdialog"), this);
    }

    gridModel_ = new ListGridModel(this);
    follower_ = new ListFollower([this]() -> printlist::Store& { return *store_; }, this);
    connect(follower_, &ListFollower::noticeArrived, this, &TForm1::listChangedElsewhere);
    connect(follower_, &ListFollower::reconnected, this, [this] {
        // What others did while the connection was down came with no notice.
        try {
            keepCurrentRowAcross([this] { return store_->catchUp(); });
        } catch (const platform::Error&) {
            // Gone again: the follower tries anew.
        }
        watchChanges();
    });
    // Unconnected until start-up opens the store the settings name.
    store_ = printlist::makeStore(QString(), QString());
    gridModel_->setView(&store_->listView());
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
                    store_->listView().moveTo(current.row() + 1);
                    gridModel_->currentRowChanged();
                }
            });
    connect(stitkyts->DBGrid1, &ListGrid::keyDown, this, &TForm1::DBGrid1KeyDown);

    connect(stitkyts->pridatb, &QPushButton::clicked, this, &TForm1::pridatbClick);
    connect(stitkyts->vymazatb, &QPushButton::clicked, this, &TForm1::vymazatbClick);
    connect(stitkyts->vymazatpoloku1, &QAction::triggered, this, &TForm1::vymazatpoloku1Click);
    connect(stitkyts->tiskb, &QPushButton::clicked, this, &TForm1::tiskbClick);
    connect(stitkyts->ulozitseznamb, &QPushButton::clicked, this, &TForm1::ulozitseznambClick);
    connect(stitkyts->nacistseznamb, &QPushButton::clicked, this, &TForm1::nacistseznambClick);
    connect(stitkyts->nacistcenikb, &QPushButton::clicked, this, &TForm1::nacistcenikbClick);
    connect(nastavenits->ulozitb, &QPushButton::clicked, this, &TForm1::ulozitbClick);
    connect(nastavenits->nacistb, &QPushButton::clicked, this, &TForm1::nacistbClick);
    for (int i = 0; i < settings::SlotCount; ++i) {
        connect(nastavenits->fontbutton[size_t(i)], &QPushButton::clicked, this,
                [this, i] { fontButtonClick(i); });
    }
    for (ColourSwatch* shape : {nastavenits->bordershape, nastavenits->pozadishape}) {
        connect(shape, &ColourSwatch::pressed, this, [this, shape] { shapeMouseDown(shape); });
    }
    connect(infots, &InfoTab::contactClicked, this, &TForm1::Label23Click);
    connect(archts, &ArchTab::alignmentPageRequested, this, &TForm1::zkusebnibClick);
    // Ctrl+Z anywhere in the window takes the list back one step.
    auto* undo = new QAction(this);
    undo->setShortcut(QKeySequence::Undo);
    undo->setShortcutContext(Qt::WindowShortcut);
    addAction(undo);
    connect(undo, &QAction::triggered, this, &TForm1::undoListCommand);

    // Centred on the screen when first shown.
    if (const QScreen* screen = this->screen()) {
        move(screen->availableGeometry().center() - rect().center());
    }

    platform::keepQtSettingsInMemory();
    startup();
}

TForm1::~TForm1() = default;

void TForm1::startup() {
    try {
        const QString dir = platform::programDirectory();
        // What a killed earlier run was writing when it died; only one program uses this
        // directory at a time, so none of them is still being written.
        platform::removeStaleTemporaries(dir, {QString::fromLatin1(settings::kSettingsFileName),
                                               QString::fromLatin1(settings::kFontFileName)});
        const platform::Profile ini(dir + QString::fromLatin1(settings::kSettingsFileName));
        putLayoutSettings(labelprint::readLayoutSettings(ini, layoutSettings()));
        // A refused offset is left out and said; the file keeps it until the tab sets another.
        QStringList refused;
        archts->setOffsets(settings::readPrinterOffsets(ini, &refused),
                           QPrinterInfo::availablePrinterNames(),
                           QPrinterInfo::defaultPrinterName());
        if (!refused.isEmpty()) {
            platform::reportError(platform::Error(refused.join(QLatin1Char('\n'))));
        }
        setcolumnwidth(settings::readColumns(ini));
        openStore(printlist::configuredServer(ini));
        readFontFile();
        pc1->setGeometry(rect());
        pc1->setCurrentWidget(stitkyts);
    } catch (const std::exception& e) {
        // An error ends the start-up sequence where it stands; the program goes on.
        platform::reportError(e);
    }
}

void TForm1::openStore(const QString& server) {
    const QString dir = platform::programDirectory();
    store_ = printlist::makeStore(server, dir + QStringLiteral("seznam.db"));
    gridModel_->setView(&store_->listView());
    bool failed = false;
    bool busy = false;
    QString message;
    try {
        store_->open();
    } catch (const printlist::DatabaseError& e) {
        failed = true;
        busy = e.kind() == printlist::DatabaseError::Kind::Busy;
        message = e.text();
    } catch (const std::exception& e) {
        failed = true;
        message = QString::fromUtf8(e.what());
    }
    if (failed) {
        fatal_ = true;
        QString text;
        if (!server.isEmpty()) {
            text = serverFatalText(server, message);
        } else {
            text = fatalText(dir);
            if (busy) {
                // Nothing is damaged: another program holds the list locked.
                text += QStringLiteral("\nDatabázi právě zamyká jiný program, zkuste program "
                                       "spustit znovu, až ji uvolní.");
            } else {
                // Where it was looked for and how to get a new one, for a user who never saw it.
                text += QStringLiteral("\nDatabáze byla hledána v souboru %1; prázdnou databázi "
                                       "vytvoří ./run.sh nebo make install.")
                            .arg(QDir::toNativeSeparators(dir + QStringLiteral("seznam.db")));
            }
        }
        prompts::message(
            {QStringLiteral("Fatal error"), text, prompts::Icon::Critical, prompts::Buttons::Ok});
    }
    gridModel_->reset();
    showFirstRow();
    watchChanges();
}

void TForm1::watchChanges() {
    follower_->follow();
}

void TForm1::listChangedElsewhere() {
    if (store_->takeChanges()) {
        reloadKeepingCurrent();
    }
    watchChanges();
}

void TForm1::reloadKeepingCurrent() {
    try {
        keepCurrentRowAcross([this] {
            store_->reload();
            return true;
        });
    } catch (const platform::Error&) {
        // The next list command reports a lost connection; the grid keeps what it shows.
    }
}

void TForm1::catchUp() {
    try {
        keepCurrentRowAcross([this] { return store_->catchUp(); });
    } catch (const platform::Error&) {
        watchChanges();
        throw;
    }
    // Catching up may have made the connection again.
    watchChanges();
}

void TForm1::keepCurrentRowAcross(const std::function<bool()>& read) {
    printlist::RowSet& view = store_->listView();
    const int oldRow = view.currentRow();
    const QString key = oldRow > 0 ? view.at(oldRow - 1, 0) : QString();
    if (!read()) {
        return;
    }
    int row = 0;
    for (int r = 0; r < view.rowCount() && !key.isEmpty(); ++r) {
        if (view.at(r, 0) == key) {
            row = r + 1;
            break;
        }
    }
    if (row == 0) {
        row = std::min(std::max(oldRow, 1), view.rowCount());
    }
    view.moveTo(row);
    gridModel_->reset();
    if (row > 0) {
        stitkyts->DBGrid1->selectRow(row - 1);
        view.moveTo(row);
    }
}

void TForm1::readFontFile() {
    settings::LayoutSettings layout = layoutSettings();
    try {
        labelprint::readSlotFonts(platform::programDirectory(), layout);
    } catch (const labelprint::RequestFault& f) {
        throw platform::Error(faultText(f));
    }
    for (int i = 0; i < settings::SlotCount; ++i) {
        fontdialog[size_t(i)]->setFont(layout.lines[size_t(i)].font);
    }
}

void TForm1::shutdown() {
    const QString dir = platform::programDirectory();
    platform::Profile ini(dir + QString::fromLatin1(settings::kSettingsFileName));
    const settings::LayoutSettings layout = layoutSettings();
    settings::writeSetup(ini, layout);
    settings::writeColumns(ini, columnWidths());
    // Only a user who turned to the sheet or the offsets finds their sections in the file.
    if (layout.sheet.on || !ini.keys(QStringLiteral("arch")).isEmpty()) {
        settings::writeArch(ini, layout.sheet);
    }
    settings::writeBarcodes(ini, layout);
    settings::writePrinterOffsets(ini, archts->offsets());
    settings::writeFitRules(ini, settings::fitRulesOf(layout));
    ini.save();
    settings::writeFontFile(dir + QString::fromLatin1(settings::kFontFileName),
                            settings::slotFonts(layout));
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (fatal_) {
        event->accept();
        return;
    }
    // Asked again right after a failed write (a read-only program directory, a full disk): the
    // user may go without the settings rather than be kept for ever.
    if (closeFailed_ &&
        prompts::message({platform::programTitle(), QStringLiteral("Zavřít bez uložení nastavení?"),
                          prompts::Icon::Question, prompts::Buttons::YesNo}) ==
            prompts::Answer::Yes) {
        event->accept();
        return;
    }
    // A failed write is shown and keeps the window open; the next close tries everything again.
    if (platform::guard([this] { shutdown(); })) {
        event->accept();
    } else {
        closeFailed_ = true;
        event->ignore();
    }
}

void TForm1::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        FormActivate();
    }
}

void TForm1::FormActivate() {
    stitkyts->kodle->setFocus(Qt::ActiveWindowFocusReason);
}

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
    s.sheet = archts->sheet();
    slotts->takeSlots(s);
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
    archts->setSheet(s.sheet);
    slotts->putSlots(s);
}

int TForm1::chosenPrinterDpi() const {
    if (!tiskf_) {
        return 0;
    }
    const labelprint::PrintSettings& s = tiskf_->qr1.printSettings();
    if (!s.pdfFile.isEmpty()) {
        return 0;
    }
    const QPrinterInfo info =
        s.printer.isEmpty() ? QPrinterInfo::defaultPrinter() : QPrinterInfo::printerInfo(s.printer);
    if (info.isNull()) {
        return 0;
    }
    return QPrinter(info, QPrinter::HighResolution).resolution();
}

void TForm1::showFirstRow() {
    if (store_->listView().rowCount() > 0) {
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
    store_->listView().moveTo(row + 1);
    gridModel_->currentRowChanged();
    stitkyts->DBGrid1->selectRow(row);
}

void TForm1::DBGrid1KeyDown(QKeyEvent* event) {
    if (event->key() == Qt::Key_F12 && (event->modifiers() & Qt::ControlModifier)) {
        prompts::message({QStringLiteral("informace"), InfoTab::authorshipLine(),
                          prompts::Icon::Information, prompts::Buttons::Ok});
    }
}

void TForm1::listCommand(const std::function<void()>& command) {
    platform::guard(command);
    gridModel_->reset();
    showFirstRow();
    // Changes of other workstations that came in during the command are in the view unless
    // they came after its reload.
    if (store_->takeChanges()) {
        reloadKeepingCurrent();
    }
    watchChanges();
}

void TForm1::pridatbClick() {
    // A click takes the focus from the count first, which puts a typed count into 1..999.
    stitkyts->pocetspin->applyBounds();
    const printlist::LabelEntry entry{stitkyts->kodle->text(),   stitkyts->nazevle->text(),
                                      stitkyts->cenale->text(),  stitkyts->text1le->text(),
                                      stitkyts->text2le->text(), stitkyts->text3le->text()};
    const QString specznak = nastavenits->specznakle->text();
    const int copies = stitkyts->pocetspin->value();
    listCommand([&] { printlist::addLabels(*store_, entry, specznak, copies); });
}

void TForm1::vymazatbClick() {
    listCommand([&] {
        const auto before = printlist::ListUndo::snapshot(*store_);
        if (printlist::askAndClearList(*store_)) {
            listUndo_.commandDone(*store_, before, false);
        }
    });
}

void TForm1::vymazatpoloku1Click() {
    listCommand([&] {
        // Only the current row can go: it is all the undo needs to keep.
        std::vector<printlist::KeyedRow> before;
        const printlist::RowSet& view = store_->listView();
        if (const auto key = view.currentKey()) {
            QStringList values;
            for (int i = 1; i < view.fieldCount(); ++i) {
                values << view.field(i);
            }
            before.push_back({*key, values});
        }
        printlist::deleteCurrentLabel(*store_);
        listUndo_.commandDone(*store_, before, false);
    });
}

void TForm1::undoListCommand() {
    listCommand([&] { listUndo_.undo(*store_); });
}

void TForm1::ulozitseznambClick() {
    const auto chosen = chooseFile(prompts::FileRequest::Kind::Save, sd1);
    if (!chosen) {
        return;
    }
    const QString name = printlist::completeListFileName(*chosen);
    sd1.fileName = name;
    listCommand([&] { printlist::askAndExportList(store_->listView(), name); });
}

void TForm1::nacistseznambClick() {
    const auto chosen = chooseFile(prompts::FileRequest::Kind::Open, OpenDialog1);
    if (!chosen) {
        return;
    }
    OpenDialog1.fileName = *chosen;
    listCommand([&] {
        const auto before = printlist::ListUndo::snapshot(*store_);
        if (filecommands::nactiseznam(*store_, *chosen) == printlist::ImportResult::Imported) {
            listUndo_.commandDone(*store_, before, true);
        }
    });
}

void TForm1::nacistcenikbClick() {
    auto chosen = prompts::chooseFile(
        {.kind = prompts::FileRequest::Kind::Open,
         .title = QStringLiteral("načíst ceník"),
         .filter = QStringLiteral("Ceníky (CSV, XLSX, ODS)|*.csv;*.txt;*.xlsx;*.ods|Všechny "
                                  "soubory|*"),
         .initialDir = cenikd.initialDir,
         .fileName = cenikd.fileName});
    if (!chosen || chosen->isEmpty()) {
        return;
    }
    cenikd.fileName = *chosen;
    const QString ini =
        platform::programDirectory() + QString::fromLatin1(settings::kSettingsFileName);
    const QString specznak = nastavenits->specznakle->text();
    const auto choice = dialogs::choosePriceListMapping({*chosen, specznak, ini});
    if (!choice) {
        return;
    }
    const auto say = [](const QString& text) {
        prompts::Message box;
        box.title = QStringLiteral("načíst ceník");
        box.text = text;
        box.icon = prompts::Icon::Warning;
        prompts::message(box);
    };
    if (!choice->saveAs.isEmpty()) {
        // The section appears in dravelin.ini only now, when a mapping is saved.
        platform::guard([&] {
            platform::Profile profile(ini);
            printlist::saveMapping(profile, choice->saveAs, choice->mapping);
        });
    }
    listCommand([&] {
        try {
            printlist::importPriceList(*store_, *chosen, choice->mapping, specznak);
        } catch (const printlist::PriceListError& e) {
            say(dialogs::czechText(e));
        } catch (const printlist::PriceListRowsError& e) {
            say(dialogs::czechText(e));
        }
    });
}

void TForm1::ulozitbClick() {
    const auto chosen = chooseFile(prompts::FileRequest::Kind::Save, sd1);
    if (!chosen) {
        return;
    }
    sd1.fileName = *chosen;
    filecommands::uloznastaveni(layoutSettings(), *chosen);
}

void TForm1::nacistbClick() {
    const auto chosen = chooseFile(prompts::FileRequest::Kind::Open, OpenDialog1);
    if (!chosen) {
        return;
    }
    OpenDialog1.fileName = *chosen;
    if (const auto loaded = filecommands::nactinastaveni(*chosen, layoutSettings())) {
        putLayoutSettings(*loaded);
    }
}

void TForm1::fontButtonClick(int slot) {
    SlotFont* dialog = fontdialog[size_t(slot)];
    const auto choice = dialogs::chooseFont(dialog->font());
    if (!choice) {
        return;
    }
    settings::FontDescription f = dialog->font();
    f.setFace(choice->font.face);
    f.height = choice->font.height;
    f.style = choice->font.style;
    if (choice->colourChanged) {
        f.colour = choice->font.colour;
    }
    dialog->setFont(f);
}

void TForm1::ColorDialog1Show() {
    // Opening the colour dialog sends the next save (list or snapshot) to the program
    // directory. Nothing about colours needs it; the window is designed so, and this is the
    // only place that gives sd1 a folder of its own: until a colour dialog has been opened, the
    // save dialog opens where the platform chooses. Nothing else reads this folder.
    sd1.initialDir = platform::programDirectory();
}

void TForm1::shapeMouseDown(ColourSwatch* shape) {
    ColorDialog1Show();
    // Cancel keeps the swatch as it was: the dialog's colour is only a choice once confirmed.
    if (const auto chosen = dialogs::chooseColour(platform::toQColor(colorDialog1Colour))) {
        colorDialog1Colour = platform::fromQColor(*chosen);
        shape->setColour(colorDialog1Colour);
    }
}

void TForm1::Label23Click() {
    // No mail program is no error: the shell's answer is not looked at.
    QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + InfoTab::contactAddress()));
}

void TForm1::tiskbClick() {
    printWithReport([this] {
        // A change not yet noticed, or made while the connection was down, is printed too; a
        // list that cannot be brought up to date is not printed.
        catchUp();
        tiskf_->preview();
    });
}

void TForm1::zkusebnibClick() {
    const QString printer = archts->printerCombo->currentText();
    printWithReport([this, printer] { tiskf_->printAlignmentPage(printer); });
}

void TForm1::printWithReport(const std::function<void()>& command) {
    // A running layout run keeps the settings it started with.
    if (!tiskf_ || tiskf_->qr1.inRun()) {
        return;
    }
    platform::guard([this, &command] {
        takeIntoReport();
        command();
    });
}

void TForm1::takeIntoReport() {
    labelprint::LabelReport& report = tiskf_->qr1;
    try {
        labelprint::takeRequest(report, labelprint::requestFromControls(
                                            layoutSettings(), archts->startPosition(),
                                            archts->usedPositions(), archts->offsets(), report));
    } catch (const labelprint::RequestFault& f) {
        throw platform::Error(faultText(f));
    }
}

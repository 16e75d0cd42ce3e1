#include "ui/slottab.h"

#include "labelprint/barcode.h"
#include "labelprint/imagesurface.h"
#include "ui/designlayout.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QSpinBox>
#include <cmath>
#include <span>

using namespace designlayout;

namespace {

using settings::BarcodeKind;

// The slot captions of the nastavení tab.
const char* const kSlotCaptions[settings::SlotCount] = {"kód1",  "kód2",  "nazev", "cena",
                                                        "text1", "text2", "text3"};
const char* const kKindCaptions[7] = {"text",    "EAN-13", "EAN-8",     "Code 128",
                                      "Code 39", "QR",     "DataMatrix"};
const char* const kFitCaptions[3] = {"vypnuto", "zmenšit", "zalomit"};

// What the sample shows for each kind.
QString sampleData(BarcodeKind kind) {
    switch (kind) {
    case BarcodeKind::Ean13:
        return QStringLiteral("859123456789");
    case BarcodeKind::Ean8:
        return QStringLiteral("9638507");
    case BarcodeKind::Code128:
        return QStringLiteral("Regal 7/B-42");
    case BarcodeKind::Code39:
        return QStringLiteral("REGAL-7");
    case BarcodeKind::Qr:
        return QStringLiteral("https://example.cz/8591234567893");
    case BarcodeKind::DataMatrix:
        return QStringLiteral("8591234567893");
    case BarcodeKind::Text:
        break;
    }
    return {};
}

// The sample is drawn at this resolution and scaled to the screen's.
constexpr int kSampleDpi = 600;

QDoubleSpinBox* mmSpin(QWidget* parent, const QString& name, int decimals, double min, double max) {
    auto* f = new QDoubleSpinBox(parent);
    f->setObjectName(name);
    f->setLocale(QLocale(QLocale::Czech));
    f->setDecimals(decimals);
    f->setSingleStep(decimals == 2 ? 0.01 : 0.1);
    f->setRange(min, max);
    f->setSuffix(QStringLiteral(" mm"));
    f->setFixedSize(75, 22);
    return f;
}

QComboBox* captionCombo(QWidget* parent, const QString& name, std::span<const char* const> captions,
                        int width) {
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    for (const char* caption : captions) {
        c->addItem(QString::fromUtf8(caption));
    }
    c->setFixedSize(width, 22);
    return c;
}

} // namespace

const std::array<settings::FitRule::Mode, 3>& SlotTab::fitModes() {
    using Mode = settings::FitRule::Mode;
    static const std::array<Mode, 3> m = {Mode::Off, Mode::Shrink, Mode::Wrap};
    return m;
}

const std::array<settings::BarcodeKind, 7>& SlotTab::kinds() {
    static const std::array<BarcodeKind, 7> k = {
        BarcodeKind::Text,   BarcodeKind::Ean13, BarcodeKind::Ean8,      BarcodeKind::Code128,
        BarcodeKind::Code39, BarcodeKind::Qr,    BarcodeKind::DataMatrix};
    return k;
}

SlotTab::SlotTab(ResolutionReader resolution, QWidget* parent)
    : QWidget(parent), resolution_(std::move(resolution)) {
    setObjectName(QStringLiteral("radkyts"));

    QFont heading = font();
    heading.setPixelSize(16);
    for (auto [name, text, x] :
         {std::tuple{"radkynadpisl", "Řádky štítku", 10}, std::tuple{"ukazkal", "Ukázka", 625}}) {
        QLabel* l = label(this, QString::fromLatin1(name), QString::fromUtf8(text), x, 5);
        l->setFont(heading);
        l->adjustSize();
    }

    auto* table = new QWidget(this);
    table->setObjectName(QStringLiteral("radkytabulka"));
    table->setGeometry(10, 30, 605, 245);
    grid = new QGridLayout(table);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);
    const char* const headers[] = {"řádek",   "druh",         "modul X",  "výška čar",
                                   "číslice", "přizpůsobení", "nejmenší", "řádků"};
    for (int c = 0; c < int(std::size(headers)); ++c) {
        auto* h = new QLabel(QString::fromUtf8(headers[c]), table);
        h->setObjectName(QStringLiteral("radkyhlavicka%1").arg(c));
        grid->addWidget(h, 0, c);
    }
    const auto& names = settings::slotNames();
    for (int s = 0; s < settings::SlotCount; ++s) {
        const QString name = names[size_t(s)];
        slotCaption[size_t(s)] = new QLabel(QString::fromUtf8(kSlotCaptions[s]), table);
        slotCaption[size_t(s)]->setObjectName(name + QStringLiteral("radekl"));
        auto* combo = captionCombo(table, name + QStringLiteral("druhcb"), kKindCaptions, 100);
        kindCombo[size_t(s)] = combo;
        moduleSpin[size_t(s)] = mmSpin(table, name + QStringLiteral("modulspin"), 2, 0.01, 10.0);
        heightSpin[size_t(s)] = mmSpin(table, name + QStringLiteral("vyskaspin"), 1, 0.1, 300.0);
        digitsCheck[size_t(s)] = new QCheckBox(table);
        digitsCheck[size_t(s)]->setObjectName(name + QStringLiteral("cislicechb"));
        auto* fit = captionCombo(table, name + QStringLiteral("prizpusobenicb"), kFitCaptions, 85);
        fitCombo[size_t(s)] = fit;
        // Steps of half a point, as shrinking takes them; any tenth a file holds is kept.
        auto* smallest = new QDoubleSpinBox(table);
        smallest->setObjectName(name + QStringLiteral("nejmensispin"));
        smallest->setLocale(QLocale(QLocale::Czech));
        smallest->setDecimals(1);
        smallest->setSingleStep(0.5);
        smallest->setRange(0.1, settings::FontDescription::kMaxPointSize);
        smallest->setSuffix(QStringLiteral(" pt"));
        smallest->setFixedSize(65, 22);
        minSizeSpin[size_t(s)] = smallest;
        auto* lines = new QSpinBox(table);
        lines->setObjectName(name + QStringLiteral("radkuspin"));
        lines->setRange(1, 99);
        lines->setFixedSize(45, 22);
        linesSpin[size_t(s)] = lines;
        QWidget* row[] = {slotCaption[size_t(s)],
                          combo,
                          moduleSpin[size_t(s)],
                          heightSpin[size_t(s)],
                          digitsCheck[size_t(s)],
                          fit,
                          smallest,
                          lines};
        for (int c = 0; c < int(std::size(row)); ++c) {
            grid->addWidget(row[c], s + 1, c);
            row[c]->setProperty("slot", s);
            row[c]->installEventFilter(this);
        }
        connect(combo, &QComboBox::currentIndexChanged, this, [this, s] {
            if (!filling_) {
                selectSlot(s);
            }
            refresh();
        });
        for (QDoubleSpinBox* f : {moduleSpin[size_t(s)], heightSpin[size_t(s)]}) {
            connect(f, &QDoubleSpinBox::valueChanged, this, [this, s] {
                if (!filling_) {
                    selectSlot(s);
                }
                refresh();
            });
        }
        connect(digitsCheck[size_t(s)], &QCheckBox::toggled, this, [this, s] {
            if (!filling_) {
                selectSlot(s);
            }
            refresh();
        });
        connect(fit, &QComboBox::currentIndexChanged, this, [this, s] {
            if (!filling_) {
                selectSlot(s);
            }
            refresh();
        });
    }
    // Room for the selected slot's bold caption, so the columns do not move when it changes.
    QFont bold = font();
    bold.setBold(true);
    int widest = 0;
    for (const char* caption : kSlotCaptions) {
        widest = std::max(widest, QFontMetrics(bold).horizontalAdvance(QString::fromUtf8(caption)));
    }
    grid->setColumnMinimumWidth(0, widest);
    grid->setColumnStretch(int(std::size(headers)), 1);
    grid->setRowStretch(settings::SlotCount + 1, 1);

    sampleCaption = label(this, QStringLiteral("ukazkaradekl"), QString(), 625, 30);
    sample = new BarcodeSample(this);
    sample->setObjectName(QStringLiteral("ukazka"));
    sample->setGeometry(625, 50, 215, 225);

    warningLabel = new QLabel(this);
    warningLabel->setObjectName(QStringLiteral("varovanil"));
    warningLabel->setGeometry(10, 285, 830, 60);
    warningLabel->setWordWrap(true);
    warningLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette red = warningLabel->palette();
    red.setColor(QPalette::WindowText, QColor(192, 0, 0));
    warningLabel->setPalette(red);

    putSlots(settings::LayoutSettings{});
}

settings::BarcodeOptions SlotTab::optionsOf(int slot) const {
    settings::BarcodeOptions o;
    const int index = kindCombo[size_t(slot)]->currentIndex();
    o.kind = kinds()[size_t(std::clamp(index, 0, int(kinds().size()) - 1))];
    o.moduleWidth = int(std::lround(moduleSpin[size_t(slot)]->value() * 100));
    o.barHeight = int(std::lround(heightSpin[size_t(slot)]->value() * 10));
    o.digits = digitsCheck[size_t(slot)]->isChecked();
    return o;
}

settings::FitRule SlotTab::fitOf(int slot) const {
    settings::FitRule r;
    const int index = fitCombo[size_t(slot)]->currentIndex();
    r.mode = fitModes()[size_t(std::clamp(index, 0, int(fitModes().size()) - 1))];
    r.minSize = int(std::lround(minSizeSpin[size_t(slot)]->value() * 10));
    r.lines = linesSpin[size_t(slot)]->value();
    return r;
}

void SlotTab::takeSlots(settings::LayoutSettings& layout) const {
    for (int s = 0; s < settings::SlotCount; ++s) {
        layout.lines[size_t(s)].barcode = optionsOf(s);
        layout.lines[size_t(s)].fit = fitOf(s);
    }
}

void SlotTab::putSlots(const settings::LayoutSettings& layout) {
    filling_ = true;
    for (int s = 0; s < settings::SlotCount; ++s) {
        const settings::SlotSettings& line = layout.lines[size_t(s)];
        const auto at = std::find(kinds().begin(), kinds().end(), line.barcode.kind);
        kindCombo[size_t(s)]->setCurrentIndex(int(at - kinds().begin()));
        moduleSpin[size_t(s)]->setValue(line.barcode.moduleWidth / 100.0);
        heightSpin[size_t(s)]->setValue(line.barcode.barHeight / 10.0);
        digitsCheck[size_t(s)]->setChecked(line.barcode.digits);
        const auto mode = std::find(fitModes().begin(), fitModes().end(), line.fit.mode);
        fitCombo[size_t(s)]->setCurrentIndex(int(mode - fitModes().begin()));
        minSizeSpin[size_t(s)]->setValue(line.fit.minSize / 10.0);
        linesSpin[size_t(s)]->setValue(line.fit.lines);
        fonts_[size_t(s)] = line.font;
    }
    filling_ = false;
    refresh();
}

void SlotTab::selectSlot(int slot) {
    if (slot < 0 || slot >= settings::SlotCount || slot == selected_) {
        return;
    }
    selected_ = slot;
    refresh();
}

int SlotTab::warningDpi() const {
    return printerDpi_ > 0 ? printerDpi_ : 600;
}

void SlotTab::setPrinterDpi(int dpi) {
    printerDpi_ = dpi;
    refresh();
}

void SlotTab::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (resolution_) {
        setPrinterDpi(resolution_());
    }
}

bool SlotTab::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::MouseButtonPress) {
        const QVariant slot = watched->property("slot");
        if (slot.isValid()) {
            selectSlot(slot.toInt());
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SlotTab::refresh() {
    if (filling_) {
        return;
    }
    for (int s = 0; s < settings::SlotCount; ++s) {
        const bool code = optionsOf(s).kind != BarcodeKind::Text;
        moduleSpin[size_t(s)]->setEnabled(code);
        heightSpin[size_t(s)]->setEnabled(code);
        digitsCheck[size_t(s)]->setEnabled(code);
        // A barcode is never fitted; a rule's own numbers only where the rule uses them.
        const settings::FitRule::Mode mode = fitOf(s).mode;
        fitCombo[size_t(s)]->setEnabled(!code);
        minSizeSpin[size_t(s)]->setEnabled(!code && mode != settings::FitRule::Mode::Off);
        linesSpin[size_t(s)]->setEnabled(!code && mode == settings::FitRule::Mode::Wrap);
        const QFont f = slotCaption[size_t(s)]->font();
        QFont bold = f;
        bold.setBold(s == selected_);
        slotCaption[size_t(s)]->setFont(bold);
    }
    const settings::BarcodeOptions chosen = optionsOf(selected_);
    sampleCaption->setText(QString::fromUtf8(kSlotCaptions[selected_]) + QStringLiteral(": ") +
                           kindCombo[size_t(selected_)]->currentText());
    sampleCaption->adjustSize();
    sample->show(chosen, fonts_[size_t(selected_)]);

    const int dpi = warningDpi();
    const QLocale czech(QLocale::Czech);
    QStringList warnings;
    for (int s = 0; s < settings::SlotCount; ++s) {
        const settings::BarcodeOptions o = optionsOf(s);
        if (!labelprint::eanModuleOutOfRange(o, dpi)) {
            continue;
        }
        const double drawn = labelprint::moduleDots(o.moduleWidth, dpi) * 25.4 / dpi;
        warnings << QStringLiteral("%1: modul X vychází při %2 dpi na %3 mm, mimo 80–200 % "
                                   "jmenovitých 0,33 mm; čtečka u pokladny jej nemusí přečíst.")
                        .arg(QString::fromUtf8(kSlotCaptions[s]))
                        .arg(dpi)
                        .arg(czech.toString(drawn, 'f', 3));
    }
    warningLabel->setText(warnings.join(QLatin1Char('\n')));
}

BarcodeSample::BarcodeSample(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(false);
}

void BarcodeSample::show(const settings::BarcodeOptions& options,
                         const settings::FontDescription& font) {
    image_ = QImage();
    refusal_.clear();
    symbolMm_ = QSizeF(0, 0);
    data_ = sampleData(options.kind);
    if (options.kind != BarcodeKind::Text) {
        const labelprint::BarcodeResult r = labelprint::encodeBarcode(options, data_);
        if (!r.ok()) {
            refusal_ = r.reason;
        } else {
            // Bars and quiet zones, and room below them for the digits.
            const int dots = labelprint::moduleDots(options.moduleWidth, kSampleDpi);
            const int width = int(std::ceil(r.symbol->width)) * dots + 1;
            const int textRoom = r.symbol->texts.empty() ? 0 : kSampleDpi / 4;
            const int height = std::max(1, int(std::lround(r.symbol->height * options.moduleWidth /
                                                           100.0 * kSampleDpi / 25.4))) +
                               textRoom + 1;
            // A symbol far larger than the sample's room is drawn only as far as it shows.
            if (width < 20000 && height < 20000) {
                image_ = QImage(width, height, QImage::Format_RGB32);
                image_.fill(Qt::white);
                image_.setDotsPerMeterX(int(kSampleDpi / 0.0254));
                image_.setDotsPerMeterY(int(kSampleDpi / 0.0254));
                labelprint::ImageSurface surface(image_, kSampleDpi);
                labelprint::drawBarcode(surface, *r.symbol, options, QPoint(0, 0),
                                        labelprint::TextAnchor::TopLeft, font, Qt::black);
            }
            symbolMm_ = QSizeF(width * 25.4 / kSampleDpi, height * 25.4 / kSampleDpi);
        }
    }
    update();
}

void BarcodeSample::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    if (!refusal_.isEmpty()) {
        p.setPen(QColor(192, 0, 0));
        p.drawText(rect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, refusal_);
        return;
    }
    if (image_.isNull()) {
        p.drawText(rect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                   QStringLiteral("řádek se tiskne jako text"));
        return;
    }
    // At its real size on this screen.
    const double scale = logicalDpiX() / double(kSampleDpi);
    const QSizeF size(image_.width() * scale, image_.height() * scale);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.drawImage(QRectF(QPointF(0, 0), size), image_);
}

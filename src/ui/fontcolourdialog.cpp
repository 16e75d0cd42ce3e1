#include "ui/fontcolourdialog.h"

#include "platform/colour.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>
#include <cmath>

namespace {

struct NamedColour {
    const char* name;
    std::int32_t value; // 0x00BBGGRR
};

// The sixteen standard colours.
const NamedColour kStandardColours[] = {
    {"Black", 0x000000},  {"Maroon", 0x000080},  {"Green", 0x008000}, {"Olive", 0x008080},
    {"Navy", 0x800000},   {"Purple", 0x800080},  {"Teal", 0x808000},  {"Gray", 0x808080},
    {"Silver", 0xC0C0C0}, {"Red", 0x0000FF},     {"Lime", 0x00FF00},  {"Yellow", 0x00FFFF},
    {"Blue", 0xFF0000},   {"Fuchsia", 0xFF00FF}, {"Aqua", 0xFFFF00},  {"White", 0xFFFFFF},
};

QIcon swatch(const QColor& c) {
    QPixmap pm(16, 12);
    pm.fill(c);
    QPainter p(&pm);
    p.setPen(Qt::black);
    p.drawRect(0, 0, 15, 11);
    return QIcon(pm);
}

} // namespace

FontColourDialog::FontColourDialog(const settings::FontDescription& current, QWidget* parent)
    : QDialog(parent), fonts_(new QFontDialog(this)), colours_(new QComboBox(this)),
      current_(current) {
    setWindowTitle(QStringLiteral("Písmo"));
    fonts_->setWindowFlags(Qt::Widget);
    fonts_->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    QFont f(current.face);
    f.setPointSize(std::max(1, current.pointSize()));
    f.setBold(current.style & settings::Bold);
    f.setItalic(current.style & settings::Italic);
    f.setUnderline(current.style & settings::Underline);
    f.setStrikeOut(current.style & settings::StrikeOut);
    fonts_->setCurrentFont(f);
    shownFamily_ = fonts_->currentFont().family();

    int index = -1;
    for (const NamedColour& c : kStandardColours) {
        colours_->addItem(swatch(platform::toQColor(c.value)), QString::fromLatin1(c.name),
                          c.value);
        if (c.value == current.colour) {
            index = colours_->count() - 1;
        }
    }
    if (index < 0) { // a colour outside the sixteen, or a system colour: shown as it is
        colours_->addItem(swatch(platform::toQColor(current.colour)), QStringLiteral("Vlastní"),
                          current.colour);
        index = colours_->count() - 1;
    }
    colours_->setCurrentIndex(index);
    connect(colours_, &QComboBox::activated, this, [this] { colourChanged_ = true; });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* colourRow = new QHBoxLayout;
    colourRow->addWidget(new QLabel(QStringLiteral("Barva:"), this));
    colourRow->addWidget(colours_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fonts_);
    layout->addLayout(colourRow);
    layout->addWidget(buttons);
}

settings::FontDescription FontColourDialog::chosenFont() const {
    const QFont f = fonts_->currentFont();
    settings::FontDescription d = current_;
    // A face the system substitutes is shown under the substitute's name; unless the user
    // picked another face, the stored name stays.
    if (f.family() != shownFamily_) {
        d.face = f.family().left(settings::FontDescription::kMaxFaceLength);
    }
    const double points = f.pointSizeF() > 0 ? f.pointSizeF() : current_.pointSize();
    if (int(std::lround(points)) != current_.pointSize()) {
        // Stored as the character height in pixels at 96 per inch, negative.
        d.height = -int(std::lround(points * 96.0 / 72.0));
    }
    std::uint8_t style = 0;
    if (f.weight() > QFont::Normal) {
        style |= settings::Bold;
    }
    if (f.italic()) {
        style |= settings::Italic;
    }
    if (f.underline()) {
        style |= settings::Underline;
    }
    if (f.strikeOut()) {
        style |= settings::StrikeOut;
    }
    d.style = style;
    d.colour = colours_->currentData().toInt();
    return d;
}

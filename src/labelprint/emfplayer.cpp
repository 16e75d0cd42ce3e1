#include "labelprint/emfplayer.h"

#include "labelprint/emfformat.h"
#include "labelprint/emfwriter.h"
#include "platform/error.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <optional>
#include <unordered_map>
#include <variant>
#include <vector>

namespace labelprint::emf {
namespace {

// Coordinates far off any page are pulled in, so a forged value cannot overflow the painter.
constexpr std::int64_t kCoordLimit = 1'000'000;
constexpr int kMaxFontPixels = 2000;

[[noreturn]] void damaged(qint64 offset, const char* what) {
    throw platform::Error(QStringLiteral("The page drawing is damaged (%1 at byte %2)")
                              .arg(QLatin1String(what))
                              .arg(offset));
}

double coord(std::int32_t v) {
    return double(std::clamp<std::int64_t>(v, -kCoordLimit, kCoordLimit));
}

QColor fromColorRef(std::uint32_t c) {
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

struct Brush {
    std::optional<QColor> colour; // none: the null brush
};

using Object = std::variant<Brush, LogFont>;

struct FillOp {
    QRectF rect;
    QColor colour;
    std::optional<QColor> outline;
};

struct TextOp {
    QPointF at;
    std::uint32_t align = 0;
    QString text;
    std::size_t font = 0;
    QColor colour;
    std::optional<QColor> background;
};

using Op = std::variant<FillOp, TextOp>;

} // namespace

struct Page {
    EmfHeader header;
    std::vector<LogFont> fonts; // each distinct font once
    std::vector<Op> ops;
    // Made from `fonts` on first use, kept for every later drawing.
    mutable std::vector<std::optional<QFont>> qfonts;
};

namespace {

// Reads the LOGFONTW at p (92 bytes, already checked to lie in the record).
LogFont readLogFont(const char* p) {
    LogFont f;
    f.height = readI32(p);
    f.weight = readI32(p + 16);
    f.italic = p[20] != 0;
    f.underline = p[21] != 0;
    f.strikeOut = p[22] != 0;
    f.charSet = std::uint8_t(p[23]);
    QString face;
    for (int i = 0; i < 32; ++i) {
        const std::uint16_t c = readU16(p + 28 + 2 * i);
        if (c == 0) {
            break;
        }
        face.append(QChar(c));
    }
    f.face = face;
    return f;
}

class Parser {
  public:
    explicit Parser(QByteArrayView data) : data_(data) {}

    Page parse() {
        Page page;
        page.header = readEmfHeader(data_);
        const qint64 limit = page.header.bytes;
        qint64 offset = readU32(data_.data() + 4);
        bool ended = false;
        int records = 0;
        while (offset < limit) {
            if (++records > kMaxRecords) {
                damaged(offset, "too many records");
            }
            if (limit - offset < 8) {
                damaged(offset, "record cut short");
            }
            const char* rec = data_.data() + offset;
            const std::uint32_t type = readU32(rec);
            const std::uint32_t size = readU32(rec + 4);
            if (size < 8 || size % 4 != 0 || size > limit - offset) {
                damaged(offset, "record size out of range");
            }
            record(page, type, rec, size, offset);
            offset += size;
            if (type == EMR_EOF) {
                ended = true;
                break;
            }
        }
        if (!ended) {
            damaged(offset, "no end record");
        }
        return page;
    }

  private:
    void need(std::uint32_t size, std::uint32_t min, qint64 offset) {
        if (size < min) {
            damaged(offset, "record too short");
        }
    }

    void record(Page& page, std::uint32_t type, const char* rec, std::uint32_t size,
                qint64 offset) {
        switch (type) {
        case EMR_HEADER:
            damaged(offset, "second header");
        case EMR_SETBKMODE:
            need(size, 12, offset);
            opaque_ = readU32(rec + 8) == kOpaque;
            break;
        case EMR_SETTEXTALIGN:
            need(size, 12, offset);
            align_ = readU32(rec + 8);
            break;
        case EMR_SETTEXTCOLOR:
            need(size, 12, offset);
            textColour_ = fromColorRef(readU32(rec + 8));
            break;
        case EMR_SETBKCOLOR:
            need(size, 12, offset);
            bkColour_ = fromColorRef(readU32(rec + 8));
            break;
        case EMR_CREATEBRUSHINDIRECT: {
            need(size, 24, offset);
            const std::uint32_t handle = readU32(rec + 8);
            const std::uint32_t style = readU32(rec + 12);
            Brush b;
            // Only a hollow brush paints nothing. The pages hold solid brushes alone; a
            // hatched or pattern brush from elsewhere paints as its colour, which shows the
            // filled area without a pattern engine.
            if (style != kBrushHollow) {
                b.colour = fromColorRef(readU32(rec + 16));
            }
            if (handle != 0 && (handle & 0x80000000u) == 0) {
                objects_[handle] = b;
            }
            break;
        }
        case EMR_EXTCREATEFONTINDIRECTW: {
            need(size, 12 + kLogFontSize, offset);
            const std::uint32_t handle = readU32(rec + 8);
            if (handle != 0 && (handle & 0x80000000u) == 0) {
                objects_[handle] = readLogFont(rec + 12);
            }
            break;
        }
        case EMR_SELECTOBJECT:
            need(size, 12, offset);
            select(readU32(rec + 8));
            break;
        case EMR_DELETEOBJECT:
            need(size, 12, offset);
            // A deleted object stays in effect where it is selected, as in GDI.
            objects_.erase(readU32(rec + 8));
            break;
        case EMR_RECTANGLE:
            need(size, 24, offset);
            rectangle(page, rec);
            break;
        case EMR_EXTTEXTOUTW:
            need(size, kTextRecordFixedSize, offset);
            text(page, rec, size, offset);
            break;
        default:
            break; // unknown records are skipped by their size
        }
    }

    void select(std::uint32_t handle) {
        switch (handle) {
        case kStockWhiteBrush:
            brush_ = Brush{QColor(Qt::white)};
            return;
        case kStockBlackBrush:
            brush_ = Brush{QColor(Qt::black)};
            return;
        case kStockNullBrush:
            brush_ = Brush{};
            return;
        case kStockWhitePen:
            pen_ = QColor(Qt::white);
            return;
        case kStockBlackPen:
            pen_ = QColor(Qt::black);
            return;
        case kStockNullPen:
            pen_.reset();
            return;
        default:
            break;
        }
        const auto it = objects_.find(handle);
        if (it == objects_.end()) {
            return; // an unknown object: the selection fails and nothing changes
        }
        if (const auto* b = std::get_if<Brush>(&it->second)) {
            brush_ = *b;
        } else {
            font_ = std::get<LogFont>(it->second);
        }
    }

    void rectangle(Page& page, const char* rec) {
        double l = coord(readI32(rec + 8));
        double t = coord(readI32(rec + 12));
        double r = coord(readI32(rec + 16));
        double b = coord(readI32(rec + 20));
        if (l > r) {
            std::swap(l, r);
        }
        if (t > b) {
            std::swap(t, b);
        }
        FillOp op;
        if (!pen_) {
            // Without a pen the right column and the bottom row stay out.
            r -= 1;
            b -= 1;
        }
        op.rect = QRectF(QPointF(l, t), QPointF(r, b));
        op.outline = pen_;
        if (brush_.colour) {
            op.colour = *brush_.colour;
        } else if (!pen_) {
            return;
        }
        if (op.rect.width() <= 0 || op.rect.height() <= 0) {
            return;
        }
        countOp(page, rec);
        page.ops.push_back(op);
    }

    void countOp(const Page& page, const char* rec) {
        if (page.ops.size() >= std::size_t(kMaxDrawingOps)) {
            damaged(rec - data_.data(), "too many drawings");
        }
    }

    // The page's index of `font`, each distinct font listed once.
    std::size_t fontIndex(Page& page, const char* rec) {
        const QString key = QStringLiteral("%1 %2 %3%4%5 %6 ")
                                .arg(font_.height)
                                .arg(font_.weight)
                                .arg(int(font_.italic))
                                .arg(int(font_.underline))
                                .arg(int(font_.strikeOut))
                                .arg(font_.charSet) +
                            font_.face;
        const auto it = fontIndex_.find(key);
        if (it != fontIndex_.end()) {
            return it.value();
        }
        // Each new face costs the font database a search: a page naming thousands of them
        // would keep the preview busy for minutes.
        if (!faces_.contains(font_.face) && faces_.size() >= kMaxFontFaces) {
            damaged(rec - data_.data(), "too many font faces");
        }
        if (page.fonts.size() >= std::size_t(kMaxFonts)) {
            damaged(rec - data_.data(), "too many fonts");
        }
        faces_.insert(font_.face);
        page.fonts.push_back(font_);
        fontIndex_.emplace(key, page.fonts.size() - 1);
        return page.fonts.size() - 1;
    }

    void text(Page& page, const char* rec, std::uint32_t size, qint64 offset) {
        const std::uint32_t chars = readU32(rec + 44);
        const std::uint32_t stringOffset = readU32(rec + 48);
        if (std::uint64_t(stringOffset) + std::uint64_t(chars) * 2 > size) {
            damaged(offset, "text outside its record");
        }
        if (chars == 0) {
            return;
        }
        countOp(page, rec);
        TextOp op;
        op.at = QPointF(coord(readI32(rec + 36)), coord(readI32(rec + 40)));
        op.align = align_;
        op.text.resize(qsizetype(chars));
        for (std::uint32_t i = 0; i < chars; ++i) {
            op.text[qsizetype(i)] = QChar(readU16(rec + stringOffset + 2 * i));
        }
        op.font = fontIndex(page, rec);
        op.colour = textColour_;
        if (opaque_) {
            op.background = bkColour_;
        }
        page.ops.push_back(std::move(op));
    }

    QByteArrayView data_;
    std::unordered_map<std::uint32_t, Object> objects_;
    QHash<QString, std::size_t> fontIndex_;
    QSet<QString> faces_;
    Brush brush_{QColor(Qt::white)};
    std::optional<QColor> pen_ = QColor(Qt::black);
    LogFont font_;
    QColor textColour_ = Qt::black;
    QColor bkColour_ = Qt::white;
    bool opaque_ = true;
    std::uint32_t align_ = 0;
};

QFont toQFont(const LogFont& lf) {
    QFont font(lf.face.isEmpty() ? QStringLiteral("Sans Serif") : lf.face);
    const std::int64_t height = std::abs(std::int64_t(lf.height));
    int pixels = int(std::clamp<std::int64_t>(height == 0 ? 12 : height, 1, kMaxFontPixels));
    font.setPixelSize(pixels);
    if (lf.height > 0) {
        // A positive height is the cell height: scale the em height to match it.
        const QFontMetricsF fm(font);
        const double cell = fm.ascent() + fm.descent();
        if (cell > 0) {
            pixels = int(std::clamp(std::lround(pixels * pixels / cell), 1L, long(kMaxFontPixels)));
            font.setPixelSize(pixels);
        }
    }
    const int weight = lf.weight <= 0 ? 400 : std::clamp(lf.weight, 1, 1000);
    font.setWeight(QFont::Weight(weight));
    font.setItalic(lf.italic);
    font.setUnderline(lf.underline);
    font.setStrikeOut(lf.strikeOut);
    return font;
}

// Glyph images stay within what the font engine renders: a moderate size on the device and no
// extreme stretch of one direction against the other.
bool glyphsAreSane(const QTransform& t, int pixels) {
    const double sx = std::hypot(t.m11(), t.m12());
    const double sy = std::hypot(t.m21(), t.m22());
    const double larger = std::max(sx, sy);
    const double smaller = std::min(sx, sy);
    return smaller > 0 && larger <= 4 * smaller && pixels * larger <= 1000;
}

} // namespace

EmfHeader readEmfHeader(QByteArrayView data) {
    const qint64 available = data.size();
    if (available < qint64(kMinHeaderSize)) {
        damaged(0, "header cut short");
    }
    const char* p = data.data();
    const std::uint32_t size = readU32(p + 4);
    if (readU32(p) != EMR_HEADER || size < kMinHeaderSize || size % 4 != 0 || size > available) {
        damaged(0, "no header");
    }
    if (readU32(p + 40) != kSignature) {
        damaged(40, "no EMF signature");
    }
    EmfHeader h;
    h.bounds =
        QRect(QPoint(readI32(p + 8), readI32(p + 12)), QPoint(readI32(p + 16), readI32(p + 20)));
    h.frame =
        QRect(QPoint(readI32(p + 24), readI32(p + 28)), QPoint(readI32(p + 32), readI32(p + 36)));
    h.bytes = readU32(p + 48);
    h.records = readU32(p + 52);
    if (h.bytes < size || h.bytes > available) {
        damaged(48, "length outside the data");
    }
    h.devicePixels = QSize(readI32(p + 72), readI32(p + 76));
    h.deviceMillimetres = QSize(readI32(p + 80), readI32(p + 84));
    if (size >= 108) {
        h.deviceMicrometres = QSize(readI32(p + 100), readI32(p + 104));
    }
    // Device units per 0.01 mm, preferring the finer micrometre size when there is one.
    auto perHundredth = [&](int px, int mm, int um) {
        if (px > 0 && um > 0) {
            return double(px) / (um / 10.0);
        }
        if (px > 0 && mm > 0) {
            return double(px) / (mm * 100.0);
        }
        return 0.0;
    };
    const double sx = perHundredth(h.devicePixels.width(), h.deviceMillimetres.width(),
                                   h.deviceMicrometres.width());
    const double sy = perHundredth(h.devicePixels.height(), h.deviceMillimetres.height(),
                                   h.deviceMicrometres.height());
    const double fw = double(readI32(p + 32)) - double(readI32(p + 24));
    const double fh = double(readI32(p + 36)) - double(readI32(p + 28));
    if (sx > 0 && sy > 0 && fw * sx >= 1 && fh * sy >= 1) {
        h.picture =
            QRectF(coord(readI32(p + 24)) * sx, coord(readI32(p + 28)) * sy,
                   std::min(fw * sx, double(kCoordLimit)), std::min(fh * sy, double(kCoordLimit)));
    } else {
        const double bw = double(readI32(p + 16)) - double(readI32(p + 8)) + 1;
        const double bh = double(readI32(p + 20)) - double(readI32(p + 12)) + 1;
        if (bw < 1 || bh < 1) {
            damaged(8, "no picture size");
        }
        h.picture = QRectF(coord(readI32(p + 8)), coord(readI32(p + 12)),
                           std::min(bw, double(kCoordLimit)), std::min(bh, double(kCoordLimit)));
    }
    return h;
}

Picture::Picture(QByteArrayView data) : page_(std::make_unique<Page>(Parser(data).parse())) {
    page_->qfonts.resize(page_->fonts.size());
}

Picture::~Picture() = default;
Picture::Picture(Picture&&) noexcept = default;
Picture& Picture::operator=(Picture&&) noexcept = default;

const EmfHeader& Picture::header() const {
    return page_->header;
}

void Picture::draw(QPainter& painter, const QRectF& target) const {
    const Page& page = *page_;
    if (!painter.isActive() || target.isEmpty()) {
        return;
    }
    painter.save();
    const QRectF& src = page.header.picture;
    QTransform t;
    t.translate(target.left(), target.top());
    t.scale(target.width() / src.width(), target.height() / src.height());
    t.translate(-src.left(), -src.top());
    const QTransform world = t * painter.worldTransform();
    // Filled rectangles are placed on whole device pixels and never narrower than one: a
    // hairline frame shrunk below a pixel would otherwise fall between the pixel centres and
    // vanish.
    const bool snap = world.type() <= QTransform::TxScale && world.isInvertible();
    const QTransform toPage = world.inverted();
    painter.setTransform(t, true);
    painter.setBackgroundMode(Qt::TransparentMode);

    for (const Op& op : page.ops) {
        if (const auto* fill = std::get_if<FillOp>(&op)) {
            if (fill->outline) {
                painter.setPen(QPen(*fill->outline, 1.0));
                painter.setBrush(fill->colour);
                painter.drawRect(fill->rect.adjusted(0.5, 0.5, -0.5, -0.5));
            } else if (snap) {
                const QRectF d = world.mapRect(fill->rect);
                const double left = std::round(d.left());
                const double top = std::round(d.top());
                const double right = std::max(left + 1, std::round(d.right()));
                const double bottom = std::max(top + 1, std::round(d.bottom()));
                painter.fillRect(toPage.mapRect(QRectF(QPointF(left, top), QPointF(right, bottom))),
                                 fill->colour);
            } else {
                painter.fillRect(fill->rect, fill->colour);
            }
            continue;
        }
        const auto& text = std::get<TextOp>(op);
        auto& font = page.qfonts[text.font];
        if (!font) {
            font = toQFont(page.fonts[text.font]);
        }
        const QFontMetricsF fm(*font, painter.device());
        double x = text.at.x();
        double y = text.at.y();
        const std::uint32_t horizontal = text.align & kTaCenter;
        if (horizontal == kTaCenter || horizontal == kTaRight) {
            const double width = fm.horizontalAdvance(text.text);
            x -= horizontal == kTaCenter ? width / 2 : width;
        }
        const std::uint32_t vertical = text.align & kTaBaseline;
        if (vertical == kTaBaseline) {
            // y is the baseline already
        } else if (vertical == kTaBottom) {
            y -= fm.descent();
        } else {
            y += fm.ascent();
        }
        if (text.background) {
            painter.fillRect(QRectF(x, y - fm.ascent(), fm.horizontalAdvance(text.text),
                                    fm.ascent() + fm.descent()),
                             *text.background);
        }
        if (glyphsAreSane(painter.worldTransform(), font->pixelSize())) {
            painter.setFont(*font);
            painter.setPen(text.colour);
            painter.drawText(QPointF(x, y), text.text);
        } else {
            // Outlines instead of cached glyph images, which the font engine cannot make for
            // such sizes.
            QPainterPath path;
            path.addText(QPointF(x, y), *font, text.text);
            painter.fillPath(path, text.colour);
        }
    }
    painter.restore();
}

void playEmf(QByteArrayView data, QPainter& painter, const QRectF& target) {
    Picture(data).draw(painter, target);
}

} // namespace labelprint::emf

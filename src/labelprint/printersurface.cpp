#include "labelprint/printersurface.h"

#include "labelprint/cupsjob.h"
#include "labelprint/emfplayer.h"
#include "labelprint/slotfont.h"
#include "labelprint/units.h"
#include "platform/error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGlyphRun>
#include <QPageLayout>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace labelprint {

void configurePrinter(QPrinter& printer, const PrintSettings& settings, const PrinterPaper& paper) {
    if (paper.size) {
        printer.setPageSize(*paper.size);
    }
    printer.setPageOrientation(paper.orientation == Orientation::Landscape ? QPageLayout::Landscape
                                                                           : QPageLayout::Portrait);
    printer.setDuplex(QPrinter::DuplexNone);
    printer.setDocName(settings.jobName());
}

PrinterSurface::PrinterSurface(const PrintSettings& settings, Orientation orientation,
                               QPrinter::PrinterMode mode)
    : settings_(settings), orientation_(orientation), mode_(mode) {}

PrinterSurface::PrinterSurface(PdfFile file, const PrintSettings& settings, Orientation orientation,
                               QPrinter::PrinterMode mode)
    : settings_(settings), orientation_(orientation), mode_(mode), pdfPath_(file.path) {}

PrinterSurface::~PrinterSurface() {
    if (painter_.isActive() || scratchPainter_.isActive()) {
        abortDocument();
    }
}

void PrinterSurface::fail(const QString& text) {
    abortDocument();
    throw platform::Error(text);
}

void PrinterSurface::setUpPrinter() {
    printer_ = std::make_unique<QPrinter>(mode_);
    if (pdfPath_) {
        const QFileInfo info(*pdfPath_);
        if (!QFileInfo(info.absolutePath()).isWritable()) {
            fail(QStringLiteral("Cannot create file \"%1\".").arg(*pdfPath_));
        }
        printer_->setOutputFormat(QPrinter::PdfFormat);
        printer_->setOutputFileName(*pdfPath_);
        printer_->setFullPage(true);
        outputPath_ = *pdfPath_;
    } else {
        const QStringList installed = QPrinterInfo::availablePrinterNames();
        if (installed.isEmpty()) {
            fail(QStringLiteral("No printer is installed."));
        }
        QString name = settings_.printer;
        if (name.isEmpty()) {
            name = QPrinterInfo::defaultPrinterName();
            if (name.isEmpty()) {
                name = installed.first();
            }
        } else if (!installed.contains(name)) {
            fail(QStringLiteral("Printer \"%1\" is not installed.").arg(name));
        }
        printer_->setPrinterName(name);
        if (!printer_->isValid()) {
            fail(QStringLiteral("Printer \"%1\" cannot be used.").arg(name));
        }
        // The platform engine writes the job into our spool file and we hand it to the
        // scheduler ourselves, so that an aborted run sends nothing at all.
        spool_ = std::make_unique<QTemporaryDir>();
        if (!spool_->isValid()) {
            fail(QStringLiteral("Cannot create a spool directory."));
        }
        outputPath_ = spool_->filePath(QStringLiteral("job"));
        printer_->setOutputFileName(outputPath_);
    }
    // The paper the preview showed.
    const QPrinterInfo info = pdfPath_ ? QPrinterInfo() : QPrinterInfo(*printer_);
    const SurfacePaper chosen =
        paperOfOutput(info, pdfPath_.has_value(), orientation_, settings_.paper);
    configurePrinter(*printer_, settings_,
                     {ownPaper_ ? paper_ : std::optional<QPageSize>(chosen.size), orientation_});
    jobName_ = printer_->docName();
    settings::PrinterOffset shift;
    if (!pdfPath_) {
        const auto it = settings_.offsets.find(printer_->printerName());
        if (it != settings_.offsets.end()) {
            shift = it->second;
        }
    }

    dpiX_ = printer_->logicalDpiX();
    dpiY_ = printer_->logicalDpiY();
    shift_ = QPointF(shift.x * dpiX_ / kTenthsPerInch, shift.y * dpiY_ / kTenthsPerInch);
    const QRectF paper = printer_->paperRect(QPrinter::DevicePixel);
    const QRectF page = printer_->pageRect(QPrinter::DevicePixel);
    // The correction moves every position: an origin further left puts the print further right.
    originLeft_ = nearest((page.left() - paper.left()) / dpiX_ * kTenthsPerInch) - shift.x;
    originTop_ = nearest((page.top() - paper.top()) / dpiY_ * kTenthsPerInch) - shift.y;
    const QRectF paperMm = printer_->pageLayout().fullRect(QPageLayout::Millimeter);
    paperWidth_ = paperMm.width() * 10;
    paperLength_ = paperMm.height() * 10;
}

bool PrinterSurface::beginDocument() {
    setUpPrinter();
    return true;
}

void PrinterSurface::usePainter(QPainter* painter) {
    current_ = painter;
    fontOnPainter_ = false;
    penOnPainter_ = false;
}

void PrinterSurface::beginPage() {
    ++page_;
    if (!settings_.inRange(page_)) {
        scratch_ = QPicture();
        scratchPainter_.begin(&scratch_);
        usePainter(&scratchPainter_);
        return;
    }
    if (!painter_.isActive()) {
        if (!painter_.begin(printer_.get())) {
            fail(QStringLiteral("Cannot create file \"%1\".").arg(outputPath_));
        }
    } else if (!printer_->newPage()) {
        fail(QStringLiteral("Cannot write file \"%1\".").arg(outputPath_));
    }
    ++printed_;
    usePainter(&painter_);
}

void PrinterSurface::closeScratch() {
    if (scratchPainter_.isActive()) {
        scratchPainter_.end();
    }
    scratch_ = QPicture();
}

void PrinterSurface::finishPage() {
    if (current_ == &scratchPainter_) {
        closeScratch();
    }
    current_ = nullptr;
}

void PrinterSurface::endDocument() {
    closeScratch();
    current_ = nullptr;
    if (!painter_.isActive()) {
        return; // no page was in range: no job was opened
    }
    painter_.end();
    if (pdfPath_) {
        return;
    }
    CupsJob job;
    job.printer = printer_->printerName();
    job.file = outputPath_;
    job.title = jobName_;
    job.media = printer_->pageLayout().pageSize().key();
    job.copies = printer_->supportsMultipleCopies() ? settings_.copies : 1;
    job.landscape = orientation_ == Orientation::Landscape;
    QString error;
    jobId_ = submitCupsJob(job, error);
    QFile::remove(outputPath_);
    if (jobId_ == 0) {
        fail(QStringLiteral("The print job was not accepted: %1").arg(error));
    }
}

void PrinterSurface::abortDocument() {
    closeScratch();
    current_ = nullptr;
    if (painter_.isActive()) {
        painter_.end();
        QFile::remove(outputPath_);
    }
}

void PrinterSurface::usePaper(std::optional<QPageSize> size) {
    ownPaper_ = true;
    paper_ = std::move(size);
}

void PrinterSurface::drawRecordedPage(QByteArrayView drawing) {
    if (!pageInRange()) {
        return;
    }
    const QRectF area(shift_, printer_->pageRect(QPrinter::DevicePixel).size());
    emf::playEmf(drawing, painter_, area);
    // The page's own fonts and colours are left on the painter.
    fontOnPainter_ = false;
    penOnPainter_ = false;
}

void PrinterSurface::fillRect(const QRect& rect, const QColor& colour) {
    if (current_ != nullptr) {
        current_->fillRect(rect, colour);
    }
}

void PrinterSurface::fillRects(const std::vector<QRect>& rects, const QColor& colour) {
    if (current_ == nullptr || rects.empty()) {
        return;
    }
    // Each bar its own filled rectangle, as fillRect() gives it, but with the brush set once:
    // rasterisers snap a path of one rectangle to whole pixels, not one of many.
    current_->setPen(Qt::NoPen);
    current_->setBrush(colour);
    for (const QRect& r : rects) {
        current_->drawRect(r);
    }
    current_->setBrush(Qt::NoBrush);
    // The text's pen is set again before the next text.
    penOnPainter_ = false;
}

void PrinterSurface::selectFont(const settings::FontDescription& font) {
    selectFontAt(font, 0);
}

void PrinterSurface::selectFontAt(const settings::FontDescription& font, int size) {
    if (font_ && *font_ == font && fontSize_ == size) {
        return;
    }
    font_ = font;
    fontSize_ = size;
    qfont_ = toQFont(font);
    if (size > 0) {
        qfont_.setPointSizeF(size / 10.0);
    }
    metrics_.emplace(qfont_, printer_.get());
    // Asked for every line drawn; the metrics look the font engine up again on each call.
    height_ = metrics_->height();
    ascent_ = metrics_->ascent();
    fontOnPainter_ = false;
}

int PrinterSurface::textCellHeight(const QString& /*text*/) {
    // The text cell of a single line is as high as the font's, whatever the text.
    return metrics_ ? height_ : 0;
}

void PrinterSurface::drawText(QPoint at, TextAnchor anchor, const QString& text,
                              const QColor& colour) {
    if (current_ == nullptr || !metrics_) {
        return;
    }
    if (!fontOnPainter_) {
        current_->setFont(qfont_);
        fontOnPainter_ = true;
    }
    if (!penOnPainter_ || pen_ != colour) {
        current_->setPen(colour);
        pen_ = colour;
        penOnPainter_ = true;
    }
    if (anchor == TextAnchor::TopCentre) {
        // Centred by the painter in a box around the anchor: the text is shaped only once.
        constexpr double kHalfWidth = 1e6;
        current_->drawText(QRectF(at.x() - kHalfWidth, at.y(), 2 * kHalfWidth, height_),
                           Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip | Qt::TextSingleLine,
                           text);
        return;
    }
    current_->drawText(QPointF(at.x(), at.y() + ascent_), text);
}

const PrinterSurface::DigitGlyphs* PrinterSurface::digitGlyphs() {
    auto it = std::find_if(digits_.begin(), digits_.end(), [this](const FontDigits& f) {
        return f.font == *font_ && f.size == fontSize_;
    });
    if (it == digits_.end()) {
        digits_.push_back({*font_, fontSize_, layOutDigits()});
        it = digits_.end() - 1;
    }
    return it->digits ? &*it->digits : nullptr;
}

std::optional<PrinterSurface::DigitGlyphs> PrinterSurface::layOutDigits() {
    // The digits as the painter's font lays them out, one by one, and every pair of them side
    // by side: a font that kerns or joins digits keeps the full text layout.
    const auto layOut = [this](const QString& text) {
        QTextLayout layout(text, current_->font(), current_->device());
        layout.beginLayout();
        QTextLine line = layout.createLine();
        layout.endLayout();
        const QList<QGlyphRun> runs = layout.glyphRuns();
        return std::make_pair(runs.size() == 1 ? runs.front() : QGlyphRun(),
                              line.isValid() ? line.horizontalAdvance() : 0.0);
    };
    const auto fixed = [](double v) { return static_cast<int>(std::lround(v * 64)); };
    DigitGlyphs digits;
    for (int d = 0; d < 10; ++d) {
        const auto [run, width] = layOut(QString(QChar(u'0' + d)));
        if (run.glyphIndexes().size() != 1 || run.glyphIndexes().front() == 0) {
            return std::nullopt;
        }
        if (d == 0) {
            digits.font = run.rawFont();
            digits.baseline = run.positions().front().y();
        } else if (run.rawFont() != digits.font || run.positions().front().y() != digits.baseline) {
            return std::nullopt;
        }
        digits.glyphs[d] = run.glyphIndexes().front();
        digits.advances[d] = fixed(width - run.positions().front().x());
    }
    QString pairs;
    for (int d = 0; d < 100; ++d) {
        pairs += QChar(u'0' + d / 10);
        pairs += QChar(u'0' + d % 10);
    }
    const auto [run, width] = layOut(pairs);
    if (run.glyphIndexes().size() != pairs.size() || run.rawFont() != digits.font) {
        return std::nullopt;
    }
    int x = fixed(run.positions().front().x());
    for (qsizetype i = 0; i < pairs.size(); ++i) {
        const int d = pairs[i].unicode() - u'0';
        const QPointF at = run.positions()[i];
        if (run.glyphIndexes()[i] != digits.glyphs[d] || fixed(at.x()) != x ||
            at.y() != digits.baseline) {
            return std::nullopt;
        }
        x += digits.advances[d];
    }
    if (x != fixed(width)) {
        return std::nullopt;
    }
    return digits;
}

void PrinterSurface::drawCentredTexts(const std::vector<CentredText>& texts, const QColor& colour) {
    if (current_ == nullptr || !metrics_) {
        return;
    }
    if (!fontOnPainter_) {
        current_->setFont(qfont_);
        fontOnPainter_ = true;
    }
    const auto allDigits = [](const QString& text) {
        return std::all_of(text.begin(), text.end(),
                           [](QChar c) { return c >= u'0' && c <= u'9'; });
    };
    const DigitGlyphs* digits = current_ == &painter_ ? digitGlyphs() : nullptr;
    if (digits == nullptr || !std::all_of(texts.begin(), texts.end(), [&](const CentredText& t) {
            return allDigits(t.text);
        })) {
        PageSurface::drawCentredTexts(texts, colour);
        return;
    }
    if (!penOnPainter_ || pen_ != colour) {
        current_->setPen(colour);
        pen_ = colour;
        penOnPainter_ = true;
    }
    // Digits only: the glyphs and advances of the laid-out digits, each text placed exactly
    // where the painter centres it, all of them in one text run instead of a layout per text.
    qsizetype count = 0;
    for (const CentredText& t : texts) {
        count += t.text.size();
    }
    QList<quint32> glyphs;
    QList<QPointF> positions;
    glyphs.reserve(count);
    positions.reserve(count);
    for (const CentredText& t : texts) {
        int width = 0;
        for (QChar c : t.text) {
            width += digits->advances[c.unicode() - u'0'];
        }
        double x = t.at.x() - width / 128.0;
        for (QChar c : t.text) {
            const int d = c.unicode() - u'0';
            glyphs.push_back(digits->glyphs[d]);
            positions.push_back(QPointF(x, t.at.y() + digits->baseline));
            x += digits->advances[d] / 64.0;
        }
    }
    if (glyphs.isEmpty()) {
        return;
    }
    QGlyphRun run;
    run.setRawFont(digits->font);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    current_->drawGlyphRun(QPointF(0, 0), run);
}

} // namespace labelprint

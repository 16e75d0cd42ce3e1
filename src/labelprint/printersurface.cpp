#include "labelprint/printersurface.h"

#include "labelprint/cupsjob.h"
#include "labelprint/emfplayer.h"
#include "labelprint/slotfont.h"
#include "labelprint/units.h"
#include "platform/error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>

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
    // Each bar its own filled rectangle, as fillRect() gives it, but with the brush set once.
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

} // namespace labelprint

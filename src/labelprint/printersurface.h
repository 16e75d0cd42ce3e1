// The printer surface: paints a layout run's pages on a QPrinter in device pixels, either on a
// printer of the platform's print system or into a PDF file. Pages outside the page range are
// drawn onto a scratch page and thrown away; the job opens with the first page in range.
// A document that cannot begin, be written or be sent throws platform::Error out of the run,
// the job abandoned and its output removed.
#pragma once

#include "labelprint/pagesurface.h"
#include "labelprint/papertable.h"
#include "labelprint/printsettings.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPicture>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRawFont>
#include <QTemporaryDir>
#include <array>
#include <memory>
#include <optional>

namespace labelprint {

// The paper a printer is set up for: its size (none: the printer's own paper stays) and the
// orientation.
struct PrinterPaper {
    std::optional<QPageSize> size;
    Orientation orientation = Orientation::Portrait;
};

// Puts the print settings into the printer's device settings, alike for a print and for the
// replay of loaded pages: paper, orientation, duplex off and the job's name. Where the output
// goes (a printer or a PDF file) and who makes the copies stay each caller's own.
void configurePrinter(QPrinter& printer, const PrintSettings& settings, const PrinterPaper& paper);

class PrinterSurface : public PageSurface {
  public:
    struct PdfFile {
        QString path;
    };

    // Prints on `settings.printer` (empty: the default printer), on the paper of
    // paperOfOutput() for `settings.paper`.
    PrinterSurface(const PrintSettings& settings, Orientation orientation,
                   QPrinter::PrinterMode mode = QPrinter::HighResolution);
    // Writes a PDF file instead, on A4 or the Letter of a Letter sheet; the device origin is
    // the paper's corner.
    PrinterSurface(PdfFile file, const PrintSettings& settings, Orientation orientation,
                   QPrinter::PrinterMode mode = QPrinter::HighResolution);
    ~PrinterSurface() override;
    PrinterSurface(const PrinterSurface&) = delete;
    PrinterSurface& operator=(const PrinterSurface&) = delete;

    int dpiX() const override { return dpiX_; }
    int dpiY() const override { return dpiY_; }
    double originLeft() const override { return originLeft_; }
    double originTop() const override { return originTop_; }
    double paperWidth() const override { return paperWidth_; }
    double paperLength() const override { return paperLength_; }

    bool beginDocument() override;
    void beginPage() override;
    void finishPage() override;
    void endDocument() override;
    void abortDocument() override;

    void fillRect(const QRect& rect, const QColor& colour) override;
    // One filled path for all of them: a barcode's bars cost one fill in the PDF, not one each.
    void fillRects(const std::vector<QRect>& rects, const QColor& colour) override;
    void selectFont(const settings::FontDescription& font) override;
    void selectFontAt(const settings::FontDescription& font, int size) override;
    int textCellHeight(const QString& text) override;
    void drawText(QPoint at, TextAnchor anchor, const QString& text, const QColor& colour) override;
    // Texts of digits only go out as one text run in the glyphs the font lays the digits out
    // with; other texts are drawn one by one.
    void drawCentredTexts(const std::vector<CentredText>& texts, const QColor& colour) override;

    // The paper of loaded pages, before beginDocument(): `size` instead of the one
    // paperOfOutput() chooses (none: the printer's own paper stays).
    void usePaper(std::optional<QPageSize> size);
    // Whether the page begun last goes to the printer or file, not onto a scratch page.
    bool pageInRange() const { return current_ != nullptr && current_ == &painter_; }
    // Plays a recorded page (EMF) stretched over the printable area from the device origin, moved
    // by the printer's offset. Throws platform::Error for a damaged page, which draws nothing.
    void drawRecordedPage(QByteArrayView drawing);

    // Pages that went to the printer or file (not the scratch pages).
    int printedPages() const { return printed_; }
    // The scheduler's job number once the document ended; 0 when nothing was sent or for a
    // PDF file.
    int jobId() const { return jobId_; }
    // The print job's name, chosen by beginDocument().
    const QString& jobName() const { return jobName_; }
    // The printer as set up by beginDocument(); null before.
    const QPrinter* printer() const { return printer_.get(); }

  private:
    void setUpPrinter();
    void usePainter(QPainter* painter);
    void closeScratch();
    [[noreturn]] void fail(const QString& text);

    PrintSettings settings_;
    Orientation orientation_;
    QPrinter::PrinterMode mode_;
    std::optional<QString> pdfPath_;
    bool ownPaper_ = false;
    std::optional<QPageSize> paper_;
    QString jobName_;

    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<QTemporaryDir> spool_;
    QString outputPath_;
    QPainter painter_;
    QPicture scratch_;
    QPainter scratchPainter_;
    QPainter* current_ = nullptr;

    int dpiX_ = 0;
    int dpiY_ = 0;
    QPointF shift_; // the printer's offset in device pixels
    double originLeft_ = 0;
    double originTop_ = 0;
    double paperWidth_ = 0;
    double paperLength_ = 0;

    int page_ = 0;
    int printed_ = 0;
    int jobId_ = 0;

    // The selected font and its metrics on the printer; set on the painter when first drawn.
    std::optional<settings::FontDescription> font_;
    int fontSize_ = 0; // 0.1 pt; 0: the font's own size
    QFont qfont_;
    std::optional<QFontMetrics> metrics_;
    int height_ = 0;
    int ascent_ = 0;
    bool fontOnPainter_ = false;
    QColor pen_;
    bool penOnPainter_ = false;

    // The selected font's digits as laid out on the printer, when each lays out alone exactly
    // as beside any other digit; laid out once per font.
    struct DigitGlyphs {
        QRawFont font;
        std::array<quint32, 10> glyphs{};
        std::array<int, 10> advances{}; // 1/64 device unit
        double baseline = 0;            // from the text cell's top
    };
    const DigitGlyphs* digitGlyphs();
    std::optional<DigitGlyphs> layOutDigits();
    struct FontDigits {
        settings::FontDescription font;
        int size = 0;
        std::optional<DigitGlyphs> digits;
    };
    std::vector<FontDigits> digits_; // one per font drawn with, a few at most
};

} // namespace labelprint

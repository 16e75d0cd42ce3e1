#include "labelprint/windows/printsetupdialog.h"

#include "platform/widgets/placement.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>

namespace labelprint {
namespace {

// Qt's dialog selects a printer whenever it is shown, even for a printer set up for a PDF file;
// this puts the printer list back on its last entry, "print to file (PDF)", once it is shown.
class ChoosePdfEntryOnShow : public QObject {
  public:
    explicit ChoosePdfEntryOnShow(QPrintDialog* dialog) : QObject(dialog) {
        dialog->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            auto* printers = watched->findChild<QComboBox*>(QStringLiteral("printers"));
            if (printers && printers->count() > 0) {
                printers->setCurrentIndex(printers->count() - 1);
            }
        }
        return false;
    }
};

} // namespace

std::optional<PrintSetupAnswer> runPrintDialog(const PrintSetupRequest& r) {
    // The printer starts from its driver's defaults, with the report's printer selected.
    QPrinter printer(QPrinter::HighResolution);
    const std::unique_ptr<QPrintDialog> dialog = makePrintDialog(printer, r);
    platform::placeAtOneThird(dialog.get());
    if (dialog->exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    PrintSetupAnswer a;
    a.printer = printer.printerName();
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        a.pdfFile = printer.outputFileName();
        a.printer = r.printer;
    }
    a.copies = printer.copyCount();
    a.orientation = printer.pageLayout().orientation() == QPageLayout::Landscape
                        ? Orientation::Landscape
                        : Orientation::Portrait;
    a.pageRange = dialog->printRange() == QAbstractPrintDialog::PageRange;
    a.fromPage = dialog->fromPage();
    a.toPage = dialog->toPage();
    return a;
}

std::unique_ptr<QPrintDialog> makePrintDialog(QPrinter& printer, const PrintSetupRequest& r) {
    if (!r.printer.isEmpty()) {
        printer.setPrinterName(r.printer);
    }
    printer.setPageOrientation(r.orientation == Orientation::Landscape ? QPageLayout::Landscape
                                                                       : QPageLayout::Portrait);
    printer.setCopyCount(std::max(1, r.copies));
    printer.setPrintRange(QPrinter::AllPages);
    if (!r.pdfFile.isEmpty()) {
        // The file chosen last time.
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(r.pdfFile);
    }
    auto dialog = std::make_unique<QPrintDialog>(&printer);
    dialog->setMinMax(r.minPage, r.maxPage);
    // The range fields show the run's pages, while the choice stays on all pages.
    dialog->setFromTo(r.fromPage, r.toPage);
    dialog->setOptions(QAbstractPrintDialog::PrintPageRange |
                       QAbstractPrintDialog::PrintShowPageSize | QAbstractPrintDialog::PrintToFile);
    dialog->setOption(QAbstractPrintDialog::PrintSelection, false);
    if (!r.pdfFile.isEmpty()) {
        new ChoosePdfEntryOnShow(dialog.get());
    }
    // The dialog only sets up; printing is the preview's Print button.
    if (auto* buttons = dialog->findChild<QDialogButtonBox*>()) {
        if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok)) {
            ok->setText(QStringLiteral("OK"));
        }
    }
    return dialog;
}

platform::AnswerQueue<PrintSetupRequest, std::optional<PrintSetupAnswer>>& printSetupAnswers() {
    static platform::AnswerQueue<PrintSetupRequest, std::optional<PrintSetupAnswer>> queue;
    return queue;
}

std::optional<PrintSetupAnswer> showPrintSetup(const PrintSetupRequest& request) {
    return printSetupAnswers().ask(request);
}

} // namespace labelprint

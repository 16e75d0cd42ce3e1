#include "labelprint/windows/printsetupdialog.h"

#include "platform/widgets/placement.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <deque>

namespace labelprint {
namespace {

struct State {
    bool real = false;
    std::deque<std::optional<PrintSetupAnswer>> answers;
    std::vector<PrintSetupRequest> requests;
};

State& state() {
    static State s;
    return s;
}

std::optional<PrintSetupAnswer> realDialog(const PrintSetupRequest& r) {
    // The printer starts from its driver's defaults, with the report's printer selected.
    QPrinter printer(QPrinter::HighResolution);
    if (!r.printer.isEmpty()) {
        printer.setPrinterName(r.printer);
    }
    printer.setPageOrientation(r.orientation == Orientation::Landscape ? QPageLayout::Landscape
                                                                       : QPageLayout::Portrait);
    printer.setCopyCount(std::max(1, r.copies));
    printer.setPrintRange(QPrinter::AllPages);

    QPrintDialog dialog(&printer);
    dialog.setMinMax(r.minPage, r.maxPage);
    // The range fields show the run's pages, while the choice stays on all pages.
    dialog.setFromTo(r.fromPage, r.toPage);
    dialog.setOptions(QAbstractPrintDialog::PrintPageRange | QAbstractPrintDialog::PrintShowPageSize);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    platform::placeAtOneThird(&dialog);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    PrintSetupAnswer a;
    a.printer = printer.printerName();
    a.copies = printer.copyCount();
    a.orientation = printer.pageLayout().orientation() == QPageLayout::Landscape
                        ? Orientation::Landscape
                        : Orientation::Portrait;
    a.pageRange = dialog.printRange() == QAbstractPrintDialog::PageRange;
    a.fromPage = dialog.fromPage();
    a.toPage = dialog.toPage();
    return a;
}

} // namespace

std::optional<PrintSetupAnswer> showPrintSetup(const PrintSetupRequest& request) {
    State& s = state();
    s.requests.push_back(request);
    if (!s.answers.empty()) {
        auto next = s.answers.front();
        s.answers.pop_front();
        return next;
    }
    if (!s.real) {
        return std::nullopt;
    }
    return realDialog(request);
}

void setNextPrintSetup(std::optional<PrintSetupAnswer> answer) {
    state().answers.push_back(std::move(answer));
}
const std::vector<PrintSetupRequest>& printSetupRequests() { return state().requests; }
void usePrintDialog(bool on) { state().real = on; }

} // namespace labelprint

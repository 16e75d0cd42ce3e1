// The print setup dialog: the platform's print dialog set up from the label report, or a
// queued answer in tests, so no test waits on a modal window.
#pragma once

#include "labelprint/printsettings.h"
#include "platform/answerqueue.h"

#include <QString>
#include <memory>
#include <optional>
#include <vector>

class QPrintDialog;
class QPrinter;

namespace labelprint {

struct PrintSetupRequest {
    QString printer; // empty: the default printer
    int copies = 1;
    Orientation orientation = Orientation::Portrait;
    int minPage = 0;
    int maxPage = 9999;
    int fromPage = 0;
    int toPage = 0;
    QString pdfFile = {}; // the PDF file chosen last time, if any
};

struct PrintSetupAnswer {
    QString printer;
    int copies = 1;
    Orientation orientation = Orientation::Portrait;
    bool pageRange = false; // false: all pages
    int fromPage = 0;
    int toPage = 0;
    QString pdfFile = {}; // not empty: "print to file (PDF)" was chosen, into this file
};

// Shows the dialog; nothing when cancelled.
std::optional<PrintSetupAnswer> showPrintSetup(const PrintSetupRequest& request);

// The queue behind showPrintSetup(); without a queued answer and without the real dialog, the
// dialog is cancelled.
platform::AnswerQueue<PrintSetupRequest, std::optional<PrintSetupAnswer>>& printSetupAnswers();

// The real dialog: the platform's print dialog on a printer with its driver's defaults, placed
// as the program places its dialogs.
std::optional<PrintSetupAnswer> runPrintDialog(const PrintSetupRequest& request);

// The platform's print dialog on `printer`, preset from the request: pages, copies,
// orientation, printing to a PDF file offered, OK reading "OK". Not shown yet.
std::unique_ptr<QPrintDialog> makePrintDialog(QPrinter& printer, const PrintSetupRequest& request);

} // namespace labelprint

// What the label report keeps for printing between print commands: the printer, copies, page
// range and job name, and the page orientation that is part of its page description.
#pragma once

#include "settings/sheetstore.h"

#include <QString>

namespace labelprint {

enum class Orientation { Portrait, Landscape };

struct PrintSettings {
    QString printer; // empty: the system's default printer
    int copies = 1;
    int firstPage = 0; // 0: no lower bound
    int lastPage = 0;  // 0: no upper bound
    QString title;     // the print job's document name
    QString pdfFile;   // not empty: the pages go into this PDF file instead of a printer
    // Shifts that printers put on their output, by printer name; only the printer surface
    // applies them, so previews and PDF files stay exact.
    settings::PrinterOffsets offsets;
    // The paper the sheet description asks for: A4 unless a Letter sheet is on.
    settings::SheetPaper paper = settings::SheetPaper::A4;

    // The name print queues show for the job: the title, or when it is empty the program's
    // name with the date and time.
    QString jobName() const;

    bool inRange(int page) const {
        return (firstPage <= 0 || page >= firstPage) && (lastPage <= 0 || page <= lastPage);
    }
};

} // namespace labelprint

// A print request: everything one print needs besides the list and where the pages go, built by
// the same functions for the window and the batch tool, and checked once before the label report
// takes it. Each fault is a typed RequestFault that every front end words in its own language.
#pragma once

#include "labelprint/printsettings.h"
#include "platform/error.h"
#include "settings/layoutsettings.h"
#include "settings/sheetstore.h"

#include <QString>
#include <array>

namespace platform {
class Profile;
}

namespace labelprint {

class LabelReport;

struct PrintRequest {
    // Margins, columns, label height, colours, the seven slots (each with its barcode and fit
    // options) and the sheet (`layout.sheet`).
    settings::LayoutSettings layout;
    // "začít od štítku N": the first label goes to position N of the first page.
    int startPosition = 1;
    // Positions of the first sheet already used, which labels skip; only with a sheet that is on.
    settings::UsedPositions used;
    settings::PrinterOffsets offsets;
    Orientation orientation = Orientation::Portrait;
    // The print job's document name; empty: the program's name with the date and time.
    QString title;
    int copies = 1;
    int firstPage = 0; // 0: no lower bound
    int lastPage = 0;  // 0: no upper bound
};

// One fault of a request or of the files it is read from. text() is a plain description for a
// log; the window and the batch tool each show their own wording of kind() and its values.
class RequestFault : public platform::Error {
  public:
    enum class Kind {
        NoSettingsFolder, // path(): the settings folder does not exist
        NotAFolder,       // path(): names something other than a folder
        FontFile,         // path(): the font file cannot be read; fileError() says why
        SheetUnprintable, // reason(): the arch tab's text
        StartPastSheet,   // start() lies outside 1..perPage()
        NoFreePosition,   // start() and the used positions leave the first sheet no position;
                          // reason() is the arch tab's text
    };

    static RequestFault noSettingsFolder(const QString& path);
    static RequestFault notAFolder(const QString& path);
    static RequestFault fontFile(const QString& path, int fileError);
    static RequestFault sheetUnprintable(const QString& reason);
    static RequestFault startPastSheet(int start, int perPage);
    static RequestFault noFreePosition(int start, const QString& reason);

    Kind kind() const { return kind_; }
    const QString& path() const { return path_; }
    int fileError() const { return fileError_; }
    const QString& reason() const { return reason_; }
    int start() const { return start_; }
    int perPage() const { return perPage_; }

  private:
    RequestFault(Kind kind, const QString& text) : platform::Error(text), kind_(kind) {}

    Kind kind_;
    QString path_;
    int fileError_ = 0;
    QString reason_;
    int start_ = 0;
    int perPage_ = 0;
};

// dravelin.ini's layout settings (sections setup and arch) over `base`.
settings::LayoutSettings readLayoutSettings(const platform::Profile& ini,
                                            const settings::LayoutSettings& base);
// The font file of the folder `dir` (ending in a separator or not), when there is one, onto the
// slot fonts of `layout`; all seven records are read before any font changes. Throws
// RequestFault::FontFile.
void readSlotFonts(const QString& dir, settings::LayoutSettings& layout);
// A settings folder as the program keeps it: dravelin.ini over the defaults of a first run and
// the font file when present. Throws RequestFault.
PrintRequest readSettingsFolder(const QString& dir);
// The window's request: `layout`, start position, used positions and offsets from its controls,
// with the print setup that `kept` holds between print commands (orientation, copies, range,
// title).
PrintRequest requestFromControls(const settings::LayoutSettings& layout, int startPosition,
                                 const settings::UsedPositions& used,
                                 const settings::PrinterOffsets& offsets, const LabelReport& kept);

// Makes `report` print `request`: orientation, copies, range and title into its print settings,
// then the layout settings in the print command's order, then the start and used positions. The
// printer or PDF file it prints on stay the report's. Throws RequestFault: a sheet that cannot be
// printed leaves the report as it was; a start position past the page is found after the layout
// is taken, as the page it must fit on follows from it.
void takeRequest(LabelReport& report, const PrintRequest& request);

} // namespace labelprint

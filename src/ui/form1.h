// Form1, the main window: the three tabs, the start-up sequence that fills them from
// dravelin.ini, seznam.db and the font file, and the shutdown sequence that writes them back.
// Handlers only read their controls, call the core and reload the view.
#pragma once

#include "printlist/listundo.h"
#include "printlist/store.h"
#include "settings/layoutsettings.h"
#include "settings/settingsfile.h"

#include <QWidget>
#include <array>
#include <functional>
#include <memory>

class QTabWidget;
class ColourSwatch;
namespace labelprint {
class Ttiskf;
}
class ListFollower;
class ListGridModel;
class SlotFont;
class StitkyTab;
class NastaveniTab;
class InfoTab;
class ArchTab;
class SlotTab;

class TForm1 : public QWidget {
    Q_OBJECT
  public:
    // Creating the window runs the start-up sequence.
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // True when the database could not be opened: the program must end without serving the
    // user, and closing writes nothing.
    bool fatalError() const { return fatal_; }

    // The layout settings as the controls hold them now.
    settings::LayoutSettings layoutSettings() const;
    // Puts every value into its control; slot fonts into their font dialogs.
    void putLayoutSettings(const settings::LayoutSettings& s);
    // The resolution of the printer print setup chose (the default one unless chosen), 0 for
    // none or a PDF file: the EAN warning of the řádky tab is worked out for it.
    int chosenPrinterDpi() const;

    printlist::Store& store() { return *store_; }

    std::array<int, settings::kGridColumns> columnWidths() const;
    void setcolumnwidth(const std::array<int, settings::kGridColumns>& widths);

    // The save dialog sd1 and the open dialog OpenDialog1, shared by the list files and the
    // settings snapshots: each offers the file of its previous confirmed use.
    struct FileDialogState {
        QString fileName;
        QString initialDir;
    };
    FileDialogState sd1;         // the save dialog ("uložit seznam", "uložit nastavení")
    FileDialogState OpenDialog1; // the open dialog ("načíst seznam", "načíst nastavení")
    FileDialogState cenikd;      // the open dialog of "načíst ceník"
    // ColorDialog1's own current colour: black until the user first confirms a colour.
    std::int32_t colorDialog1Colour = 0;

    // Command handlers, public so tests drive them as the buttons do.
    void pridatbClick();
    void vymazatbClick();
    void vymazatpoloku1Click();
    // Ctrl+Z: puts back what the last "vymazat položku", "vymazat seznam" or "načíst seznam"
    // took away.
    void undoListCommand();
    void ulozitseznambClick();
    void nacistseznambClick();
    // "načíst ceník": a shop's price list through a column mapping, added to the print list.
    void nacistcenikbClick();
    void ulozitbClick();
    void nacistbClick();
    void fontButtonClick(int slot);
    void shapeMouseDown(ColourSwatch* shape);
    // Label23 is the info tab's contact address: a click starts an e-mail to it.
    void Label23Click();
    void tiskbClick();
    // The alignment page of the sheet in force, on the printer chosen in the arch tab.
    void zkusebnibClick();
    // The hidden print form whose label report the print command fills.
    void setPrintForm(labelprint::Ttiskf* tiskf) { tiskf_ = tiskf; }

    // pc1, the page control: the tab control that holds the four tabs.
    QTabWidget* pc1;
    StitkyTab* stitkyts;
    NastaveniTab* nastavenits;
    InfoTab* infots;
    ArchTab* archts;
    SlotTab* slotts;
    std::array<SlotFont*, settings::SlotCount> fontdialog{};

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void startup();
    void openStore(const QString& server);
    // Follows the store's change notices: another workstation changed the list.
    void watchChanges();
    void listChangedElsewhere();
    // Reloads the view and keeps the current row on the same record where it still exists.
    void reloadKeepingCurrent();
    // The same after `read`, which reads the view again when it returns true; a failure of
    // `read` goes to the caller with the view as it was.
    void keepCurrentRowAcross(const std::function<bool()>& read);
    // The view as the server now holds it, before the list is printed.
    void catchUp();
    void readFontFile();
    void shutdown();
    void FormActivate();
    void DBGrid1KeyDown(QKeyEvent* event);
    void gridRowPressed(int row);
    void ColorDialog1Show();
    // Runs a list command under the default error handler, then shows the list view as it now
    // is, first row current, whether the command succeeded or not.
    void listCommand(const std::function<void()>& command);
    void showFirstRow();
    // The print command's settings and the arch tab's start position and printer offsets onto
    // the label report; throws with the tab's text when they cannot be printed.
    void takeIntoReport();
    // Unless a layout run goes on: the settings onto the label report, then `command` of the
    // print form, under the default error handler.
    void printWithReport(const std::function<void()>& command);

    std::unique_ptr<printlist::Store> store_;
    printlist::ListUndo listUndo_;
    ListGridModel* gridModel_;
    ListFollower* follower_ = nullptr;
    bool fatal_ = false;
    // The last close failed to write the settings.
    bool closeFailed_ = false;
    labelprint::Ttiskf* tiskf_ = nullptr;
};

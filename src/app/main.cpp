// Program entry: the application object, the main window with its start-up sequence, the
// hidden print form, then the event loop. No arguments and no environment variables are read.
#include "labelprint/windows/printsetupdialog.h"
#include "labelprint/windows/tiskunit.h"
#include "platform/fontsubstitutes.h"
#include "platform/instancelock.h"
#include "platform/programdir.h"
#include "platform/prompts.h"
#include "platform/widgets/widgetprompts.h"
#include "ui/dialogseam.h"
#include "ui/form1.h"
#include "ui/instancebeacon.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    platform::installFontSubstitutes();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/dravelin.png")));
    platform::WidgetPrompts prompts;
    prompts::setBackend(&prompts);
    dialogs::useRealDialogs(true);

    // A second window on the same program directory would overwrite the first's settings.
    const auto instance = platform::claimProgramDirectory(platform::programDirectory());
    if (!instance) {
        InstanceBeacon::callFirst(platform::programDirectory());
        return 0;
    }
    TForm1 form1;
    if (form1.fatalError()) {
        // The database is unusable: the program ends before the user can work, and nothing is
        // written.
        return 1;
    }
    labelprint::usePrintDialog(true);
    labelprint::Ttiskf tiskf(form1.store().listView());
    form1.setPrintForm(&tiskf);
    new InstanceBeacon(platform::programDirectory(), &form1);
    form1.show();
    const int rc = app.exec();
    prompts::setBackend(nullptr);
    return rc;
}

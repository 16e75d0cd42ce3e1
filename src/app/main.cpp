// Program entry: the command line is answered before anything else, so --help, --version and
// a wrong option need no display; then the application object with the start-up additions, the main
// window with its start-up sequence, the hidden print form and the event loop. A prepared-pages
// file on the command line opens in the preview once the window is up.
#include "app/commandline.h"
#include "labelprint/windows/tiskunit.h"
#include "platform/instancelock.h"
#include "platform/programdir.h"
#include "startup/startup.h"
#include "ui/dialogseam.h"
#include "ui/form1.h"
#include "ui/instancebeacon.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QTimer>

#include <cstdio>

namespace {

// Help and version print and end the program; a wrong command line says why and ends it with
// code 2. Returns -1 when the program goes on.
int answer(const app::CommandLine& c) {
    switch (c.action) {
    case app::CommandLine::Action::Help:
        std::fputs(app::helpText().toLocal8Bit().constData(), stdout);
        return 0;
    case app::CommandLine::Action::Version:
        std::fputs(
            (startup::versionLine(QStringLiteral("dravelin")) + '\n').toLocal8Bit().constData(),
            stdout);
        return 0;
    case app::CommandLine::Action::Wrong:
        std::fprintf(stderr, "dravelin: %s (see dravelin --help)\n",
                     c.error.toLocal8Bit().constData());
        return 2;
    case app::CommandLine::Action::Run:
        break;
    }
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    QStringList raw;
    for (int i = 1; i < argc; ++i) {
        raw << QString::fromLocal8Bit(argv[i]);
    }
    // Everything but Qt's own options (-platform, -style, ...) is answered now, before the
    // application object wants a display.
    if (const int rc = answer(app::parseCommandLine(app::withoutQtOptions(raw))); rc >= 0) {
        return rc;
    }

    QApplication application(argc, argv);
    const app::CommandLine command = app::parseCommandLine(QCoreApplication::arguments().mid(1));
    if (const int rc = answer(command); rc >= 0) {
        return rc;
    }
    startup::startUp();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/dravelin.png")));
    dialogs::installRealDialogs();

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
    labelprint::Ttiskf tiskf(form1.store().listView());
    form1.setPrintForm(&tiskf);
    new InstanceBeacon(platform::programDirectory(), &form1);
    form1.show();
    if (!command.file.isEmpty()) {
        const QString file = QFileInfo(command.file).absoluteFilePath();
        QTimer::singleShot(0, &tiskf, [&tiskf, file] { tiskf.previewFile(file); });
    }
    return application.exec();
}

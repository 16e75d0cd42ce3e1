// The start-up additions of both programs: the command line of dravelin, --help/--version
// answered without a display, the shipped barcode font and Qt's Czech texts.
#include "app/commandline.h"
#include "labelprint/windows/printsetupdialog.h"
#include "settings/fontfile.h"
#include "startup/startup.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <optional>

namespace {

using Action = app::CommandLine::Action;

TEST(CommandLine, OptionsAndFiles) {
    const struct {
        QStringList args;
        Action action;
        QString file;
    } cases[] = {
        {{}, Action::Run, ""},
        {{"cenovky.LPF"}, Action::Run, "cenovky.LPF"},
        {{"--help"}, Action::Help, ""},
        {{"-h"}, Action::Help, ""},
        {{"cenovky.LPF", "--version", "--help"}, Action::Help, ""},
        {{"--bogus", "--help"}, Action::Help, ""},
        {{"--version"}, Action::Version, ""},
        {{"-v", "cenovky.LPF"}, Action::Version, ""},
        {{"--bogus"}, Action::Wrong, ""},
        {{"-platform"}, Action::Wrong, ""},
        {{"a.LPF", "b.LPF"}, Action::Wrong, ""},
        {{""}, Action::Wrong, ""},
        {{"--", "-divny.LPF"}, Action::Run, "-divny.LPF"},
        {{"--", "--help"}, Action::Run, "--help"},
    };
    for (const auto& c : cases) {
        const app::CommandLine got = app::parseCommandLine(c.args);
        EXPECT_EQ(got.action, c.action) << c.args.join(' ').toStdString();
        EXPECT_EQ(got.file, c.file) << c.args.join(' ').toStdString();
        EXPECT_EQ(got.error.isEmpty(), c.action != Action::Wrong) << c.args.join(' ').toStdString();
    }
}

TEST(CommandLine, QtsOwnOptionsAreLeftToQtAndTheRestAnsweredBeforeIt) {
    const struct {
        QStringList args;
        QStringList rest;
    } cases[] = {
        {{"-platform", "xcb", "--bogus"}, {"--bogus"}},
        {{"--platform", "offscreen", "a.LPF"}, {"a.LPF"}},
        {{"-style=fusion", "-reverse", "-stylesheet", "x.qss", "--version"}, {"--version"}},
        {{"-display", ":1", "-geometry", "10x10", "-name", "d", "-session=s"}, {}},
        {{"-platform"}, {}},
        {{"-stylex", "--reverse=1", "-"}, {"-stylex", "--reverse=1", "-"}},
        {{"a.LPF", "--", "-platform", "b"}, {"a.LPF", "--", "-platform", "b"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(app::withoutQtOptions(c.args), c.rest) << c.args.join(' ').toStdString();
    }
}

struct Outcome {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs a built program with no display at all and an empty home folder.
Outcome runProgram(const QString& program, const QStringList& args, const QString& home,
                   const QString& platform = {}) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name :
         {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_DATA_HOME", "XDG_CONFIG_HOME"}) {
        env.remove(QString::fromLatin1(name));
    }
    env.insert("HOME", home);
    if (!platform.isEmpty()) {
        env.insert("QT_QPA_PLATFORM", platform);
    }
    QProcess p;
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(home);
    p.start(program, args);
    Outcome o;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return o;
    }
    o.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    o.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    o.err = QString::fromLocal8Bit(p.readAllStandardError());
    return o;
}

TEST(CommandLine, HelpAndVersionNeedNoDisplay) {
    QTemporaryDir home;
    const QString version = QStringLiteral(DRAVELIN_PROJECT_VERSION);
    const struct {
        const char* program;
        QStringList args;
        QString out;
    } cases[] = {
        {DRAVELIN_EXE, {"--version"}, "dravelin " + version + "\n"},
        {DRAVELIN_EXE, {"-platform", "xcb", "--version"}, "dravelin " + version + "\n"},
        {DRAVELIN_BATCH_EXE, {"--version"}, "dravelin-batch " + version + "\n"},
    };
    for (const auto& c : cases) {
        const Outcome o = runProgram(QString::fromLatin1(c.program), c.args, home.path());
        EXPECT_EQ(o.exitCode, 0) << c.program << " " << o.err.toStdString();
        EXPECT_EQ(o.out, c.out);
        EXPECT_EQ(o.err, "");
    }
    const Outcome help = runProgram(DRAVELIN_EXE, {"--help"}, home.path());
    EXPECT_EQ(help.exitCode, 0) << help.err.toStdString();
    EXPECT_TRUE(help.out.startsWith("Usage: dravelin [FILE.LPF]\n")) << help.out.toStdString();
    EXPECT_TRUE(help.out.contains("--version"));
    EXPECT_EQ(help.err, "");

    // A wrong command line says so on one line and ends at once, before Qt looks for a display.
    for (const QStringList& args :
         {QStringList{"--bogus"}, QStringList{"-platform", "xcb", "--bogus", "a.LPF"}}) {
        const Outcome wrong = runProgram(DRAVELIN_EXE, args, home.path());
        EXPECT_EQ(wrong.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_EQ(wrong.out, "");
        EXPECT_EQ(wrong.err, "dravelin: unknown option \"--bogus\" (see dravelin --help)\n");
    }
}

// Runs a tool to its end; its standard output, or nothing when it failed.
std::optional<QString> tool(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        return std::nullopt;
    }
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

TEST(ShippedFonts, DravelinBatchPrintsScannableBarcodesWithAnEmptyHome) {
    QTemporaryDir home;
    QTemporaryDir work;
    // kód1 in the barcode font, as a user sets it on the settings tab; the rest stays default.
    settings::SlotFonts fonts;
    fonts[settings::Kods].face = "Libre Barcode 39";
    fonts[settings::Kods].height = -48;
    fonts[settings::Kods].colour = 0;
    settings::writeFontFile(work.filePath("font"), fonts);
    // One column of labels high enough for the barcode alone.
    QFile ini(work.filePath("dravelin.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[setup]\r\nsloupce=1\r\nvyskabunky=30\r\nkodchb=0\r\nnazevchb=0\r\ncenachb=0\r\n");
    ini.close();
    QFile list(work.filePath("zbozi.csv"));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("8594001;*8594001*;Mleko;25,90;;;\r\nDRV42;*DRV42*;Chleba;39,00;;;\r\n");
    list.close();

    const QString pdf = work.filePath("cenovky.pdf");
    const Outcome o = runProgram(
        DRAVELIN_BATCH_EXE, {"--list", list.fileName(), "--settings", work.path(), "--pdf", pdf},
        home.path());
    ASSERT_EQ(o.exitCode, 0) << o.err.toStdString();
    const QString png = work.filePath("page");
    ASSERT_TRUE(tool("pdftoppm", {"-r", "300", "-gray", "-png", "-singlefile", pdf, png}));
    const auto scanned = tool("zbarimg", {"-q", "--raw", png + ".png"});
    ASSERT_TRUE(scanned) << "zbarimg found no barcode";
    QStringList codes = scanned->split('\n', Qt::SkipEmptyParts);
    codes.sort();
    EXPECT_EQ(codes, QStringList({"8594001", "DRV42"}));
}

TEST(ShippedFonts, TheBarcodeFontComesWithItsLicence) {
    const QString dir = QStringLiteral(DRAVELIN_SHIPPED_FONTS);
    EXPECT_TRUE(QFile::exists(dir + "/LibreBarcode39-OFL.txt"));
    QFile licence(dir + "/LibreBarcode39-OFL.txt");
    ASSERT_TRUE(licence.open(QIODevice::ReadOnly));
    EXPECT_TRUE(licence.readAll().contains("SIL Open Font License"));

    // HOME is an empty folder here (see tests/CMakeLists.txt): no user font can stand in.
    ASSERT_FALSE(QFontDatabase::families().contains("Libre Barcode 39"))
        << "a Libre Barcode 39 is installed on this machine; the test cannot tell it apart";
    EXPECT_EQ(startup::registerFonts(dir), QStringList({"Libre Barcode 39"}));
    EXPECT_TRUE(QFontDatabase::families().contains("Libre Barcode 39"));
    EXPECT_EQ(QFontInfo(QFont("Libre Barcode 39", 28)).family(), "Libre Barcode 39");
    EXPECT_EQ(startup::registerFonts(dir + "/nowhere"), QStringList());
}

TEST(QtTranslation, StandardButtonsSpeakCzech) {
    ASSERT_TRUE(startup::installQtTranslation())
        << "qtbase_cs.qm is missing (qt6-translations-l10n)";
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text(), "&Ano");
    EXPECT_EQ(box.button(QMessageBox::No)->text(), "&Ne");
    EXPECT_EQ(box.button(QMessageBox::Ok)->text(), "OK");
}

// Print setup in Czech: printing into a PDF file is offered as Qt's own dialog words it, and the
// button that only sets up reads "OK".
TEST(QtTranslation, PrintSetupOffersAPdfFileAndSaysOk) {
    ASSERT_TRUE(startup::installQtTranslation());
    QPrinter printer(QPrinter::HighResolution);
    const auto offeredOnOpen = [&printer](const labelprint::PrintSetupRequest& r, QString& okText) {
        const auto dialog = labelprint::makePrintDialog(printer, r);
        dialog->show();
        QCoreApplication::processEvents();
        okText = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->text();
        QString current;
        bool offered = false;
        for (QComboBox* box : dialog->findChildren<QComboBox*>()) {
            const int i = box->findText("Tisk do souboru (PDF)");
            if (i >= 0) {
                offered = true;
                current = box->currentText();
            }
        }
        dialog->accept(); // OK: the printer takes what the dialog shows
        return offered ? current : QString("(not offered)");
    };
    QString ok;
    labelprint::PrintSetupRequest request;
    const QString fresh = offeredOnOpen(request, ok);
    EXPECT_NE(fresh, "(not offered)");
    EXPECT_EQ(ok, "OK");
    QTemporaryDir dir;
    request.pdfFile = dir.filePath("cenovky.pdf");
    EXPECT_EQ(offeredOnOpen(request, ok), "Tisk do souboru (PDF)");
    EXPECT_EQ(printer.outputFormat(), QPrinter::PdfFormat);
    EXPECT_EQ(printer.outputFileName(), request.pdfFile);
}

} // namespace

#include "labelprint/emfplayer.h"
#include "labelprint/previewdocument.h"
#include "labelprint/windows/previewwindow.h"
#include "labelprint/windows/tiskunit.h"
#include "platform/programdir.h"
#include "platform/prompts.h"
#include "settings/fontfile.h"
#include "support/extremesettings.h"
#include "support/lockholder.h"
#include "support/readonlyfolder.h"
#include "support/tempprogramdir.h"
#include "ui/colourswatch.h"
#include "ui/form1.h"
#include "ui/listgrid.h"
#include "ui/nastavenitab.h"
#include "ui/slotfontcontrol.h"
#include "ui/spinfield.h"
#include "ui/stitkytab.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

class Form1Test : public ::testing::Test {
  protected:
    void SetUp() override { prompts::clearHistory(); }

    // Closes the window the way the user does; true when it closed.
    static bool closeForm(TForm1& form) {
        form.show();
        return form.close();
    }
};

TEST_F(Form1Test, FirstRunShowsDefaultsAndACloseWritesBothFiles) {
    TempProgramDir dir;
    dir.createDatabase();
    {
        TForm1 form;
        EXPECT_FALSE(form.fatalError());
        EXPECT_EQ(form.layoutSettings(), settings::LayoutSettings());
        EXPECT_EQ(form.columnWidths(), (std::array<int, 7>{100, 100, 100, 100, 100, 100, 100}));
        EXPECT_EQ(form.pc1->geometry(), form.rect());
        EXPECT_EQ(form.pc1->currentWidget(), form.stitkyts);
        EXPECT_EQ(form.stitkyts->kodle->text(), "123456");
        EXPECT_EQ(form.size(), QSize(892, 473));
        EXPECT_TRUE(closeForm(form));
    }
    EXPECT_TRUE(prompts::shownMessages().empty());
    const QString ini = QString::fromLatin1(dir.read("dravelin.ini"));
    EXPECT_TRUE(ini.startsWith("[setup]\nvlevo=10\nnahore=10\nkodtop=7\n")) << ini.toStdString();
    EXPECT_TRUE(ini.contains("[columns]\njedna=100\n"));
    EXPECT_EQ(dir.read("font").size(), 1876);
    settings::SlotFonts initial;
    EXPECT_EQ(settings::readFontFile(dir.file("font"), initial), initial);
}

TEST_F(Form1Test, SettingsChangedInTheControlsSurviveARestart) {
    TempProgramDir dir;
    dir.createDatabase();
    dir.write("dravelin.ini", "[setup]\nvlevo=0x14\nkodschb=yes\ntext1chb=2\nspecznak=\n"
                              "[columns]\njedna=-1\ndva=-1\ntri=150\n[user]\nmine=1\n");
    {
        TForm1 form;
        const settings::LayoutSettings s = form.layoutSettings();
        EXPECT_EQ(s.vlevo, 20);
        EXPECT_TRUE(s.lines[settings::Kods].on);
        EXPECT_TRUE(s.lines[settings::Text1].on);
        EXPECT_EQ(s.specznak, "");
        EXPECT_EQ(form.columnWidths()[1], 79); // -1 keeps the designed width
        EXPECT_EQ(form.columnWidths()[2], 150);
        form.nastavenits->vyskabunkyspin->setText("abc"); // no number: written as 0
        form.nastavenits->bordershape->setColour(255);
        settings::FontDescription f;
        f.face = "DejaVu Serif";
        f.height = -16;
        f.style = settings::Bold | settings::Underline;
        f.colour = 0x00FF00;
        form.fontdialog[settings::Cena]->setFont(f);
        EXPECT_TRUE(closeForm(form));
    }
    EXPECT_TRUE(dir.read("dravelin.ini").contains("[user]\nmine=1"));
    TForm1 again;
    const settings::LayoutSettings s = again.layoutSettings();
    EXPECT_EQ(s.vyskabunky, 0);
    EXPECT_EQ(s.bordercolor, 255);
    EXPECT_EQ(s.lines[settings::Cena].font.face, "DejaVu Serif");
    EXPECT_EQ(s.lines[settings::Cena].font.style, settings::Bold | settings::Underline);
    EXPECT_EQ(s.lines[settings::Cena].font.colour, 0x00FF00);
    again.setAttribute(Qt::WA_DeleteOnClose, false);
}

TEST_F(Form1Test, ShortFontFileIsReportedAndEndsStartUpWhereItStands) {
    TempProgramDir dir;
    dir.createDatabase();
    dir.write("font", QByteArray(1875, '\x01'));
    TForm1 form;
    ASSERT_EQ(prompts::shownMessages().size(), 1u);
    EXPECT_EQ(prompts::shownMessages()[0].text, "Read beyond end of file.");
    EXPECT_EQ(prompts::shownMessages()[0].title, platform::programTitle());
    EXPECT_EQ(form.fontdialog[0]->font(), settings::FontDescription());
    EXPECT_EQ(form.pc1->geometry(), QRect(5, 10, 851, 461));
    EXPECT_TRUE(closeForm(form));
    EXPECT_EQ(dir.read("font").size(), 1876);
}

TEST_F(Form1Test, LongFontFileUsesItsFirst1876Bytes) {
    TempProgramDir dir;
    dir.createDatabase();
    settings::SlotFonts fonts;
    fonts[settings::Nazev].face = "Liberation Serif";
    fonts[settings::Nazev].height = -20;
    settings::writeFontFile(dir.file("font"), fonts);
    dir.write("font", dir.read("font") + QByteArray(124, '\x7f'));
    TForm1 form;
    EXPECT_TRUE(prompts::shownMessages().empty());
    EXPECT_EQ(form.fontdialog[settings::Nazev]->font(), fonts[settings::Nazev]);
    EXPECT_TRUE(closeForm(form));
    EXPECT_EQ(dir.read("font").size(), 1876);
}

TEST_F(Form1Test, UnusableDatabaseIsFatalAndNothingIsWritten) {
    for (const bool emptyFile : {false, true}) {
        TempProgramDir dir;
        if (emptyFile) {
            dir.write("seznam.db", "");
        }
        dir.write("dravelin.ini", "[setup]\nvlevo=33\n");
        prompts::clearHistory();
        TForm1 form;
        EXPECT_TRUE(form.fatalError());
        ASSERT_EQ(prompts::shownMessages().size(), 1u);
        const prompts::Message& m = prompts::shownMessages()[0];
        EXPECT_EQ(m.title, "Fatal error");
        EXPECT_EQ(m.icon, prompts::Icon::Critical);
        // The fixed text stays whole; one line below it says where the file was looked for
        // and how to get one.
        const QStringList lines = m.text.split('\n');
        ASSERT_EQ(lines.size(), 2) << m.text.toStdString();
        EXPECT_TRUE(lines[0].startsWith("Není možné se připojit k databázi: " + dir.path() +
                                        "seznam.db, tato chyba"))
            << m.text.toStdString();
        EXPECT_TRUE(lines[0].endsWith("Program nemůže pokračovat a bude ukončen."));
        EXPECT_EQ(lines[1], "Databáze byla hledána v souboru " + dir.path() +
                                "seznam.db; prázdnou databázi vytvoří ./run.sh nebo make install.");
        EXPECT_TRUE(closeForm(form));
        EXPECT_EQ(dir.read("dravelin.ini"), "[setup]\nvlevo=33\n");
        EXPECT_FALSE(dir.exists("font"));
        EXPECT_EQ(dir.exists("seznam.db"), emptyFile); // a missing list is not created
    }
}

TEST_F(Form1Test, ListLockedByAnotherProgram) {
    TempProgramDir dir;
    dir.createDatabase();
    {
        // At start-up: the fatal text gets a line that names the lock instead of damage.
        LockHolder lock(dir.file("seznam.db"), 10);
        TForm1 form;
        EXPECT_TRUE(form.fatalError());
        ASSERT_EQ(prompts::shownMessages().size(), 1u);
        const QStringList lines = prompts::shownMessages()[0].text.split('\n');
        ASSERT_EQ(lines.size(), 2);
        EXPECT_TRUE(lines[0].startsWith("Není možné se připojit k databázi: "));
        EXPECT_TRUE(lines[1].contains("zamyká jiný program")) << lines[1].toStdString();
        EXPECT_TRUE(closeForm(form));
    }
    prompts::clearHistory();
    TForm1 form;
    ASSERT_FALSE(form.fatalError());
    form.stitkyts->kodle->setText("777");
    form.stitkyts->nazevle->setText("Mléko");
    {
        LockHolder lock(dir.file("seznam.db"), 10);
        form.pridatbClick();
        ASSERT_EQ(prompts::shownMessages().size(), 1u);
        EXPECT_EQ(prompts::shownMessages()[0].text,
                  "Seznam právě používá jiný program, zkuste to znovu.");
        EXPECT_EQ(form.store().listView().rowCount(), 0);
    }
    // Nothing typed is lost: once the lock is gone the same click adds the label.
    EXPECT_EQ(form.stitkyts->kodle->text(), "777");
    EXPECT_EQ(form.stitkyts->nazevle->text(), "Mléko");
    form.pridatbClick();
    EXPECT_EQ(prompts::shownMessages().size(), 1u);
    ASSERT_EQ(form.store().listView().rowCount(), 1);
    EXPECT_EQ(form.store().listView().field("nazev"), "Mléko");
    EXPECT_TRUE(closeForm(form));
}

TEST_F(Form1Test, FailedWriteAtShutdownKeepsTheWindowOpenUntilTheNextClose) {
    TempProgramDir dir;
    dir.createDatabase();
    dir.write("dravelin.ini", "[setup]\nvlevo=1\n");
    TForm1 form;
    ASSERT_TRUE(QDir(dir.path()).mkdir("font")); // the font file cannot be replaced
    EXPECT_FALSE(closeForm(form));
    EXPECT_TRUE(form.isVisible());
    ASSERT_EQ(prompts::shownMessages().size(), 1u);
    EXPECT_TRUE(prompts::shownMessages()[0].text.endsWith('.'));
    ASSERT_TRUE(QDir(dir.path()).rmdir("font"));
    EXPECT_TRUE(form.close());
    EXPECT_EQ(dir.read("font").size(), 1876);
}

TEST_F(Form1Test, ColumnWidthsFromTheSettingsFileAreUsedAsGiven) {
    TempProgramDir dir;
    dir.createDatabase();
    dir.write("dravelin.ini", "[columns]\njedna=1\ndva=15\ntri=0\nctyri=3\n");
    {
        TForm1 form;
        const auto widths = form.columnWidths();
        EXPECT_EQ(widths[0], 1);
        EXPECT_EQ(widths[1], 15);
        EXPECT_EQ(widths[2], 0);
        EXPECT_EQ(widths[3], 3);
        EXPECT_TRUE(closeForm(form));
    }
    EXPECT_TRUE(dir.read("dravelin.ini").contains("[columns]\njedna=1\ndva=15\ntri=0\nctyri=3\n"))
        << dir.read("dravelin.ini").toStdString();
}

TEST_F(Form1Test, FontFileThatIsNoFileGivesTheSameFileErrorTextAtStartAndAtClose) {
    const struct {
        const char* what;
        std::function<bool(const QString&)> make;
        const char* text;
    } cases[] = {
        {"a directory", [](const QString& p) { return QDir().mkdir(p); }, "File access denied."},
        {"a named pipe", [](const QString& p) { return ::mkfifo(QFile::encodeName(p), 0600) == 0; },
         "Invalid filename."},
    };
    for (const auto& c : cases) {
        TempProgramDir dir;
        dir.createDatabase();
        ASSERT_TRUE(c.make(dir.file("font"))) << c.what;
        prompts::clearHistory();
        TForm1 form;
        ASSERT_EQ(prompts::shownMessages().size(), 1u) << c.what;
        EXPECT_EQ(prompts::shownMessages()[0].text, c.text) << c.what;
        EXPECT_EQ(form.fontdialog[0]->font(), settings::FontDescription()) << c.what;
        EXPECT_EQ(form.pc1->geometry(), QRect(5, 10, 851, 461)) << c.what;
        prompts::clearHistory();
        EXPECT_FALSE(closeForm(form)) << c.what;
        ASSERT_EQ(prompts::shownMessages().size(), 1u) << c.what;
        EXPECT_EQ(prompts::shownMessages()[0].text, c.text) << c.what;
        QFile::remove(dir.file("font"));
        QDir().rmdir(dir.file("font"));
        EXPECT_TRUE(closeForm(form)) << c.what;
    }
}

TEST_F(Form1Test, TiskbTakesTheSettingsTabIntoThePreviewAndIgnoresAClickDuringTheRun) {
    TempProgramDir dir;
    dir.createDatabase();
    TForm1 form;
    labelprint::Ttiskf tiskf(form.store().listView());
    form.setPrintForm(&tiskf);
    form.show();
    form.stitkyts->kodle->setText("42");
    form.stitkyts->pocetspin->setText("400");
    form.pridatbClick();
    ASSERT_EQ(form.store().listView().rowCount(), 400);

    NastaveniTab* t = form.nastavenits;
    t->vlevospin->setText("10");
    t->nahorespin->setText("10");
    t->sloupcespin->setText("3");
    t->vyskabunkyspin->setText("37");
    t->bordershape->setColour(0x0000FF); // a red frame, and no lines to draw over it
    for (QCheckBox* box : t->chb) {
        box->setChecked(false);
    }

    bool clickedDuringRun = false;
    int columnsAfterThatClick = 0;
    QByteArray page1;
    int pages = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        labelprint::PreviewDocument* surface = tiskf.previewDocument();
        if (!clickedDuringRun && tiskf.qr1.inRun()) {
            clickedDuringRun = true;
            t->sloupcespin->setText("2");
            QTest::mouseClick(form.stitkyts->tiskb, Qt::LeftButton);
            columnsAfterThatClick = tiskf.qr1.columns();
        } else if (surface && surface->status() == labelprint::PreviewDocument::Status::Finished &&
                   tiskf.previewWindow()) {
            page1 = surface->pageDrawing(1).value_or(QByteArray());
            pages = surface->pageCount();
            tiskf.previewWindow()->close();
        }
    });
    poll.start(0);
    QTest::mouseClick(form.stitkyts->tiskb, Qt::LeftButton);
    poll.stop();

    ASSERT_TRUE(clickedDuringRun);
    EXPECT_EQ(columnsAfterThatClick, 3);
    EXPECT_EQ(pages, 20); // 21 labels of 37 mm to a page
    ASSERT_FALSE(page1.isEmpty());
    // The first label: x from 100 to 732.35 and y from 100 to 470 (0.1 mm) on the 96-dpi
    // preview, its frame reaching 0.1 mm lower: pixels 38 to 276 across and 38 to 177 down.
    QImage image(794, 1123, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        labelprint::emf::playEmf(page1, painter, QRectF(0, 0, 794, 1123));
    }
    // The label's bars are one pixel thick and the next labels' bars follow right after, so
    // the first red pixel across row 100 and the next one give its sides, likewise down
    // column 100 its top and bottom.
    const auto nextRed = [&](QPoint from, QPoint step) {
        for (QPoint p = from; image.rect().contains(p); p += step) {
            if (image.pixel(p) == qRgb(255, 0, 0)) {
                return p;
            }
        }
        return QPoint(-1, -1);
    };
    const QPoint left = nextRed({0, 100}, {1, 0});
    const QPoint right = nextRed(left + QPoint(1, 0), {1, 0});
    const QPoint top = nextRed({100, 0}, {0, 1});
    const QPoint bottom = nextRed(top + QPoint(0, 1), {0, 1});
    EXPECT_EQ(QRect(QPoint(left.x(), top.y()), QPoint(right.x(), bottom.y())),
              QRect(QPoint(38, 38), QPoint(276, 177)));
    EXPECT_TRUE(closeForm(form));
}

TEST_F(Form1Test, ReadOnlyProgramDirectoryLetsTheUserCloseWithoutSaving) {
    TempProgramDir dir;
    dir.createDatabase();
    dir.write("dravelin.ini", "[setup]\nvlevo=1\n");
    TForm1 form;
    form.nastavenits->vlevospin->setValue(2);
    {
        ReadOnlyFolder readOnly(dir.path());
        EXPECT_FALSE(closeForm(form));
        ASSERT_EQ(prompts::shownMessages().size(), 1u);
        EXPECT_EQ(prompts::shownMessages()[0].text,
                  "Unable to write to " + dir.file("dravelin.ini") + ".");

        // The next close asks; No tries the writes again, which fail again.
        prompts::setNextAnswer(prompts::Answer::No);
        EXPECT_FALSE(closeForm(form));
        ASSERT_EQ(prompts::shownMessages().size(), 3u);
        EXPECT_EQ(prompts::shownMessages()[1].text, "Zavřít bez uložení nastavení?");
        EXPECT_EQ(prompts::shownMessages()[1].buttons, prompts::Buttons::YesNo);
        EXPECT_TRUE(prompts::shownMessages()[2].text.startsWith("Unable to write to "));

        prompts::setNextAnswer(prompts::Answer::Yes);
        EXPECT_TRUE(closeForm(form));
        ASSERT_EQ(prompts::shownMessages().size(), 4u);
        EXPECT_EQ(prompts::shownMessages()[3].text, "Zavřít bez uložení nastavení?");
    }
    EXPECT_EQ(dir.read("dravelin.ini"), "[setup]\nvlevo=1\n");
    EXPECT_FALSE(dir.exists("font"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2); // ini, db
}

TEST_F(Form1Test, SettingsFilesKeptElsewhereThroughLinksStayLinked) {
    TempProgramDir dir;
    QTemporaryDir shared;
    dir.createDatabase();
    for (const char* name : {"dravelin.ini", "font"}) {
        ASSERT_TRUE(QFile::link(shared.filePath(name), dir.file(name)));
    }
    {
        TForm1 form;
        form.nastavenits->vlevospin->setValue(21);
        EXPECT_TRUE(closeForm(form));
    }
    for (const char* name : {"dravelin.ini", "font"}) {
        EXPECT_TRUE(QFileInfo(dir.file(name)).isSymLink()) << name;
    }
    EXPECT_EQ(QFileInfo(shared.filePath("font")).size(), 1876);
    TForm1 again;
    EXPECT_EQ(again.layoutSettings().vlevo, 21);

    // A snapshot aimed at a FIFO is refused at once with the command's own message.
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.file("pipe")).constData(), 0644), 0);
    prompts::clearHistory();
    prompts::setNextFileName(dir.file("pipe"));
    again.ulozitbClick();
    ASSERT_EQ(prompts::shownMessages().size(), 1u);
    EXPECT_EQ(prompts::shownMessages()[0].text, "zápis se nezdařil");
    EXPECT_FALSE(QFileInfo(dir.file("pipe")).isFile());
    EXPECT_TRUE(closeForm(again));
}

// Whatever dravelin.ini and font hold, "uložit nastavení" writes a snapshot that "načíst
// nastavení" takes back whole.
TEST_F(Form1Test, ASnapshotOfAnySettingsTheFilesHoldLoadsBack) {
    TempProgramDir dir;
    dir.createDatabase();
    dir.write("dravelin.ini", test::extremeIni());
    dir.write("font", test::extremeFontFile());
    TForm1 form;
    ASSERT_TRUE(prompts::shownMessages().empty());
    const settings::LayoutSettings before = form.layoutSettings();
    ASSERT_EQ(before.bordercolor, -1);
    ASSERT_EQ(before.lines[settings::Kods].font.height, -800);
    prompts::setNextFileName(dir.file("extreme.nas"));
    form.ulozitbClick();
    form.nastavenits->vlevospin->setValue(5);
    prompts::setNextFileName(dir.file("extreme.nas"));
    form.nacistbClick();
    for (const prompts::Message& box : prompts::shownMessages()) {
        ADD_FAILURE() << box.text.toStdString();
    }
    EXPECT_EQ(form.layoutSettings(), before);
}

TEST_F(Form1Test, StartUpSweepsTheTemporariesOfAKilledClose) {
    TempProgramDir dir;
    dir.createDatabase();
    dir.write("dravelin.ini", "[setup]\nvlevo=4\n");
    const char* stale[] = {".dravelin-tmp.dravelin.ini.RM1uCR", ".dravelin-tmp.font.0CWExe"};
    // A user's own copies, however much they look like temporaries.
    const char* mine[] = {"font.txt",    "dravelin.ini.bak", "seznam.db.kopie1",
                          "font.zaloha", "font.0CWExe",      "dravelin.ini.backup"};
    for (const char* name : stale) {
        dir.write(name, "half");
    }
    for (const char* name : mine) {
        dir.write(name, "keep");
    }
    TForm1 form;
    EXPECT_EQ(form.layoutSettings().vlevo, 4);
    for (const char* name : stale) {
        EXPECT_FALSE(dir.exists(name)) << name;
    }
    for (const char* name : mine) {
        EXPECT_EQ(dir.read(name), "keep") << name;
    }
    EXPECT_TRUE(closeForm(form));
}

TEST_F(Form1Test, ProgramDirectoryIsTheProgramsOwnWhateverTheWorkingDirectory) {
    const QString cwd = QDir::currentPath();
    QTemporaryDir elsewhere;
    ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));
    EXPECT_EQ(platform::programDirectory(), QCoreApplication::applicationDirPath() + "/");
    QDir::setCurrent(cwd);
}

TEST_F(Form1Test, CtrlF12InTheGridShowsTheInformationBox) {
    TempProgramDir dir;
    dir.createDatabase();
    TForm1 form;
    form.show();
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        bool shows;
    };
    const Case cases[] = {{Qt::Key_F12, Qt::ControlModifier, true},
                          {Qt::Key_F12, Qt::ControlModifier | Qt::ShiftModifier, true},
                          {Qt::Key_F12, Qt::ControlModifier | Qt::AltModifier, true},
                          {Qt::Key_F12, Qt::NoModifier, false},
                          {Qt::Key_F12, Qt::ShiftModifier, false},
                          {Qt::Key_F11, Qt::ControlModifier, false}};
    for (const Case& c : cases) {
        prompts::clearHistory();
        QKeyEvent press(QEvent::KeyPress, c.key, c.mods);
        QCoreApplication::sendEvent(form.stitkyts->DBGrid1, &press);
        ASSERT_EQ(prompts::shownMessages().size(), c.shows ? 1u : 0u);
        if (c.shows) {
            EXPECT_EQ(prompts::shownMessages()[0].title, "informace");
            EXPECT_EQ(prompts::shownMessages()[0].icon, prompts::Icon::Information);
        }
    }
    prompts::clearHistory();
    QKeyEvent inEdit(QEvent::KeyPress, Qt::Key_F12, Qt::ControlModifier);
    QCoreApplication::sendEvent(form.stitkyts->kodle, &inEdit);
    EXPECT_TRUE(prompts::shownMessages().empty());
    form.close();
}

} // namespace

// The colour dialog's custom colours live only for the run: Qt writes its dialogs' state into
// the user's configuration when the program ends, so this is watched from a second process
// whose HOME is a temporary folder.
#include "support/tempprogramdir.h"
#include "ui/colourswatch.h"
#include "ui/dialogseam.h"
#include "ui/form1.h"
#include "ui/nastavenitab.h"

#include <QApplication>
#include <QColorDialog>
#include <QDirIterator>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

const QColor kCustom(10, 200, 30);

// When the colour dialog is up: picks kCustom, adds it to the custom colours and confirms.
void addCustomColourOnceTheDialogIsUp(QTimer& timer, bool& done) {
    QObject::connect(&timer, &QTimer::timeout, [&timer, &done] {
        auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        timer.stop();
        dialog->setCurrentColor(kCustom);
        for (QPushButton* b : dialog->findChildren<QPushButton*>()) {
            if (b->text().contains(QStringLiteral("Custom"))) {
                b->click();
                done = true;
            }
        }
        dialog->accept();
    });
    timer.start(10);
}

// Runs only as the child of the test below: DRAVELIN_COLOUR_CHILD says whether the colour
// dialog is opened by the program ("program") or by Qt alone ("qt").
TEST(DISABLED_ColourDialogChild, AddsACustomColourAndEnds) {
    const QString mode = qEnvironmentVariable("DRAVELIN_COLOUR_CHILD");
    ASSERT_TRUE(mode == "program" || mode == "qt");
    QTimer timer;
    bool added = false;
    addCustomColourOnceTheDialogIsUp(timer, added);
    if (mode == "program") {
        TempProgramDir dir;
        dir.createDatabase();
        TForm1 form;
        form.show();
        dialogs::colourAnswers().setDialog(dialogs::runColourDialog);
        QTest::mouseClick(form.nastavenits->bordershape, Qt::LeftButton);
        dialogs::colourAnswers().setDialog(nullptr);
        EXPECT_EQ(form.nastavenits->bordershape->colour(), 0x1EC80A);
        EXPECT_TRUE(form.close());
    } else {
        QColorDialog dialog;
        dialog.exec();
    }
    EXPECT_TRUE(added);
    EXPECT_EQ(QColorDialog::customColor(0), kCustom);
}

TEST(ColourDialog, CustomColoursAreKeptNowhereOutsideTheRun) {
    for (const QString mode : {"qt", "program"}) {
        QTemporaryDir home;
        QTemporaryDir cache; // fontconfig may keep its cache there
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home.path());
        env.insert("XDG_CONFIG_HOME", home.filePath(".config"));
        env.insert("XDG_CACHE_HOME", cache.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("DRAVELIN_COLOUR_CHILD", mode);
        QProcess child;
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(
            QCoreApplication::applicationFilePath(),
            {"--gtest_also_run_disabled_tests", "--gtest_filter=DISABLED_ColourDialogChild.*"});
        ASSERT_TRUE(child.waitForFinished(120000)) << mode.toStdString();
        const QString output = QString::fromLocal8Bit(child.readAll());
        ASSERT_EQ(child.exitCode(), 0) << mode.toStdString() << "\n" << output.toStdString();
        ASSERT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();

        QStringList written;
        for (QDirIterator it(home.path(), QDir::Files | QDir::Hidden | QDir::System,
                             QDirIterator::Subdirectories);
             it.hasNext();) {
            written << it.next().mid(home.path().size());
        }
        if (mode == "qt") {
            // Qt alone keeps them: the test can see what it looks for.
            EXPECT_TRUE(written.contains("/.config/QtProject.conf"))
                << written.join(' ').toStdString();
        } else {
            EXPECT_TRUE(written.isEmpty()) << written.join(' ').toStdString();
        }
    }
}

// Esc in the real dialog of "barva pozadí": the background stays white, on the swatch and in
// the settings file the close writes.
TEST(ColourDialog, EscKeepsTheBackgroundColour) {
    TempProgramDir dir;
    dir.createDatabase();
    TForm1 form; // keeps Qt's own settings in memory before the dialog reads them
    form.show();
    QTimer timer;
    bool escaped = false;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        timer.stop();
        dialog->setCurrentColor(kCustom); // looked at, never confirmed
        QTest::keyClick(dialog, Qt::Key_Escape);
        escaped = true;
    });
    timer.start(10);
    dialogs::colourAnswers().setDialog(dialogs::runColourDialog);
    QTest::mouseClick(form.nastavenits->pozadishape, Qt::LeftButton);
    dialogs::colourAnswers().setDialog(nullptr);
    EXPECT_TRUE(escaped);
    EXPECT_EQ(form.nastavenits->pozadishape->colour(), 0xFFFFFF);
    EXPECT_EQ(form.layoutSettings().pozadi, 0xFFFFFF);
    EXPECT_TRUE(form.close());
    EXPECT_TRUE(dir.read("dravelin.ini").contains("\npozadi=16777215\n"))
        << dir.read("dravelin.ini").toStdString();
}

} // namespace

#include "platform/answerqueue.h"
#include "platform/codepage.h"
#include "platform/colour.h"
#include "platform/error.h"
#include "platform/errorhandler.h"
#include "platform/fileerror.h"
#include "platform/instancelock.h"
#include "platform/profile.h"
#include "platform/prompts.h"
#include "platform/regularfile.h"
#include "support/fifoguard.h"
#include "support/tempprogramdir.h"

#include <QGuiApplication>
#include <QPalette>
#include <QProcess>
#include <QStringDecoder>
#include <cerrno>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

TEST(CodePage, CzechTextRoundTripsThroughWindows1250) {
    const QString text = QStringLiteral("Rohlík tmavý, 12,50 Kč – Žluťoučký kůň");
    const QByteArray bytes = platform::toCp1250(text);
    EXPECT_EQ(bytes.size(), text.size());
    EXPECT_EQ(bytes.mid(4, 1), "\xED"); // í
    EXPECT_EQ(platform::fromCp1250(bytes), text);
}

TEST(CodePage, CharactersOutsideTheCodePageBecomeOneQuestionMarkEach) {
    struct Case {
        QString text;
        QByteArray bytes;
    };
    const Case cases[] = {
        {QStringLiteral("akce ☕"), "akce ?"},
        {QStringLiteral("Kč/m²"), "K\xE8/m?"},
        {QStringLiteral("😀²"), "??"},                  // one mark per character, not per half
        {QStringLiteral("a\u001Ab"), "a?b"},           // Ctrl-Z would end a list file
        {QStringLiteral("Žluť €"), "\x8Elu\x9D \x80"}, // what the code page has stays exact
    };
    for (const Case& c : cases) {
        const QByteArray bytes = platform::toCp1250(c.text);
        EXPECT_EQ(bytes, c.bytes) << c.text.toStdString();
        EXPECT_FALSE(bytes.contains('\x1A')) << c.text.toStdString();
    }
}

TEST(RegularFile, OnlyRegularFilesAreReadAndNothingBlocks) {
    TempProgramDir dir;
    dir.write("plain", QByteArray(2000, 'x'));
    EXPECT_NO_THROW(platform::requireRegularFile(dir.file("plain")));
    EXPECT_EQ(platform::readRecordFile(dir.file("plain"), 1968).size(), 1968);

    struct Case {
        QString path;
        int code;
    };
    const Case cases[] = {
        {QStringLiteral("/dev/zero"), platform::InvalidFilename}, // would read zeros for ever
        {QStringLiteral("/dev/null"), platform::InvalidFilename},
        {dir.path(), platform::FileAccessDenied},
        {dir.file("missing"), platform::FileNotFound},
    };
    for (const Case& c : cases) {
        try {
            platform::requireRegularFile(c.path);
            ADD_FAILURE() << c.path.toStdString();
        } catch (const platform::FileError& e) {
            EXPECT_EQ(e.code(), c.code) << c.path.toStdString();
        }
        try {
            (void)platform::readRecordFile(c.path, 1968);
            ADD_FAILURE() << c.path.toStdString();
        } catch (const platform::FileError& e) {
            EXPECT_EQ(e.code(), c.code) << c.path.toStdString();
        }
    }

    int code = 0;
    const bool blocked = readBlockedOnFifo(dir.file("fifo"), [&] {
        try {
            (void)platform::readRecordFile(dir.file("fifo"), 1968);
        } catch (const platform::FileError& e) {
            code = e.code();
        }
    });
    EXPECT_FALSE(blocked);
    EXPECT_EQ(code, platform::InvalidFilename);
}

TEST(Profile, ReadsCrOnlyLinesAndKeepsThemWhenWriting) {
    TempProgramDir dir;
    dir.write("x.ini", "[setup]\rvlevo=12\rnahore=7\r[columns]\rjedna=50\r");
    platform::Profile p(dir.file("x.ini"));
    EXPECT_EQ(p.readString("setup", "vlevo", "d"), "12");
    EXPECT_EQ(p.readString("setup", "nahore", "d"), "7");
    EXPECT_EQ(p.readString("columns", "jedna", "d"), "50");
    p.writeString("setup", "vlevo", "13");
    p.save();
    EXPECT_EQ(dir.read("x.ini"), "[setup]\rvlevo=13\rnahore=7\r[columns]\rjedna=50\r");
}

TEST(Profile, AFifoReadsAsEmptyAtOnce) {
    TempProgramDir dir;
    QString value;
    EXPECT_FALSE(readBlockedOnFifo(dir.file("x.ini"), [&] {
        value = platform::Profile(dir.file("x.ini")).readString("setup", "vlevo", "d");
    }));
    EXPECT_EQ(value, "d");
}

TEST(CodePage, EveryByteDecodesAsTheConverterDecodesIt) {
    QByteArray all;
    for (int b = 255; b >= 0; --b) {
        all.append(char(b));
    }
    QStringDecoder decoder("windows-1250");
    const QString expected = decoder.decode(all);
    ASSERT_EQ(expected.size(), 256);
    EXPECT_EQ(platform::fromCp1250(all), expected);
    EXPECT_EQ(platform::fromCp1250(QByteArray()), QString());
}

TEST(Colour, DirectAndSystemColours) {
    EXPECT_EQ(platform::toQColor(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(platform::toQColor(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(platform::toQColor(16777215), QColor(255, 255, 255));
    EXPECT_EQ(platform::toQColor(-16777208),
              QGuiApplication::palette().color(QPalette::WindowText));
    EXPECT_EQ(platform::fromQColor(QColor(1, 2, 3)), 0x030201);
}

TEST(Profile, MatchesWithoutCaseAndKeepsWhatItDoesNotKnow) {
    TempProgramDir dir;
    dir.write("x.ini", "; comment\r\n[Other]\r\nA=1\r\n\r\n[SeTuP]\r\nVlevo = 12 \r\nzzz=keep\r\n");
    platform::Profile p(dir.file("x.ini"));
    EXPECT_EQ(p.readString("setup", "VLEVO", "d"), "12");
    EXPECT_EQ(p.readString("setup", "missing", "d"), "d");
    EXPECT_EQ(p.readString("nosection", "vlevo", "d"), "d");
    p.writeString("setup", "vlevo", "13");
    p.writeString("setup", "new", "n");
    p.writeString("other", "b", "2");
    p.writeString("fresh", "k", "v");
    p.save();
    EXPECT_EQ(dir.read("x.ini"), "; comment\r\n[Other]\r\nA=1\r\nb=2\r\n\r\n[SeTuP]\r\nvlevo=13\r\n"
                                 "zzz=keep\r\nnew=n\r\n[fresh]\r\nk=v\r\n");
}

TEST(Profile, UnwritableFileReportsItsPath) {
    TempProgramDir dir;
    platform::Profile p(dir.file("no/such/dir/dravelin.ini"));
    p.writeString("setup", "vlevo", "1");
    try {
        p.save();
        FAIL();
    } catch (const platform::Error& e) {
        EXPECT_EQ(e.text(), "Unable to write to " + dir.file("no/such/dir/dravelin.ini"));
    }
}

TEST(FileError, SystemErrorsGiveTheNumberedTexts) {
    const struct {
        int err;
        const char* text;
    } cases[] = {{ENOENT, "File not found"},         {ENOTDIR, "Invalid filename"},
                 {ENAMETOOLONG, "Invalid filename"}, {EISDIR, "File access denied"},
                 {EACCES, "File access denied"},     {EROFS, "File access denied"},
                 {EMFILE, "Too many open files"},    {ENOSPC, "Disk full"}};
    for (const auto& c : cases) {
        EXPECT_EQ(platform::fileErrorText(platform::fileErrorFromErrno(c.err)), c.text) << c.err;
    }
}

TEST(InstanceLock, ASecondStartIsRefusedUntilTheFirstIsGoneEvenByKill9) {
    TempProgramDir dir;
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t first = ::fork();
    if (first == 0) {
        const auto held = platform::claimProgramDirectory(dir.path());
        (void)!::write(ready[1], held ? "1" : "0", 1);
        ::pause();
        ::_exit(0);
    }
    char c = 0;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    EXPECT_EQ(c, '1');
    prompts::clearHistory();
    EXPECT_EQ(platform::claimProgramDirectory(dir.path()), nullptr);
    ASSERT_EQ(prompts::shownMessages().size(), 1u);
    EXPECT_EQ(prompts::shownMessages()[0].text, "Dravelin už v této složce běží.");

    ::kill(first, SIGKILL);
    ::waitpid(first, nullptr, 0);
    EXPECT_TRUE(dir.exists(platform::kInstanceLockName)); // left behind by the killed program
    const auto mine = platform::claimProgramDirectory(dir.path());
    ASSERT_NE(mine, nullptr);
    EXPECT_TRUE(mine->isLocked());
    EXPECT_EQ(prompts::shownMessages().size(), 1u);
    ::close(ready[0]);
    ::close(ready[1]);
}

TEST(InstanceLock, AFileNoProcessHoldsNeverBlocksAStart) {
    // What a power cut or another tool can leave behind: nothing, garbage, or an older lock's
    // pid of a process that is running but holds nothing.
    const QByteArray leftovers[] = {QByteArray(), QByteArray("\xff\x00garbage\n\x01", 11),
                                    QByteArray("1\ndravelin\nlocalhost\n")};
    for (const QByteArray& left : leftovers) {
        TempProgramDir dir;
        dir.write(platform::kInstanceLockName, left);
        prompts::clearHistory();
        auto lock = platform::claimProgramDirectory(dir.path());
        ASSERT_NE(lock, nullptr) << left.toHex().constData();
        EXPECT_TRUE(lock->isLocked());
        EXPECT_TRUE(prompts::shownMessages().empty());
        lock.reset();
        EXPECT_FALSE(dir.exists(platform::kInstanceLockName)); // an orderly end leaves nothing
    }
}

TEST(InstanceLock, ALockHeldByAnotherToolRefusesUntilThatProcessDies) {
    TempProgramDir dir;
    const QString file = dir.file(platform::kInstanceLockName);
    QProcess holder;
    // Without a fork, so the process killed below is the one that holds the lock.
    holder.start(QStringLiteral("flock"),
                 {QStringLiteral("-nF"), file, QStringLiteral("sh"), QStringLiteral("-c"),
                  QStringLiteral("echo held; exec sleep 60")});
    ASSERT_TRUE(holder.waitForStarted()) << "flock (util-linux) is missing";
    ASSERT_TRUE(holder.waitForReadyRead(10000));
    ASSERT_EQ(holder.readAllStandardOutput(), "held\n");

    prompts::clearHistory();
    EXPECT_EQ(platform::claimProgramDirectory(dir.path()), nullptr);
    ASSERT_EQ(prompts::shownMessages().size(), 1u);
    EXPECT_EQ(prompts::shownMessages()[0].text, "Dravelin už v této složce běží.");

    holder.kill(); // the empty file stays, held by no one
    holder.waitForFinished();
    ASSERT_TRUE(dir.exists(platform::kInstanceLockName));
    const auto mine = platform::claimProgramDirectory(dir.path());
    ASSERT_NE(mine, nullptr);
    EXPECT_TRUE(mine->isLocked());
    EXPECT_EQ(prompts::shownMessages().size(), 1u);
}

TEST(ErrorHandler, ShowsTheTextWithAFullStopTitledWithTheProgramName) {
    prompts::clearHistory();
    EXPECT_FALSE(platform::guard([] { throw platform::Error("Read beyond end of file"); }));
    EXPECT_FALSE(platform::guard([] { throw platform::Error("Done."); }));
    EXPECT_TRUE(platform::guard([] {}));
    ASSERT_EQ(prompts::shownMessages().size(), 2u);
    const prompts::Message& m = prompts::shownMessages()[0];
    EXPECT_EQ(m.text, "Read beyond end of file.");
    EXPECT_EQ(m.icon, prompts::Icon::Critical);
    EXPECT_EQ(m.title.left(1), m.title.left(1).toUpper());
    EXPECT_EQ(m.title.mid(1), m.title.mid(1).toLower());
    EXPECT_EQ(prompts::shownMessages()[1].text, "Done.");
}

TEST(Prompts, QueuedAnswersComeFirstAndNothingBlocks) {
    prompts::clearHistory();
    prompts::setNextAnswer(prompts::Answer::Yes);
    EXPECT_EQ(prompts::message({"t", "x", prompts::Icon::Question, prompts::Buttons::YesNo}),
              prompts::Answer::Yes);
    EXPECT_EQ(prompts::message({"t", "x", prompts::Icon::Question, prompts::Buttons::YesNo}),
              prompts::Answer::No);
    prompts::setNextFileName(QStringLiteral("/tmp/a"));
    prompts::setNextFileName(std::nullopt);
    EXPECT_EQ(prompts::chooseFile({}), QStringLiteral("/tmp/a"));
    EXPECT_EQ(prompts::chooseFile({}), std::nullopt);
    EXPECT_EQ(prompts::chooseFile({}), std::nullopt);
    EXPECT_EQ(prompts::fileRequests().size(), 3u);
}

TEST(AnswerQueue, QueuedAnswersComeBeforeTheRealDialogWhichComesBeforeTheFixedAnswer) {
    platform::AnswerQueue<int, int> q([](const int& request) { return -request; });
    q.queue(7);
    EXPECT_EQ(q.ask(1), 7);
    EXPECT_EQ(q.ask(2), -2);
    q.setDialog([](const int& request) { return request * 10; });
    q.queue(8);
    EXPECT_EQ(q.ask(3), 8);
    EXPECT_EQ(q.ask(4), 40);
    q.setDialog(nullptr);
    EXPECT_EQ(q.ask(5), -5);
    EXPECT_EQ(q.asked(), (std::vector<int>{1, 2, 3, 4, 5}));
    q.queue(9);
    q.clear();
    EXPECT_TRUE(q.asked().empty());
    EXPECT_EQ(q.ask(6), -6); // the queued answer went with clear()
    // Without a fixed answer of its own, a dialog that can be cancelled is cancelled.
    EXPECT_EQ((platform::AnswerQueue<int, std::optional<int>>().ask(1)), std::nullopt);
}

} // namespace

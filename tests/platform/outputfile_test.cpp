#include "platform/fileerror.h"
#include "platform/outputfile.h"
#include "support/tempprogramdir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QStringList entries(const TempProgramDir& dir) {
    return QDir(dir.path())
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                   QDir::Name);
}

TEST(OutputFile, LinksAreWrittenThroughAndTheLinkStays) {
    TempProgramDir dir;
    dir.write("real.ini", "old");
    ASSERT_TRUE(QFile::link(dir.file("real.ini"), dir.file("hop.ini")));
    ASSERT_TRUE(QFile::link("hop.ini", dir.file("link.ini"))); // relative, two hops
    ASSERT_TRUE(QFile::link(dir.file("later.ini"), dir.file("dangling.ini")));

    platform::writeFileAtomic(dir.file("link.ini"), "new");
    EXPECT_EQ(dir.read("real.ini"), "new");
    EXPECT_TRUE(QFileInfo(dir.file("link.ini")).isSymLink());
    EXPECT_TRUE(QFileInfo(dir.file("hop.ini")).isSymLink());

    // A link to a file not there yet creates that file.
    platform::writeFileAtomic(dir.file("dangling.ini"), "made");
    EXPECT_TRUE(QFileInfo(dir.file("dangling.ini")).isSymLink());
    EXPECT_EQ(dir.read("later.ini"), "made");
    EXPECT_EQ(entries(dir),
              (QStringList{"dangling.ini", "hop.ini", "later.ini", "link.ini", "real.ini"}));
}

TEST(OutputFile, DevicesFifosAndFoldersAreRefusedAndLeftAsTheyAre) {
    TempProgramDir dir;
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.file("pipe")).constData(), 0644), 0);
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    ASSERT_TRUE(QFile::link("/dev/null", dir.file("null-link")));
    ASSERT_TRUE(QFile::link(dir.file("loop-b"), dir.file("loop-a")));
    ASSERT_TRUE(QFile::link(dir.file("loop-a"), dir.file("loop-b")));
    // A folder is refused with the code reading it gives.
    const struct {
        QString target;
        int code;
    } cases[] = {{dir.file("pipe"), platform::InvalidFilename},
                 {dir.file("folder"), platform::FileAccessDenied},
                 {QStringLiteral("/dev/null"), platform::InvalidFilename},
                 {dir.file("null-link"), platform::InvalidFilename},
                 {dir.file("loop-a"), platform::InvalidFilename}};
    for (const auto& c : cases) {
        try {
            platform::writeFileAtomic(c.target, "x");
            ADD_FAILURE() << "written: " << c.target.toStdString();
        } catch (const platform::FileError& e) {
            EXPECT_EQ(e.code(), c.code) << c.target.toStdString();
        }
    }
    struct stat st {};
    ASSERT_EQ(::stat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
    ASSERT_EQ(::lstat(QFile::encodeName(dir.file("pipe")).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    EXPECT_TRUE(QFileInfo(dir.file("folder")).isDir());
    EXPECT_TRUE(QFileInfo(dir.file("null-link")).isSymLink());
    EXPECT_EQ(entries(dir).size(), 5);
}

// A child process writes half a file and is killed with SIGKILL before it commits. Returns the
// folder's entries afterwards.
QStringList killedMidWrite(const TempProgramDir& dir, bool unnamed) {
    int ready[2];
    EXPECT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        platform::PendingFile::setUnnamedAllowed(unnamed);
        platform::PendingFile file(dir.file("dravelin.ini"));
        file.write(QByteArray(100000, 'x'));
        (void)!::write(ready[1], "1", 1);
        ::pause();
        ::_exit(0);
    }
    char c = 0;
    EXPECT_EQ(::read(ready[0], &c, 1), 1);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status));
    ::close(ready[0]);
    ::close(ready[1]);
    return entries(dir);
}

TEST(OutputFile, AKilledWriterLeavesNoTemporaryAndTheOldFileWhole) {
    TempProgramDir dir;
    dir.write("dravelin.ini", "[setup]\n");
    EXPECT_EQ(killedMidWrite(dir, true), QStringList{"dravelin.ini"});
    EXPECT_EQ(dir.read("dravelin.ini"), "[setup]\n");

    // Where unnamed files are not to be had, the named temporary stays behind, hidden, and the
    // next start's sweep removes it.
    const QStringList left = killedMidWrite(dir, false);
    ASSERT_EQ(left.size(), 2);
    EXPECT_TRUE(left.contains(QRegularExpression("^\\.dravelin-tmp\\.dravelin\\.ini\\.\\w{6}$")))
        << left.join(' ').toStdString();
    EXPECT_EQ(platform::removeStaleTemporaries(dir.path(), {"dravelin.ini", "font"}), 1);
    EXPECT_EQ(entries(dir), QStringList{"dravelin.ini"});
    EXPECT_EQ(dir.read("dravelin.ini"), "[setup]\n");
}

TEST(OutputFile, TheSweepAtStartTakesOnlyTheProgramsOwnTemporaries) {
    // A user's own backups beside the files are theirs, however they are named.
    const QStringList survive{"dravelin.ini.backup",
                              "dravelin.ini.0CWExe",
                              "font.zaloha",
                              "font.0CWExe",
                              "font.txt",
                              "fontik",
                              ".font.0CWExe",
                              ".dravelin-tmp.font.zaloha1",
                              ".dravelin-tmp.font.abc",
                              ".dravelin-tmp.seznam.db.0CWExe",
                              ".dravelin-tmp.font.0CW-xe"};
    const QStringList go{".dravelin-tmp.dravelin.ini.0CWExe", ".dravelin-tmp.font.zaloha",
                         ".dravelin-tmp.font.123456"};
    TempProgramDir dir;
    for (const QString& name : survive + go) {
        dir.write(name, "x");
    }
    ASSERT_TRUE(QDir(dir.path()).mkdir(".dravelin-tmp.font.folder"));
    EXPECT_EQ(platform::removeStaleTemporaries(dir.path(), {"dravelin.ini", "font"}), go.size());
    QStringList expected = survive;
    expected << ".dravelin-tmp.font.folder";
    expected.sort();
    EXPECT_EQ(entries(dir), expected);
}

TEST(OutputFile, BothWaysGiveTheOldFilesPermissionsAndLeaveNothingElse) {
    for (const bool unnamed : {true, false}) {
        TempProgramDir dir;
        dir.write("font", "old");
        ASSERT_TRUE(QFile::setPermissions(dir.file("font"),
                                          QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        platform::PendingFile::setUnnamedAllowed(unnamed);
        {
            platform::PendingFile dropped(dir.file("font"));
            dropped.write("never");
        }
        EXPECT_EQ(entries(dir), QStringList{"font"});
        platform::writeFileAtomic(dir.file("font"), "new");
        platform::PendingFile::setUnnamedAllowed(true);
        EXPECT_EQ(dir.read("font"), "new");
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(dir.file("font")).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0640u);
        EXPECT_EQ(entries(dir), QStringList{"font"});
    }
}

TEST(OutputFile, ANameNearTheLongestAllowedIsWrittenBothWays) {
    const QString name(250, QLatin1Char('n'));
    for (const bool unnamed : {true, false}) {
        SCOPED_TRACE(unnamed ? "unnamed" : "named");
        TempProgramDir dir;
        platform::PendingFile::setUnnamedAllowed(unnamed);
        platform::writeFileAtomic(dir.file(name), "long");
        platform::PendingFile::setUnnamedAllowed(true);
        EXPECT_EQ(dir.read(name), "long");
        EXPECT_EQ(entries(dir), QStringList{name});
    }
}

} // namespace

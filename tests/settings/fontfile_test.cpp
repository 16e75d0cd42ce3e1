#include "platform/fileerror.h"
#include "settings/fontfile.h"
#include "support/fifoguard.h"
#include "support/tempprogramdir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

settings::SlotFonts sampleFonts() {
    settings::SlotFonts fonts;
    for (int i = 0; i < settings::SlotCount; ++i) {
        fonts[size_t(i)].face = QStringLiteral("Písmo %1").arg(i);
        fonts[size_t(i)].height = -10 - i;
        fonts[size_t(i)].style = std::uint8_t(i % 16);
        fonts[size_t(i)].colour = 0x010203 * i;
    }
    return fonts;
}

TEST(FontFile, WritesExactly1876BytesThatReadBackEqual) {
    TempProgramDir dir;
    dir.write("font", QByteArray(5000, 'z')); // a longer old file is replaced whole
    settings::writeFontFile(dir.file("font"), sampleFonts());
    EXPECT_EQ(dir.read("font").size(), 1876);
    EXPECT_EQ(settings::readFontFile(dir.file("font"), settings::SlotFonts()), sampleFonts());
}

TEST(FontFile, LongerFileUsesItsFirst1876Bytes) {
    TempProgramDir dir;
    settings::writeFontFile(dir.file("font"), sampleFonts());
    dir.write("font", dir.read("font") + QByteArray(124, '\xff'));
    EXPECT_EQ(settings::readFontFile(dir.file("font"), settings::SlotFonts()), sampleFonts());
}

TEST(FontFile, FailuresGiveTheirNumberedTexts) {
    TempProgramDir dir;
    dir.write("font", QByteArray(1875, '\0'));
    try {
        settings::readFontFile(dir.file("font"), settings::SlotFonts());
        FAIL() << "a short file must not read";
    } catch (const platform::FileError& e) {
        EXPECT_EQ(e.text(), "Read beyond end of file");
    }
    if (geteuid() != 0) { // root may write anything, so access rights cannot fail for it
        dir.write("font", QByteArray(1876, '\0'));
        QFile::setPermissions(dir.file("font"), QFile::ReadOwner);
        EXPECT_THROW(settings::readFontFile(dir.file("font"), settings::SlotFonts()),
                     platform::FileError);
    }
}

TEST(FontFile, AFifoOrDeviceInItsPlaceIsRefusedAtOnce) {
    TempProgramDir dir;
    int code = 0;
    EXPECT_FALSE(readBlockedOnFifo(dir.file("font"), [&] {
        try {
            settings::readFontFile(dir.file("font"), settings::SlotFonts());
        } catch (const platform::FileError& e) {
            code = e.code();
        }
    }));
    EXPECT_EQ(code, platform::InvalidFilename);
    EXPECT_THROW(settings::readFontFile("/dev/zero", settings::SlotFonts()), platform::FileError);
}

TEST(FileErrors, TextsByNumber) {
    const std::pair<int, const char*> cases[] = {{2, "File not found"},
                                                 {3, "Invalid filename"},
                                                 {4, "Too many open files"},
                                                 {5, "File access denied"},
                                                 {100, "Read beyond end of file"},
                                                 {101, "Disk full"},
                                                 {106, "Invalid numeric input"},
                                                 {32, "I/O error 32"}};
    for (const auto& [code, text] : cases) {
        EXPECT_EQ(platform::fileErrorText(code), text);
    }
    EXPECT_EQ(platform::fileErrorFromErrno(ENOENT), 2);
    EXPECT_EQ(platform::fileErrorFromErrno(EACCES), 5);
    EXPECT_EQ(platform::fileErrorFromErrno(EROFS), 5);
    EXPECT_EQ(platform::fileErrorFromErrno(ENOSPC), 101);
}

TEST(FileErrors, FailedAtomicWriteLeavesThePreviousFileWhole) {
    TempProgramDir dir;
    dir.write("font", "old contents");
    // A directory in the way of the temporary file's rename: the write fails.
    ASSERT_THROW(platform::writeFileAtomic(dir.file("missing-folder/font"), "x"),
                 platform::FileError);
    EXPECT_EQ(dir.read("font"), "old contents");
    QDir(dir.path()).mkdir("font.d");
    EXPECT_THROW(platform::writeFileAtomic(dir.file("font.d"), "new"), platform::FileError);
    EXPECT_TRUE(QFileInfo(dir.file("font.d")).isDir());
    const QStringList leftovers = QDir(dir.path()).entryList({"font.d.*"});
    EXPECT_TRUE(leftovers.isEmpty()) << leftovers.join(',').toStdString();
}

} // namespace

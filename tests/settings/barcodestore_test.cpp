// The slots' barcode options in dravelin.ini and in a snapshot's trailer: back as they were
// saved, nothing written for a user who never chose a barcode, damage refused.
#include "settings/barcodestore.h"
#include "settings/sheetstore.h"
#include "settings/snapshot.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace settings {
namespace {

LayoutSettings withCodes() {
    LayoutSettings s;
    s.lines[Kods].barcode = {BarcodeKind::Ean13, 40, 123, false};
    s.lines[Text3].barcode = {BarcodeKind::Qr, 25, 150, true};
    return s;
}

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

TEST(BarcodeStore, IniSectionComesOnlyOnceUsedAndKeepsASlotSetBackToText) {
    QTemporaryDir dir;
    const QString path = dir.filePath("dravelin.ini");
    const QByteArray before = "[setup]\r\nvlevo=10\r\n";
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(before);
    }
    {
        platform::Profile p(path);
        writeBarcodes(p, LayoutSettings{});
        p.save();
    }
    EXPECT_EQ(bytesOf(path), before);

    {
        platform::Profile p(path);
        writeBarcodes(p, withCodes());
        p.save();
    }
    EXPECT_TRUE(bytesOf(path).contains("[carovekody]\r\nkods=ean13;40;123;0\r\n"))
        << bytesOf(path).toStdString();
    LayoutSettings read;
    readBarcodes(platform::Profile(path), read);
    EXPECT_EQ(read, withCodes());

    // Back to text: the section stays and says so.
    {
        platform::Profile p(path);
        writeBarcodes(p, LayoutSettings{});
        p.save();
    }
    LayoutSettings again = withCodes();
    readBarcodes(platform::Profile(path), again);
    EXPECT_EQ(again, LayoutSettings{});
}

TEST(BarcodeStore, IniValuesThatCannotBeReadKeepTheSlot) {
    QTemporaryDir dir;
    const QString path = dir.filePath("dravelin.ini");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[carovekody]\nkods=ean14;33;150;1\nkod=qr;x;150;1\nnazev=code39;33;150\n"
                "cena=code128;0;150;1\ntext1=EAN8; 50 ;200;0\n");
    }
    LayoutSettings s;
    readBarcodes(platform::Profile(path), s);
    LayoutSettings expected;
    expected.lines[Text1].barcode = {BarcodeKind::Ean8, 50, 200, false};
    EXPECT_EQ(s, expected);
}

TEST(BarcodeStore, SnapshotsKeepTheOptionsAfterTheRecordAndAPlainOneIsAllText) {
    QTemporaryDir dir;
    const QString plain = dir.filePath("plain.nas");
    saveSnapshotFile(LayoutSettings{}, plain);
    EXPECT_EQ(QFile(plain).size(), kSnapshotSize);
    // A snapshot without a trailer turns every slot back to text.
    EXPECT_EQ(loadSnapshotFile(plain, withCodes()), LayoutSettings{});

    LayoutSettings both = withCodes();
    both.sheet.on = true;
    both.sheet.columns = 3;
    both.sheet.rows = 8;
    both.sheet.width = 700;
    both.sheet.height = 371;
    both.sheet.pitchX = 700;
    both.sheet.pitchY = 371;
    for (const LayoutSettings& s : {withCodes(), both}) {
        const QString path = dir.filePath("codes.nas");
        saveSnapshotFile(s, path);
        EXPECT_GT(QFile(path).size(), kSnapshotSize);
        LayoutSettings loaded = loadSnapshotFile(path, LayoutSettings{});
        EXPECT_EQ(loaded.lines, s.lines);
        EXPECT_EQ(loaded.sheet.on, s.sheet.on);
        if (s.sheet.on) {
            EXPECT_EQ(loaded.sheet, s.sheet);
        }
    }
}

TEST(BarcodeStore, ADamagedBarcodeBlockIsRefused) {
    const QByteArray good = encodeSnapshot(LayoutSettings{}) + encodeBarcodeTrailer(withCodes());
    struct Case {
        const char* name;
        QByteArray bytes;
    };
    QByteArray badKind = good;
    badKind[kSnapshotSize + 12] = 9; // the first slot's kind
    QByteArray badDigits = good;
    badDigits[kSnapshotSize + 12 + 12] = 2;
    QByteArray zeroWidth = good;
    zeroWidth[kSnapshotSize + 12 + 4] = 0;
    const Case cases[] = {{"cut short", good.left(good.size() - 1)},
                          {"only the tag", good.left(kSnapshotSize + 8)},
                          {"unknown kind", badKind},
                          {"digits neither 0 nor 1", badDigits},
                          {"no module width", zeroWidth}};
    QTemporaryDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath("bad.nas");
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(c.bytes);
        f.close();
        try {
            loadSnapshotFile(path, LayoutSettings{});
            ADD_FAILURE() << "loaded";
        } catch (const SnapshotError& e) {
            EXPECT_EQ(e.fault(), SnapshotError::Fault::DamagedTrailer);
            EXPECT_EQ(e.text(), "damaged barcode trailer");
        }
    }
}

} // namespace
} // namespace settings

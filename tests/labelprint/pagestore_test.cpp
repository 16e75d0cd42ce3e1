// The page store and prepared-pages files: the byte layout of a saved run, loading it back
// (both header lengths), the move to an LPF temporary file, and damaged files refused cleanly.
#include "emf_pages.h"

#include "labelprint/emfplayer.h"
#include "labelprint/pagestore.h"
#include "labelprint/papertable.h"
#include "labelprint/preparedpages.h"
#include "labelprint/previewdocument.h"
#include "labelprint/previewsurface.h"
#include "platform/error.h"
#include "platform/errorhandler.h"
#include "platform/prompts.h"
#include "support/fifoguard.h"
#include "support/smalltmpfs.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace labelprint {
namespace {

using namespace testpages;

qint32 intAt(const QByteArray& b, qsizetype at) {
    return qFromLittleEndian<qint32>(b.constData() + at);
}
void setIntAt(QByteArray& b, qsizetype at, qint32 v) {
    qToLittleEndian(v, b.data() + at);
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

const PaperOffer kAnyPaper = [](int) { return true; };

// The page shows its own label: background and frame in place.
void expectPagePlays(PreviewDocument& document, int n) {
    const auto drawing = document.pageDrawing(n);
    ASSERT_TRUE(drawing.has_value()) << "page " << n;
    const QImage image = play(*drawing);
    EXPECT_EQ(image.pixelColor(100, 50), kFrame) << "page " << n;
    EXPECT_EQ(image.pixelColor(150, 100), kBackground) << "page " << n;
}

class PageStoreTest : public ::testing::Test {
  protected:
    void SetUp() override { prompts::clearHistory(); }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    // A finished 3-page run saved through Save Report; returns the file's bytes.
    QByteArray savedRun() {
        PreviewDocument document;
        recordRun(document, 3);
        prompts::setNextFileName(path("run.lpf"));
        EXPECT_TRUE(saveReport(document));
        return readFile(path("run.lpf"));
    }
    QTemporaryDir dir;
};

TEST_F(PageStoreTest, SavedRunHasTheFileLayout) {
    const QByteArray file = savedRun();
    const auto& request = prompts::fileRequests().back();
    EXPECT_EQ(request.kind, prompts::FileRequest::Kind::Save);
    EXPECT_EQ(request.title, QStringLiteral("Save report"));
    EXPECT_EQ(request.filter, QStringLiteral("Velmora file(*.LPF)|*.LPF"));
    EXPECT_EQ(request.defaultSuffix, QStringLiteral("LPF"));
    EXPECT_FALSE(request.overwritePrompt);

    ASSERT_GT(file.size(), 128);
    EXPECT_EQ(qFromLittleEndian<qint16>(file.constData()), 3);
    EXPECT_EQ(qFromLittleEndian<qint16>(file.constData() + 2), 309);
    EXPECT_EQ(intAt(file, 8), 3);
    EXPECT_EQ(file.mid(4, 4), QByteArray(4, '\0'));
    EXPECT_EQ(file.mid(12, 4), QByteArray(4, '\0'));
    EXPECT_EQ(file.mid(24, 104), QByteArray(104, '\0'));
    // Creation time: days since 30 December 1899, so some time after 2020.
    double days = 0;
    const quint64 bits = qFromLittleEndian<quint64>(file.constData() + 16);
    std::memcpy(&days, &bits, 8);
    EXPECT_GT(days, 43831.0);

    qsizetype at = 128;
    for (int page = 1; page <= 3; ++page) {
        EXPECT_EQ(intAt(file, at), page);
        const qint32 forward = intAt(file, at + 4);
        ASSERT_GT(forward, at + 12);
        ASSERT_LE(forward, file.size());
        EXPECT_EQ(file.mid(at + 8 + 40, 4), QByteArray(" EMF"));
        EXPECT_EQ(intAt(file, at + 8 + 48), forward - at - 12); // the drawing's own length
        EXPECT_EQ(intAt(file, forward - 4), at);
        at = forward;
    }
    EXPECT_EQ(at, file.size());
}

TEST_F(PageStoreTest, LoadedRunPlaysAndTakesItsPaper) {
    savedRun();
    PreviewDocument document;
    prompts::setNextFileName(path("run.lpf"));
    ASSERT_TRUE(loadReport(document, [](int code) { return code == 9 || code == 10; }));
    const auto& request = prompts::fileRequests().back();
    EXPECT_EQ(request.kind, prompts::FileRequest::Kind::Open);
    EXPECT_EQ(request.title, QStringLiteral("Load report"));
    EXPECT_EQ(request.filter, QStringLiteral("Velmora file (*.LPF)|*.LPF"));

    EXPECT_TRUE(document.isLoaded());
    EXPECT_EQ(document.status(), PreviewDocument::Status::Finished);
    EXPECT_EQ(document.pageCount(), 3);
    EXPECT_EQ(document.store()->headerLength(), 128);
    // A4 pages match A4 and A4 Small; the later one wins.
    EXPECT_EQ(document.paperCode(), 10);
    EXPECT_FALSE(document.landscape());
    // Any order: last, first, middle, then back again through the backward links.
    for (int n : {3, 1, 2, 3, 2, 1}) {
        expectPagePlays(document, n);
    }
    EXPECT_FALSE(document.pageDrawing(4).has_value());
    // A loaded file can be saved again, byte for byte.
    prompts::setNextFileName(path("again.lpf"));
    ASSERT_TRUE(saveReport(document));
    EXPECT_EQ(readFile(path("again.lpf")), readFile(path("run.lpf")));
}

TEST_F(PageStoreTest, OlderLayoutWithA124ByteHeaderLoads) {
    QByteArray file = savedRun();
    // The same run with four header bytes fewer: every link moves back by 4.
    file.remove(124, 4);
    qsizetype at = 124;
    for (int page = 1; page <= 3; ++page) {
        const qint32 forward = intAt(file, at + 4) - 4;
        setIntAt(file, at + 4, forward);
        setIntAt(file, forward - 4, qint32(at));
        at = forward;
    }
    ASSERT_EQ(file.mid(173, 4), QByteArray("EMF\0", 4));
    writeFile(path("old.lpf"), file);
    PreviewDocument document;
    ASSERT_TRUE(loadPreparedPages(document, path("old.lpf"), kAnyPaper));
    EXPECT_EQ(document.store()->headerLength(), 124);
    EXPECT_EQ(document.pageCount(), 3);
    for (int n : {1, 2, 3}) {
        expectPagePlays(document, n);
    }
}

TEST_F(PageStoreTest, SaveWritesNothingUntilTheRunHasFinished) {
    PreviewDocument document;
    PreviewSurface surface(document);
    surface.beginDocument();
    surface.beginPage();
    drawLabel(surface, QStringLiteral("x"));
    surface.beginPage(); // page 1 is in the store, the run goes on
    EXPECT_EQ(document.availablePages(), 1);
    prompts::setNextFileName(path("early.lpf"));
    EXPECT_FALSE(saveReport(document));
    EXPECT_FALSE(QFile::exists(path("early.lpf")));
    surface.endDocument();
    prompts::setNextFileName(path("late.lpf"));
    EXPECT_TRUE(saveReport(document));
    EXPECT_EQ(intAt(readFile(path("late.lpf")), 8), 2);
    // A cancelled dialog saves nothing either.
    prompts::setNextFileName(std::nullopt);
    EXPECT_FALSE(saveReport(document));
}

TEST_F(PageStoreTest, LargeStoreMovesToAnLpfTemporaryFileGoneOnRelease) {
    // A temporary folder of the test's own, so that only this store's file is in it.
    QTemporaryDir temp;
    TempPathOverride useTemp(temp.path());
    const QDir folder(temp.path());
    const auto lpfFiles = [&] { return folder.entryList({"LPF*"}, QDir::Files | QDir::Hidden); };

    PreviewDocument document;
    recordRun(document, 1);
    const qint64 onePage = document.store()->size() - PageStore::kHeaderLength;
    const int pages = int(PageStore::kMemoryLimit / onePage) + 2;
    recordRun(document, pages);
    PageStore* store = document.store();
    ASSERT_TRUE(store->onDisk());
    // Visible in the folder under its name while the store holds it, before anyone asks.
    const QStringList seen = lpfFiles();
    ASSERT_EQ(seen.size(), 1) << seen.join(' ').toStdString();
    const QString name = store->fileName();
    EXPECT_EQ(QFileInfo(name).absoluteFilePath(), folder.absoluteFilePath(seen[0]));
    EXPECT_EQ(QFileInfo(name).size(), store->size());
    EXPECT_EQ(intAt(readFile(name), 8), pages);
    for (int n : {pages, 1, pages / 2, pages - 1, 2}) {
        expectPagePlays(document, n);
    }
    document.releaseStore();
    EXPECT_TRUE(lpfFiles().isEmpty());

    // A run that spills and is then dropped with its document leaves nothing behind either.
    {
        PreviewDocument dropped;
        recordRun(dropped, pages);
        ASSERT_TRUE(dropped.store()->onDisk());
        EXPECT_EQ(lpfFiles().size(), 1);
    }
    EXPECT_TRUE(lpfFiles().isEmpty());
}

TEST_F(PageStoreTest, NotificationsFollowTheRun) {
    struct Observer : PreviewDocumentObserver {
        std::vector<int> pages, percents;
        void pageAvailable(int n) override { pages.push_back(n); }
        void progressChanged(int p) override { percents.push_back(p); }
    } observer;
    PreviewDocument document;
    document.attach(&observer);
    PreviewSurface surface(document);
    surface.beginDocument();
    surface.beginPage();
    surface.progress(50);
    surface.finishPage();
    surface.beginPage();
    EXPECT_EQ(document.pageCount(), 2);
    EXPECT_EQ(document.availablePages(), 1);
    EXPECT_FALSE(document.pageDrawing(2).has_value()); // begun, not finished
    surface.progress(100);
    surface.finishPage();
    surface.endDocument();
    EXPECT_EQ(observer.pages, (std::vector<int>{1, 2, 2}));
    EXPECT_EQ(observer.percents, (std::vector<int>{50, 100}));
    EXPECT_EQ(document.status(), PreviewDocument::Status::Finished);
}

// Each case spoils a saved 3-page file; loading may succeed (only the count is trusted), but
// reading the spoilt page must report an error through the default error handler.
struct Spoil {
    const char* name;
    int page;
    void (*apply)(QByteArray&);
};

qsizetype recordOf(const QByteArray& file, int page) {
    qsizetype at = 128;
    for (int p = 1; p < page; ++p) {
        at = intAt(file, at + 4);
    }
    return at;
}

const Spoil kSpoils[] = {
    {"truncated in page 2", 2, [](QByteArray& f) { f.truncate(recordOf(f, 2) + 300); }},
    {"truncated in the header", 1, [](QByteArray& f) { f.truncate(100); }},
    {"forward link past the end", 2,
     [](QByteArray& f) { setIntAt(f, recordOf(f, 1) + 4, qint32(f.size() + 40)); }},
    {"forward link backwards", 2, [](QByteArray& f) { setIntAt(f, recordOf(f, 1) + 4, 3); }},
    {"backward link wrong", 1,
     [](QByteArray& f) { setIntAt(f, recordOf(f, 2) - 4, qint32(recordOf(f, 2))); }},
    {"last page's link wrong", 3, [](QByteArray& f) { setIntAt(f, f.size() - 4, -20); }},
    {"page number wrong", 2, [](QByteArray& f) { setIntAt(f, recordOf(f, 2), 7); }},
    {"drawing longer than its record", 2,
     [](QByteArray& f) { setIntAt(f, recordOf(f, 2) + 8 + 48, 0x100000); }},
    {"record size in the drawing past the end", 2,
     [](QByteArray& f) {
         const qsizetype emf = recordOf(f, 2) + 8;
         setIntAt(f, emf + 108 + 4, 0x7FFFFFF0); // the record after the drawing's header
     }},
    {"page count larger than the records", 5, [](QByteArray& f) { setIntAt(f, 8, 9); }},
};

TEST_F(PageStoreTest, DamagedFilesGiveAnErrorNeverACrash) {
    const QByteArray good = savedRun();
    for (const Spoil& s : kSpoils) {
        QByteArray file = good;
        s.apply(file);
        writeFile(path("bad.lpf"), file);
        prompts::clearHistory();
        PreviewDocument document;
        const bool shown = platform::guard([&] {
            loadPreparedPages(document, path("bad.lpf"), kAnyPaper);
            const auto drawing = document.pageDrawing(s.page);
            ASSERT_TRUE(drawing.has_value());
            QImage image(100, 100, QImage::Format_RGB32);
            QPainter painter(&image);
            emf::playEmf(*drawing, painter, image.rect());
        });
        EXPECT_FALSE(shown) << s.name;
        ASSERT_EQ(prompts::shownMessages().size(), 1u) << s.name;
        EXPECT_FALSE(prompts::shownMessages()[0].text.isEmpty()) << s.name;
    }
}

TEST_F(PageStoreTest, FileErrorsHaveTheirTexts) {
    PreviewDocument document;
    recordRun(document, 1);
    // Missing file: a plain box, and the pages held stay.
    EXPECT_FALSE(loadPreparedPages(document, path("missing.lpf"), kAnyPaper));
    ASSERT_EQ(prompts::shownMessages().size(), 1u);
    EXPECT_EQ(prompts::shownMessages()[0].text, QStringLiteral("File does not exist"));
    EXPECT_EQ(prompts::shownMessages()[0].buttons, prompts::Buttons::Ok);
    EXPECT_EQ(document.pageCount(), 1);

    const QString noDir = path("nodir/out.lpf");
    try {
        savePreparedPages(document, noDir);
        FAIL() << "saved into a missing folder";
    } catch (const platform::Error& e) {
        EXPECT_EQ(e.text(), QStringLiteral("Cannot create file \"%1\". No such file or directory")
                                .arg(QDir::toNativeSeparators(noDir)));
    }

    // A folder in place of the file cannot be opened; the earlier pages are gone by then.
    QDir(dir.path()).mkdir(QStringLiteral("folder.lpf"));
    try {
        loadPreparedPages(document, path("folder.lpf"), kAnyPaper);
        FAIL() << "loaded a folder";
    } catch (const platform::Error& e) {
        EXPECT_TRUE(e.text().startsWith(QStringLiteral("Cannot open file \"%1\". ")
                                            .arg(QDir::toNativeSeparators(path("folder.lpf")))))
            << e.text().toStdString();
    }
    EXPECT_EQ(document.store(), nullptr);
    EXPECT_EQ(document.pageCount(), 0);
    prompts::setNextFileName(path("after.lpf"));
    EXPECT_FALSE(saveReport(document));
    EXPECT_FALSE(QFile::exists(path("after.lpf")));
}

TEST_F(PageStoreTest, SaveWritesThroughALinkAndNeverOntoADeviceOrFifo) {
    PreviewDocument document;
    recordRun(document, 2);
    writeFile(path("real.lpf"), "old");
    ASSERT_TRUE(QFile::link(path("real.lpf"), path("link.lpf")));
    EXPECT_TRUE(savePreparedPages(document, path("link.lpf")));
    EXPECT_TRUE(QFileInfo(path("link.lpf")).isSymLink());
    EXPECT_EQ(intAt(readFile(path("real.lpf")), 8), 2);

    ASSERT_EQ(::mkfifo(QFile::encodeName(path("pipe.lpf")).constData(), 0644), 0);
    for (const QString& target : {path("pipe.lpf"), QStringLiteral("/dev/null")}) {
        try {
            savePreparedPages(document, target);
            ADD_FAILURE() << "saved onto " << target.toStdString();
        } catch (const platform::Error& e) {
            EXPECT_EQ(e.text(), QStringLiteral("Cannot create file \"%1\". Not a regular file")
                                    .arg(QDir::toNativeSeparators(target)));
        }
    }
    EXPECT_EQ(QFileInfo(path("pipe.lpf")).isFile(), false);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::System | QDir::Hidden).size(), 3);
}

TEST_F(PageStoreTest, AFifoOrDeviceIsRefusedAtOnce) {
    QString fifoError;
    EXPECT_FALSE(readBlockedOnFifo(path("fifo.lpf"), [&] {
        PreviewDocument document;
        try {
            loadPreparedPages(document, path("fifo.lpf"), kAnyPaper);
        } catch (const platform::Error& e) {
            fifoError = e.text();
        }
    }));
    EXPECT_EQ(fifoError, QStringLiteral("Cannot open file \"%1\". Invalid filename")
                             .arg(QDir::toNativeSeparators(path("fifo.lpf"))));
    PreviewDocument document;
    EXPECT_THROW(loadPreparedPages(document, QStringLiteral("/dev/zero"), kAnyPaper),
                 platform::Error);
}

// The real limit with real bytes: 1.75 GiB go to the temporary file before the refusal.
TEST(PreparedPagesLimit, TheStoreStopsBeforeTwoGiBAndKeepsWhatItHas) {
    constexpr qint64 kPage = qint64(256) << 20;
    QByteArray drawing(kPage, '\0');
    qToLittleEndian<quint32>(quint32(kPage), drawing.data() + 48); // its own length, as EMF has
    PageStore store;
    int added = 0;
    try {
        while (added < 9) {
            store.addPage(drawing);
            ++added;
        }
        ADD_FAILURE() << "nine pages of 256 MiB were taken";
    } catch (const platform::Error& e) {
        EXPECT_EQ(e.text(), QStringLiteral("Page 8 would take the prepared pages past the 2 GiB "
                                           "limit of their file format"));
    }
    EXPECT_EQ(added, 7);
    EXPECT_EQ(store.pageCount(), 7);
    EXPECT_LE(store.size(), PageStore::kFormatLimit);
    // Every link is still a true offset: the last page through the backward link, the middle
    // one by walking forward.
    EXPECT_EQ(store.page(7).size(), kPage);
    EXPECT_EQ(store.page(4).size(), kPage);
}

TEST(PaperTable, RecognisesPaperIn4mmStepsLaterMatchesWinning) {
    const auto offer = [](std::initializer_list<int> codes) {
        return [codes = std::vector<int>(codes)](int c) {
            return std::find(codes.begin(), codes.end(), c) != codes.end();
        };
    };
    struct Case {
        int w, l;
        PaperOffer offered;
        std::optional<int> code;
        bool landscape;
    } cases[] = {
        {794, 1123, kAnyPaper, 10, false},
        {794, 1123, offer({9}), 9, false},
        {1123, 794, offer({9, 10}), 10, true},
        {816, 1056, offer({1}), 1, false},    // Letter at 96
        {816, 1056, kAnyPaper, 18, false},    // ... and Note, same in 4 mm steps, comes later
        {816, 1344, offer({5, 9}), 5, false}, // Legal
        {794, 1123, offer({8}), std::nullopt, false},
        {500, 500, kAnyPaper, std::nullopt, false},
    };
    for (const Case& c : cases) {
        const auto choice = recognisePaper(c.w, c.l, 96, c.offered);
        ASSERT_EQ(choice.has_value(), c.code.has_value()) << c.w << "x" << c.l;
        if (choice) {
            EXPECT_EQ(choice->code, *c.code) << c.w << "x" << c.l;
            EXPECT_EQ(choice->landscape, c.landscape) << c.w << "x" << c.l;
        }
    }
}

} // namespace
} // namespace labelprint

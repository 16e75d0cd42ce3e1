// Writes the seed inputs: a recorded page and a small prepared-pages file of two pages.
#include "fuzz_common.h"
#include "labelprint/emfwriter.h"
#include "labelprint/pagestore.h"

#include <QBuffer>
#include <QFile>

using namespace labelprint;

static QByteArray page(const QString& text) {
    emf::EmfWriter w(QSize(794, 1123), 96);
    w.fillRect(QRect(100, 50, 200, 70), 0xA0F0FF);
    emf::LogFont f;
    f.height = -16;
    f.face = QStringLiteral("DejaVu Sans");
    w.selectFont(f);
    const std::vector<std::int32_t> dx(size_t(text.size()), 9);
    w.drawText(QPoint(110, 58), emf::Align::TopLeft, text, dx, 19, 0);
    f.weight = 700;
    w.selectFont(f);
    w.drawText(QPoint(200, 90), emf::Align::TopCentre, QStringLiteral("MID"), {11, 11, 11}, 19,
               0x0000DC);
    w.fillRect(QRect(100, 50, 200, 1), 0xC80000);
    w.fillRect(QRect(100, 119, 200, 1), 0xC80000);
    return w.finish();
}

static void save(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) {
        f.write(bytes);
    }
}

int main(int, char** argv) {
    fuzz::startApplication();
    const QString dir = QString::fromLocal8Bit(argv[1]);
    save(dir + "/emf/page.emf", page(QStringLiteral("Cena 123")));
    PageStore store;
    store.addPage(page(QStringLiteral("Page 1")));
    store.addPage(page(QStringLiteral("Page 2")));
    store.addPage(page(QStringLiteral("Page 3")));
    store.writeHeader(3);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    store.copyTo(out);
    save(dir + "/lpf/three.lpf", out.data());
    QByteArray old = out.data();
    old.remove(124, 4); // the older 124-byte header; links are left for the fuzzer to mend
    save(dir + "/lpf/old-header.lpf", old);
    return 0;
}

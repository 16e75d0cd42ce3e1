// Fuzzes the prepared-pages reader: the input is written as a file, opened as a page store, and
// every page (in a jumping order, so links are walked both ways) is read and played. Damaged
// files must give platform::Error, never a bad read.
#include "fuzz_common.h"
#include "labelprint/emfplayer.h"
#include "labelprint/pagestore.h"
#include "platform/error.h"

#include <QDir>
#include <QFile>
#include <cstdint>

namespace {
QString inputPath;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::startApplication();
    inputPath = QDir::tempPath() + QStringLiteral("/lpf-fuzz-%1.lpf").arg(getpid());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    {
        QFile file(inputPath);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            return 0;
        }
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    QImage image(40, 57, QImage::Format_RGB32);
    try {
        auto store = labelprint::PageStore::open(inputPath);
        const int count = store->pageCount();
        const int pages[] = {1, count, count / 2, 2, count - 1, 3, 1};
        for (int n : pages) {
            if (n < 1 || n > count) {
                continue;
            }
            try {
                const QByteArray page = store->page(n);
                QPainter painter(&image);
                labelprint::emf::playEmf(page, painter, image.rect());
            } catch (const platform::Error&) {
            }
        }
    } catch (const platform::Error&) {
    }
    return 0;
}

// Fuzzes the EMF player: any bytes either play into a small image or are refused with
// platform::Error; nothing may read outside the buffer.
#include "fuzz_common.h"
#include "labelprint/emfplayer.h"
#include "platform/error.h"

#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::startApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // An exact copy, so the sanitizer sees the buffer's true end.
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QImage image(80, 113, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    try {
        labelprint::emf::playEmf(bytes, painter, QRectF(0, 0, 80, 113));
    } catch (const platform::Error&) {
    }
    return 0;
}

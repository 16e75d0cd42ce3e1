#include "labelprint/cupsjob.h"

#include <cups/cups.h>

namespace labelprint {

int submitCupsJob(const CupsJob& job, QString& error) {
    cups_option_t* options = nullptr;
    int count = 0;
    if (!job.media.isEmpty()) {
        count = cupsAddOption("media", job.media.toUtf8().constData(), count, &options);
    }
    if (job.copies > 1) {
        count =
            cupsAddOption("copies", QByteArray::number(job.copies).constData(), count, &options);
    }
    count = cupsAddOption("sides", "one-sided", count, &options);
    if (job.landscape) {
        count = cupsAddOption("landscape", "", count, &options);
    }
    const QByteArray queue = job.printer.section(QLatin1Char('/'), 0, 0).toLocal8Bit();
    const int id = cupsPrintFile(queue.constData(), job.file.toLocal8Bit().constData(),
                                 job.title.toUtf8().constData(), count, options);
    cupsFreeOptions(count, options);
    if (id == 0) {
        error = QString::fromUtf8(cupsLastErrorString());
    }
    return id;
}

} // namespace labelprint

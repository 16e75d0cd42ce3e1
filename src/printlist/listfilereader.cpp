#include "printlist/listfilereader.h"

#include "platform/codepage.h"
#include "platform/error.h"

#include <QFileDevice>

namespace printlist {
namespace {
constexpr char kCtrlZ = 26;
}

bool ListFileReader::nextBytes(QByteArray& line) {
    if (ended_) {
        return false;
    }
    // A line break at the very end, or right before Ctrl-Z, starts no further line.
    if (lines_ > 0 && (device_.atEnd() || device_.peek(1) == QByteArray(1, kCtrlZ))) {
        ended_ = true;
        return false;
    }
    line = device_.readLine();
    if (const auto* file = qobject_cast<QFileDevice*>(&device_);
        file != nullptr && file->error() != QFileDevice::NoError) {
        throw platform::Error(file->errorString());
    }
    if (const qsizetype z = line.indexOf(kCtrlZ); z >= 0) {
        line.truncate(z);
        ended_ = true;
    } else if (line.endsWith('\n')) {
        line.chop(1);
    } else {
        ended_ = true; // the last line has no line break
    }
    if (line.contains('\r')) {
        line.replace("\r", "");
    }
    ++lines_;
    return true;
}

bool ListFileReader::next(QString& line) {
    QByteArray bytes;
    if (!nextBytes(bytes)) {
        return false;
    }
    line = platform::fromCp1250(bytes);
    return true;
}

} // namespace printlist

#include "printlist/listfilereader.h"

#include "platform/codepage.h"
#include "platform/error.h"

#include <QFileDevice>

namespace printlist {
namespace {
constexpr char kCtrlZ = 26;
constexpr char kMark[] = "\xEF\xBB\xBF";

// Feeds bytes up to the first Ctrl-Z; answers which code they are in once all are fed.
class EncodingProbe {
  public:
    // False once Ctrl-Z was seen: nothing after it counts.
    bool feed(QByteArrayView bytes) {
        if (first_) {
            first_ = false;
            if (bytes.startsWith(kMark)) {
                marked_ = true;
                return false;
            }
        }
        for (const char ch : bytes) {
            if (ch == kCtrlZ) {
                return false;
            }
            take(static_cast<unsigned char>(ch));
        }
        return true;
    }
    ListFileEncoding result() const {
        if (marked_) {
            return ListFileEncoding::Utf8WithMark;
        }
        const bool utf8 = multiByte_ && !invalid_ && need_ == 0;
        return utf8 ? ListFileEncoding::Utf8 : ListFileEncoding::Cp1250;
    }

  private:
    // One step of a UTF-8 check: how many continuation bytes the sequence still needs.
    void take(unsigned char b) {
        if (invalid_) {
            return;
        }
        if (need_ > 0) {
            if ((b & 0xC0) != 0x80) {
                invalid_ = true;
            }
            --need_;
            return;
        }
        if (b < 0x80) {
            return;
        }
        multiByte_ = true;
        if (b >= 0xC2 && b <= 0xDF) {
            need_ = 1;
        } else if ((b & 0xF0) == 0xE0) {
            need_ = 2;
        } else if (b >= 0xF0 && b <= 0xF4) {
            need_ = 3;
        } else {
            invalid_ = true;
        }
    }
    bool first_ = true;
    bool marked_ = false;
    bool multiByte_ = false;
    bool invalid_ = false;
    int need_ = 0;
};
} // namespace

ListFileEncoding detectListFileEncoding(const QByteArray& bytes) {
    EncodingProbe probe;
    probe.feed(bytes);
    return probe.result();
}

ListFileEncoding detectListFileEncoding(QIODevice& device) {
    const qint64 start = device.pos();
    EncodingProbe probe;
    // The mark is looked for in the first chunk only, so that chunk must hold it whole.
    QByteArray chunk = device.read(64 * 1024);
    while (!chunk.isEmpty() && probe.feed(chunk)) {
        chunk = device.read(64 * 1024);
    }
    device.seek(start);
    return probe.result();
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
    if (encoding_ == ListFileEncoding::Cp1250) {
        line = platform::fromCp1250(bytes);
        return true;
    }
    if (lines_ == 1 && encoding_ == ListFileEncoding::Utf8WithMark && bytes.startsWith(kMark)) {
        bytes.remove(0, 3);
    }
    line = QString::fromUtf8(bytes);
    return true;
}

} // namespace printlist

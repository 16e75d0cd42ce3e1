#include "labelprint/pagestore.h"

#include "platform/error.h"
#include "platform/fileerror.h"
#include "platform/regularfile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryFile>
#include <QtEndian>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace labelprint {
namespace {

[[noreturn]] void damaged(int page, const QString& why) {
    throw platform::Error(QStringLiteral("Page %1 cannot be read: %2").arg(page).arg(why));
}

// Days since 30 December 1899, the fraction being the local time of day.
double creationTime() {
    const QDateTime now = QDateTime::currentDateTime();
    const qint64 days = QDate(1899, 12, 30).daysTo(now.date());
    return double(days) + now.time().msecsSinceStartOfDay() / 86400000.0;
}

// Writes all of `bytes`; a short write is followed up, so that a full disk is reported as such
// rather than as a count that came out short.
bool writeAll(QFile& file, const QByteArray& bytes) {
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            return false;
        }
        done += n;
    }
    return file.flush();
}

QByteArray int32Bytes(std::int32_t v) {
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

} // namespace

PageStore::PageStore() = default;

PageStore::~PageStore() {
    if (file_) {
        file_->close();
    }
}

std::unique_ptr<PageStore> PageStore::writingTo(int fd) {
    auto store = std::make_unique<PageStore>();
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::ReadWrite, QFileDevice::DontCloseHandle)) {
        throw platform::Error(file->errorString());
    }
    store->file_ = std::move(file);
    return store;
}

std::unique_ptr<PageStore> PageStore::open(const QString& path) {
    auto store = std::make_unique<PageStore>();
    auto file = std::make_unique<QFile>(path);
    const auto cannotOpen = [&](const QString& why) {
        return platform::Error(
            QStringLiteral("Cannot open file \"%1\". %2").arg(QDir::toNativeSeparators(path), why));
    };
    // Only a regular file: a FIFO would hold the window until written to, a device never ends.
    int fd = -1;
    try {
        fd = platform::openRegularFile(path, O_RDONLY);
    } catch (const platform::FileError& e) {
        throw cannotOpen(e.text());
    }
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw cannotOpen(file->errorString());
    }
    store->size_ = file->size();
    store->file_ = std::move(file);
    store->readOnly_ = true;
    if (store->size_ < 12) {
        throw cannotOpen(platform::fileErrorText(platform::ReadBeyondEnd));
    }
    // The older layout is recognised by its first drawing's signature four bytes earlier.
    if (store->size_ >= 177 && store->readAt(173, 4) == QByteArray("EMF\0", 4)) {
        store->headerLength_ = kOldHeaderLength;
    }
    store->count_ = std::max(0, store->readInt(8));
    return store;
}

QByteArray PageStore::header(int pageCount) const {
    QByteArray h(kHeaderLength, '\0');
    qToLittleEndian(std::int16_t(3), h.data());
    qToLittleEndian(std::int16_t(309), h.data() + 2);
    qToLittleEndian(std::int32_t(pageCount), h.data() + 8);
    const double time = creationTime();
    std::uint64_t bits;
    std::memcpy(&bits, &time, 8);
    qToLittleEndian(bits, h.data() + 16);
    return h;
}

void PageStore::addPage(const QByteArray& drawing) {
    std::lock_guard guard(lock_);
    if (readOnly_) {
        throw platform::Error(QStringLiteral("Pages cannot be added to a loaded file"));
    }
    const qint64 start = std::max<qint64>(size_, kHeaderLength);
    const qint64 forward = start + 8 + drawing.size() + 4;
    if (forward > kFormatLimit) {
        // Past it the links would wrap negative and the file could not be read back.
        throw platform::Error(QStringLiteral("Page %1 would take the prepared pages past the 2 GiB "
                                             "limit of their file format")
                                  .arg(count_ + 1));
    }
    if (count_ == 0) {
        writeAt(0, header(1));
    }
    // The record as it ends up once its forward link is filled in.
    QByteArray record;
    record.reserve(drawing.size() + 12);
    record += int32Bytes(count_ + 1);
    record += int32Bytes(std::int32_t(forward));
    record += drawing;
    record += int32Bytes(std::int32_t(start));
    writeAt(start, record);
    ++count_;
    if (!file_ && size_ > kMemoryLimit) {
        moveToFile();
    }
}

void PageStore::writeHeader(int pageCount) {
    std::lock_guard guard(lock_);
    if (readOnly_ || size_ < kHeaderLength) {
        return;
    }
    writeAt(0, header(pageCount));
}

void PageStore::moveToFile() {
    auto file = std::make_unique<QTemporaryFile>(QDir::tempPath() + QStringLiteral("/LPFXXXXXX"));
    file->setAutoRemove(true);
    if (!file->open()) {
        throw platform::Error(
            QStringLiteral("Cannot create file \"%1\". %2")
                .arg(QDir::toNativeSeparators(file->fileTemplate()), file->errorString()));
    }
    // Qt may create the file without a name in the folder; asking for the name links it
    // there, so the spilled pages show up as an LPF file while the store holds them.
    if (file->fileName().isEmpty()) {
        throw platform::Error(QStringLiteral("Cannot create file \"%1\".")
                                  .arg(QDir::toNativeSeparators(file->fileTemplate())));
    }
    if (!writeAll(*file, memory_)) {
        throw platform::Error(file->errorString());
    }
    memory_.clear();
    memory_.squeeze();
    file_ = std::move(file);
}

void PageStore::writeAt(qint64 offset, const QByteArray& bytes) {
    if (!file_) {
        if (offset + bytes.size() > memory_.size()) {
            memory_.resize(offset + bytes.size());
        }
        std::memcpy(memory_.data() + offset, bytes.constData(), size_t(bytes.size()));
    } else if (!file_->seek(offset) || !writeAll(*file_, bytes)) {
        throw platform::Error(
            QStringLiteral("The page store cannot be written. %1").arg(file_->errorString()));
    }
    size_ = std::max(size_, offset + bytes.size());
}

QByteArray PageStore::readAt(qint64 offset, qint64 length) {
    if (offset < 0 || length < 0 || offset > size_ || length > size_ - offset) {
        throw platform::FileError(platform::ReadBeyondEnd);
    }
    if (!file_) {
        return memory_.mid(offset, length);
    }
    QByteArray bytes;
    if (file_->seek(offset)) {
        bytes = file_->read(length);
    }
    if (bytes.size() != length) {
        throw platform::FileError(platform::ReadBeyondEnd);
    }
    return bytes;
}

std::int32_t PageStore::readInt(qint64 offset) {
    return qFromLittleEndian<std::int32_t>(readAt(offset, 4).constData());
}

int PageStore::pageCount() const {
    std::lock_guard guard(lock_);
    return count_;
}

int PageStore::headerLength() const {
    std::lock_guard guard(lock_);
    return headerLength_;
}

qint64 PageStore::size() const {
    std::lock_guard guard(lock_);
    return size_;
}

bool PageStore::onDisk() const {
    std::lock_guard guard(lock_);
    return file_ != nullptr;
}

QString PageStore::fileName() const {
    std::lock_guard guard(lock_);
    return file_ ? file_->fileName() : QString();
}

qint64 PageStore::recordStart(int number) {
    if (number == 1) {
        return headerLength_;
    }
    if (number == count_) {
        // The last record's backward link is the stream's last four bytes.
        return readInt(size_ - 4);
    }
    int page = 1;
    qint64 offset = headerLength_;
    if (nextPage_ >= 1 && nextPage_ <= count_) {
        page = nextPage_;
        offset = nextOffset_;
    }
    while (page > number) {
        // The backward link of the record before ends right where this record starts.
        const qint64 before = readInt(offset - 4);
        if (before < headerLength_ || before >= offset - 12) {
            damaged(number, QStringLiteral("a backward link is wrong"));
        }
        offset = before;
        --page;
    }
    while (page < number) {
        if (readInt(offset) != page) {
            damaged(number, QStringLiteral("the pages are out of order"));
        }
        const qint64 forward = readInt(offset + 4);
        if (forward < offset + 12 || forward > size_) {
            damaged(number, QStringLiteral("a forward link is wrong"));
        }
        offset = forward;
        ++page;
    }
    return offset;
}

QByteArray PageStore::page(int number) {
    std::lock_guard guard(lock_);
    if (number < 1 || number > count_) {
        throw platform::Error(QStringLiteral("Page %1 does not exist").arg(number));
    }
    try {
        const qint64 start = recordStart(number);
        if (start < headerLength_ || start > size_ - 12) {
            damaged(number, QStringLiteral("its record lies outside the file"));
        }
        if (readInt(start) != number) {
            damaged(number, QStringLiteral("the pages are out of order"));
        }
        const qint64 forward = readInt(start + 4);
        if (forward < start + 12 || forward > size_ || readInt(forward - 4) != start) {
            damaged(number, QStringLiteral("its links do not agree"));
        }
        QByteArray drawing = readAt(start + 8, forward - start - 12);
        // The drawing's own header gives its length; it must lie inside the record.
        if (drawing.size() >= 52) {
            const auto length = qFromLittleEndian<std::uint32_t>(drawing.constData() + 48);
            if (length > std::uint32_t(drawing.size())) {
                damaged(number, QStringLiteral("its drawing is cut short"));
            }
            drawing.truncate(qsizetype(length));
        }
        nextPage_ = number + 1;
        nextOffset_ = forward;
        return drawing;
    } catch (const platform::FileError&) {
        damaged(number, QStringLiteral("its record is cut short"));
    }
}

void PageStore::copyTo(QIODevice& out) {
    std::lock_guard guard(lock_);
    for (qint64 offset = 0; offset < size_; offset += kCopyBlock) {
        const QByteArray block = readAt(offset, std::min(kCopyBlock, size_ - offset));
        if (out.write(block) != block.size()) {
            throw platform::Error(out.errorString());
        }
    }
}

} // namespace labelprint

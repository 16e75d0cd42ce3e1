// The prepared pages of one run as a single byte stream in the prepared-pages file layout: kept
// in memory while small, moved into an "LPF" temporary file once it passes 100000 bytes, or an
// opened prepared-pages file after a load. Pages are found through their records' links.
#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <mutex>

class QFile;
class QIODevice;

namespace labelprint {

class PageStore {
  public:
    static constexpr qint64 kMemoryLimit = 100000;
    static constexpr int kHeaderLength = 128;
    static constexpr int kOldHeaderLength = 124;
    static constexpr qint64 kCopyBlock = 10240;
    // The records' links are signed 32-bit offsets: no record may end beyond this byte.
    static constexpr qint64 kFormatLimit = 0x7fffffff;

    // An empty store in memory, for a layout run.
    PageStore();
    // Releases the store: the temporary file, if any, is deleted with it.
    ~PageStore();
    PageStore(const PageStore&) = delete;
    PageStore& operator=(const PageStore&) = delete;

    // An empty store that writes its pages straight into the open, empty file `fd` (read-write;
    // it stays open after the store), so that nothing of a page stays in memory once it is
    // added; the file ends up as Save would have written it. Throws platform::Error.
    static std::unique_ptr<PageStore> writingTo(int fd);

    // Uses an existing prepared-pages file as the store, read only. Throws platform::Error
    // "Cannot open file "%s". %s" when it cannot be opened or holds no header.
    static std::unique_ptr<PageStore> open(const QString& path);

    // Appends a page record; the first page also writes the header with a page count of 1.
    // Throws platform::Error when the temporary file cannot be created or written, or when the
    // record would end past the size limit; the pages added before stay whole and readable.
    void addPage(const QByteArray& drawing);
    // Writes the header again with the final page count.
    void writeHeader(int pageCount);

    // Records written so far, or the header's page count of an opened file.
    int pageCount() const;
    int headerLength() const;
    qint64 size() const;
    bool onDisk() const;
    // The temporary or opened file; empty while the store is in memory.
    QString fileName() const;

    // The drawing of page `number` (from 1). Throws platform::Error when the page does not
    // exist or its record is damaged.
    QByteArray page(int number);

    // Writes the whole stream, from its first byte, in blocks of kCopyBlock bytes.
    void copyTo(QIODevice& out);

  private:
    QByteArray readAt(qint64 offset, qint64 length);
    std::int32_t readInt(qint64 offset);
    void writeAt(qint64 offset, const QByteArray& bytes);
    void moveToFile();
    QByteArray header(int pageCount) const;
    qint64 recordStart(int number);

    // Not needed today: the run appends and the window reads on the one thread, and no call
    // lets events through, so no call ever starts inside another. The store guards itself all
    // the same, so that recording could move to a worker thread without touching the readers;
    // an uncontended lock costs little next to the bytes each call copies.
    mutable std::mutex lock_;
    QByteArray memory_;
    std::unique_ptr<QFile> file_;
    bool readOnly_ = false;
    qint64 size_ = 0;
    int headerLength_ = kHeaderLength;
    int count_ = 0;
    // Where the previous read ended: the record after the page read last.
    int nextPage_ = 0;
    qint64 nextOffset_ = 0;
};

} // namespace labelprint

// An output file written unnamed beside its target (a link's target: links are written through)
// and put in its place only when complete, so the target never holds half a file and even a
// killed run leaves nothing. Where the file system has no unnamed files, a temporary name is
// used instead, removed on failure, on destruction, and at once on a second interrupting signal
// (see interrupt.h).
#pragma once

#include <QString>
#include <memory>

namespace platform {
class PendingFile;
}

namespace batch {

class TempOutput {
  public:
    // Creates the new file in the target's folder. Throws BatchError naming the target when it
    // cannot be written there, or when it is a folder, a device or a FIFO.
    explicit TempOutput(const QString& target);
    ~TempOutput();
    TempOutput(const TempOutput&) = delete;
    TempOutput& operator=(const TempOutput&) = delete;

    // A name under which writers open the new file.
    QString path() const;
    int fd() const;
    const QString& target() const { return target_; }
    // Renames the temporary file over the target. Throws BatchError.
    void commit();

  private:
    QString target_;
    std::unique_ptr<platform::PendingFile> file_;
};

} // namespace batch

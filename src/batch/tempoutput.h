// An output file written beside its target under a temporary name and renamed over it only when
// complete, so the target never holds half a file. The temporary file goes away on failure, on
// destruction, and at once on a second interrupting signal (see interrupt.h).
#pragma once

#include <QString>

namespace batch {

class TempOutput {
  public:
    // Creates the temporary file in the target's folder. Throws BatchError naming the target
    // when it cannot be written there.
    explicit TempOutput(const QString& target);
    ~TempOutput();
    TempOutput(const TempOutput&) = delete;
    TempOutput& operator=(const TempOutput&) = delete;

    const QString& path() const { return temp_; }
    const QString& target() const { return target_; }
    // Renames the temporary file over the target. Throws BatchError.
    void commit();

  private:
    QString target_;
    QString temp_;
    bool committed_ = false;
};

} // namespace batch

// A failure of the batch tool: one line for standard error, naming the file and what is wrong,
// and the exit code that goes with it.
#pragma once

#include "platform/error.h"

namespace batch {

// FitFailure: the output was written, but --check-fit found text that does not fit.
enum ExitCode { Success = 0, Failure = 1, UsageFailure = 2, FitFailure = 3 };

class BatchError : public platform::Error {
  public:
    explicit BatchError(const QString& text, ExitCode code = Failure)
        : platform::Error(text), code_(code) {}
    ExitCode code() const { return code_; }

  private:
    ExitCode code_;
};

} // namespace batch

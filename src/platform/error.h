// The error type every command throws; the default error handler shows its text.
#pragma once

#include <QString>
#include <stdexcept>

namespace platform {

class Error : public std::runtime_error {
  public:
    explicit Error(const QString& text) : std::runtime_error(text.toStdString()), text_(text) {}
    const QString& text() const { return text_; }

  private:
    QString text_;
};

} // namespace platform

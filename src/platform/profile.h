// A profile (INI) file that keeps what it does not know: sections and keys are matched without
// regard to case, key order and foreign keys and sections stay in place, and a write replaces
// one value where it stands. Texts in the file are Windows-1250.
#pragma once

#include <QString>
#include <QStringList>

namespace platform {

class Profile {
  public:
    // Reads the file when it exists; a missing or unreadable file, or one that is no regular
    // file (a FIFO, a device), reads as empty.
    explicit Profile(QString path);

    const QString& path() const { return path_; }
    // The text after "=", blanks around it removed, at most 2047 characters;
    // `fallback` when the section or key is missing.
    QString readString(const QString& section, const QString& key, const QString& fallback) const;
    bool hasKey(const QString& section, const QString& key) const;
    // The keys of a section in file order, as they are spelt there; empty when it is missing.
    QStringList keys(const QString& section) const;
    // Replaces the key's value in place, or adds the key at the end of its section, or the
    // section at the end of the file.
    void writeString(const QString& section, const QString& key, const QString& value);
    // Writes the file atomically. Throws platform::Error("Unable to write to <path>").
    void save() const;

    static constexpr int kMaxValueLength = 2047;

  private:
    int findSection(const QString& section) const;
    int sectionEnd(int sectionLine) const;
    int findKey(int sectionLine, const QString& key) const;

    QString path_;
    QStringList lines_;
    QString eol_ = QStringLiteral("\n");
};

} // namespace platform

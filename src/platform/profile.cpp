#include "platform/profile.h"

#include "platform/codepage.h"
#include "platform/error.h"
#include "platform/fileerror.h"

#include <QFile>

namespace platform {
namespace {

bool isSectionLine(const QString& line, QString* name = nullptr) {
    const QString t = line.trimmed();
    if (!t.startsWith('[')) {
        return false;
    }
    const int close = t.indexOf(']');
    if (close < 0) {
        return false;
    }
    if (name) {
        *name = t.mid(1, close - 1).trimmed();
    }
    return true;
}

bool keyOf(const QString& line, QString* key) {
    const QString t = line.trimmed();
    if (t.isEmpty() || t.startsWith(';')) {
        return false;
    }
    const int eq = line.indexOf('=');
    if (eq < 0) {
        return false;
    }
    *key = line.left(eq).trimmed();
    return true;
}

} // namespace

Profile::Profile(QString path) : path_(std::move(path)) {
    QFile f(path_);
    if (!f.open(QIODevice::ReadOnly)) {
        return;
    }
    const QByteArray bytes = f.readAll();
    if (bytes.contains("\r\n")) {
        eol_ = QStringLiteral("\r\n");
    }
    QString text = fromCp1250(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines_ = text.split('\n');
    if (!lines_.isEmpty() && lines_.last().isEmpty()) {
        lines_.removeLast();
    }
}

int Profile::findSection(const QString& section) const {
    for (int i = 0; i < lines_.size(); ++i) {
        QString name;
        if (isSectionLine(lines_[i], &name) && name.compare(section, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

int Profile::sectionEnd(int sectionLine) const {
    int i = sectionLine + 1;
    while (i < lines_.size() && !isSectionLine(lines_[i])) {
        ++i;
    }
    return i;
}

int Profile::findKey(int sectionLine, const QString& key) const {
    const int end = sectionEnd(sectionLine);
    for (int i = sectionLine + 1; i < end; ++i) {
        QString k;
        if (keyOf(lines_[i], &k) && k.compare(key, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

bool Profile::hasKey(const QString& section, const QString& key) const {
    const int s = findSection(section);
    return s >= 0 && findKey(s, key) >= 0;
}

QStringList Profile::keys(const QString& section) const {
    QStringList found;
    const int s = findSection(section);
    if (s < 0) {
        return found;
    }
    const int end = sectionEnd(s);
    for (int i = s + 1; i < end; ++i) {
        QString k;
        if (keyOf(lines_[i], &k)) {
            found.append(k);
        }
    }
    return found;
}

QString Profile::readString(const QString& section, const QString& key,
                            const QString& fallback) const {
    const int s = findSection(section);
    if (s < 0) {
        return fallback;
    }
    const int k = findKey(s, key);
    if (k < 0) {
        return fallback;
    }
    const QString& line = lines_[k];
    return line.mid(line.indexOf('=') + 1).trimmed().left(kMaxValueLength);
}

void Profile::writeString(const QString& section, const QString& key, const QString& value) {
    const QString entry = key + '=' + value;
    int s = findSection(section);
    if (s < 0) {
        lines_.append('[' + section + ']');
        lines_.append(entry);
        return;
    }
    const int k = findKey(s, key);
    if (k >= 0) {
        lines_[k] = entry;
        return;
    }
    // After the section's last non-empty line, so a blank line between sections stays put.
    int at = sectionEnd(s);
    while (at > s + 1 && lines_[at - 1].trimmed().isEmpty()) {
        --at;
    }
    lines_.insert(at, entry);
}

void Profile::save() const {
    QString text;
    for (const QString& line : lines_) {
        text += line;
        text += eol_;
    }
    try {
        writeFileAtomic(path_, toCp1250(text));
    } catch (const FileError&) {
        throw Error(QStringLiteral("Unable to write to %1").arg(path_));
    }
}

} // namespace platform

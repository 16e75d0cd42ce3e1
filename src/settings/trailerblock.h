// The tagged blocks of the snapshot trailer: an 8-byte tag, the payload's length as a
// little-endian 32-bit number, and the payload as little-endian 32-bit fields. Readers skip
// blocks whose tag they do not know, and take the first fields of a longer payload, which a
// later program may write.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <initializer_list>
#include <optional>

namespace settings {

constexpr qsizetype kTrailerTagSize = 8;

// Builds one block: the tag, then the fields appended one by one.
class TrailerBlockWriter {
  public:
    explicit TrailerBlockWriter(QByteArrayView tag);
    void append(std::int32_t field);
    void append(std::initializer_list<std::int32_t> fields);
    QByteArray finish() const;

  private:
    QByteArray tag_;
    QByteArray payload_;
};

// The payload of a block that carries the expected tag.
class TrailerFields {
  public:
    explicit TrailerFields(QByteArrayView payload) : payload_(payload) {}
    qsizetype count() const { return payload_.size() / 4; }
    // Field `i`, which the caller has made sure is within count().
    std::int32_t operator()(qsizetype i) const;

  private:
    QByteArrayView payload_;
};

// The block at the start of `rest` when it carries `tag`; nothing when it carries another.
// Throws platform::Error with `damaged` when it carries the tag but is cut short, or holds fewer
// than `minFields` fields.
std::optional<TrailerFields> readTrailerBlock(QByteArrayView rest, QByteArrayView tag,
                                              qsizetype minFields, const QString& damaged);

// The size of the tagged block (tag, length, payload) at the start of `rest`, or 0 when it is
// no whole block.
qsizetype trailerBlockSize(QByteArrayView rest);

} // namespace settings

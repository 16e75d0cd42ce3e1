#include "settings/trailerblock.h"

#include "platform/error.h"

#include <QtEndian>

namespace settings {
namespace {

constexpr qsizetype kHead = kTrailerTagSize + 4;

void appendLittleEndian(QByteArray& out, std::int32_t v) {
    char le[4];
    qToLittleEndian<std::int32_t>(v, le);
    out.append(le, 4);
}

// The payload length of the block at the start of `rest`, or -1 when no whole block is there.
qsizetype payloadSize(QByteArrayView rest) {
    if (rest.size() < kHead) {
        return -1;
    }
    const std::int32_t payload = qFromLittleEndian<std::int32_t>(rest.data() + kTrailerTagSize);
    if (payload < 0 || rest.size() - kHead < payload) {
        return -1;
    }
    return payload;
}

} // namespace

TrailerBlockWriter::TrailerBlockWriter(QByteArrayView tag) : tag_(tag.toByteArray()) {}

void TrailerBlockWriter::append(std::int32_t field) {
    appendLittleEndian(payload_, field);
}

void TrailerBlockWriter::append(std::initializer_list<std::int32_t> fields) {
    for (std::int32_t f : fields) {
        append(f);
    }
}

QByteArray TrailerBlockWriter::finish() const {
    QByteArray out = tag_;
    appendLittleEndian(out, std::int32_t(payload_.size()));
    return out + payload_;
}

std::int32_t TrailerFields::operator()(qsizetype i) const {
    return qFromLittleEndian<std::int32_t>(payload_.data() + 4 * i);
}

std::optional<TrailerFields> readTrailerBlock(QByteArrayView rest, QByteArrayView tag,
                                              qsizetype minFields, const QString& damaged) {
    if (!rest.startsWith(tag)) {
        return std::nullopt;
    }
    const qsizetype payload = payloadSize(rest);
    if (payload < 4 * minFields) {
        throw platform::Error(damaged);
    }
    return TrailerFields(rest.sliced(kHead, payload));
}

qsizetype trailerBlockSize(QByteArrayView rest) {
    const qsizetype payload = payloadSize(rest);
    return payload < 0 ? 0 : kHead + payload;
}

} // namespace settings

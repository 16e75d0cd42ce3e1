// Plays a recorded page (an Enhanced Metafile) stretched into a rectangle of a QPainter. Every
// size and offset is checked against the buffer first; a damaged page throws platform::Error and
// draws nothing. Records the player does not know are skipped by their size.
#pragma once

#include <QByteArrayView>
#include <QRectF>
#include <QSize>

class QPainter;

namespace labelprint::emf {

struct EmfHeader {
    QRect bounds;       // inclusive, device units
    QRect frame;        // 0.01 mm
    QSize devicePixels; // reference device
    QSize deviceMillimetres;
    QSize deviceMicrometres; // empty when the header has no such extension
    quint32 bytes = 0;
    quint32 records = 0;
    // The picture in device units: the frame converted through the reference device.
    QRectF picture;
};

// Reads and checks the header; throws platform::Error when it is not a whole EMF header.
EmfHeader readEmfHeader(QByteArrayView data);

// Checks the whole page and draws it so that the header's picture fills `target`.
void playEmf(QByteArrayView data, QPainter& painter, const QRectF& target);

} // namespace labelprint::emf

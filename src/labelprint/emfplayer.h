// Plays a recorded page (an Enhanced Metafile) stretched into a rectangle of a QPainter. Every
// size and offset is checked against the buffer first; a damaged page throws platform::Error and
// draws nothing. Records the player does not know are skipped by their size.
#pragma once

#include <QByteArrayView>
#include <QRectF>
#include <QSize>
#include <memory>

class QPainter;

namespace labelprint::emf {

// What a page may hold before it counts as damaged: far more than any sheet of labels needs,
// far less than makes the preview work for minutes.
constexpr int kMaxDrawingOps = 1'000'000; // filled rectangles and texts
constexpr int kMaxRecords = 4'000'000;
constexpr int kMaxFontFaces = 64;
constexpr int kMaxFonts = 4096; // distinct face, height and style together

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

struct Page;

// A page checked once and then drawn as often as it is shown.
class Picture {
  public:
    // Throws platform::Error when the page is damaged or holds more than the limits above.
    explicit Picture(QByteArrayView data);
    ~Picture();
    Picture(Picture&&) noexcept;
    Picture& operator=(Picture&&) noexcept;

    const EmfHeader& header() const;
    // Draws the page so that the header's picture fills `target`.
    void draw(QPainter& painter, const QRectF& target) const;

  private:
    std::unique_ptr<Page> page_;
};

// Checks the whole page and draws it so that the header's picture fills `target`.
void playEmf(QByteArrayView data, QPainter& painter, const QRectF& target);

} // namespace labelprint::emf

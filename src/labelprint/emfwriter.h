// Records the drawing of one page as an Enhanced Metafile: solid fills and text in a chosen
// font, colour and alignment, in device units of a page of a given size and resolution.
#pragma once

#include <QByteArray>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

namespace labelprint::emf {

// The parts of a LOGFONTW the pages use. A negative height is the character (em) height in
// device units, a positive one the cell height.
struct LogFont {
    std::int32_t height = 0;
    std::int32_t weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    std::uint8_t charSet = 1;
    QString face; // at most 31 characters are kept

    bool operator==(const LogFont&) const = default;
};

enum class Align { TopLeft, TopCentre };

class EmfWriter {
  public:
    // deviceSize: the page in device units; dpi: device units per inch.
    EmfWriter(QSize deviceSize, int dpi);

    // Fills the device columns left..right-1 and rows top..bottom-1; colour is 0x00BBGGRR.
    void fillRect(const QRect& rect, std::uint32_t colour);
    void selectFont(const LogFont& font);
    // `advances` holds one device-unit advance per UTF-16 unit of `text` (the Dx array).
    void drawText(QPoint at, Align align, const QString& text,
                  const std::vector<std::int32_t>& advances, int cellHeight, std::uint32_t colour);

    // Completes header and EOF and hands the page over; the writer is empty afterwards.
    QByteArray finish();

  private:
    void beginRecord(std::uint32_t type, std::uint32_t size);
    void putU32(std::uint32_t v);
    void putI32(std::int32_t v) { putU32(std::uint32_t(v)); }
    void putU16(std::uint16_t v);
    void putU8(std::uint8_t v);
    void putF32(float v);
    void putZeros(int n);
    void simpleRecord(std::uint32_t type, std::uint32_t value);
    void writeHeader();
    void start();

    QSize size_;
    int dpi_;
    QByteArray bytes_;
    std::uint32_t records_ = 0;
    // Two handle slots per kind, so a new object is selected before the old one is deleted.
    static constexpr std::uint32_t kFontSlots[2] = {1, 2};
    static constexpr std::uint32_t kBrushSlots[2] = {3, 4};
    int fontSlot_ = -1;
    int brushSlot_ = -1;
    LogFont font_;
    std::array<std::uint32_t, 2> brushColours_{};
    std::array<bool, 2> brushLive_{};
    std::uint32_t textColour_ = 0;
    bool textColourSet_ = false;
    Align align_ = Align::TopLeft;
};

} // namespace labelprint::emf

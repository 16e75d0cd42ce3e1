// The preview's page view: a scrolling area with the page image, drawn from the page's recording
// at the current zoom, with its white area, black frame and shadow.
#pragma once

#include "labelprint/emfplayer.h"

#include <QByteArray>
#include <QImage>
#include <QScrollArea>
#include <optional>
#include <vector>

namespace labelprint {

class PageImage : public QWidget {
    Q_OBJECT
  public:
    explicit PageImage(QWidget* parent = nullptr) : QWidget(parent) {}
    // The recording shown, or none (an empty page area).
    void setDrawing(const QByteArray& drawing, bool shown);
    bool shown() const { return shown_; }
    // Rectangles to mark around, as shares (0 to 1) of the page's width and length: drawn over
    // the page image, never into the page itself, so nothing of them is printed or saved.
    void setMarks(std::vector<QRectF> marks);
    const std::vector<QRectF>& marks() const { return marks_; }
    // How often the page has been drawn from its recording: once for each zoom it is shown at,
    // not at every repaint.
    int renders() const { return renders_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    // The page checked, or nothing when it is damaged (reported once).
    const emf::Picture* picture();
    void drawImage(QPainter& p, const QRect& area);
    void drawMarks(QPainter& p);

    QByteArray drawing_;
    bool shown_ = false;
    std::optional<emf::Picture> picture_;
    std::vector<QImage> images_; // the whole page image at each size shown, newest last
    std::vector<QRectF> marks_;
    int renders_ = 0;
};

class PageView : public QScrollArea {
    Q_OBJECT
  public:
    explicit PageView(QWidget* parent = nullptr);

    PageImage* image() const { return image_; }
    // Sizes the image and centres it where it is narrower (or lower) than the view.
    void layOutImage(QSize imageSize);

  Q_SIGNALS:
    void resized();

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    QWidget* canvas_;
    PageImage* image_;
};

} // namespace labelprint

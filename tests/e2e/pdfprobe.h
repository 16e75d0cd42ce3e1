// Reads what the cups-pdf queue printed, with tools that know nothing of dravelin: finds a
// job's PDF, lists its words with their boxes (pdftotext -bbox), counts its pages (pdfinfo) and
// decodes its barcodes (pdftoppm + zbarimg).
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

namespace e2e {

// Where the cups-pdf queue writes its PDFs (DRAVELIN_E2E_OUT).
QString outDir();
// A job title unique to this run, short because the queue cuts the file name it makes from it.
QString uniqueTitle(const char* what);

struct Word {
    QString text;
    // Box in 0.1 mm from the paper's top-left corner.
    double xMin, yMin, xMax, yMax;
};

// Runs a program to its end; its standard output, or nothing when it failed.
std::optional<QString> run(const QString& program, const QStringList& args, int timeoutMs = 60000);
// The PDF that cups-pdf wrote for a job titled `title` in `dir`, once complete; empty after
// `timeoutMs` without one.
QString waitForPdf(const QString& dir, const QString& title, int timeoutMs);
std::vector<Word> words(const QString& pdf, int page);
int pageCount(const QString& pdf);
// The copies a CUPS job asked for; -1 when the scheduler does not know the job.
int jobCopies(int jobId);
// The newest job titled `title`, on any queue; 0 when the scheduler knows none.
int jobIdByTitle(const QString& title);
// A text attribute of a job, such as "media" or "job-name"; empty when it has none.
QString jobText(int jobId, const char* attribute);
// Width and height of a page in 0.1 mm (pdfinfo); empty when unknown.
std::optional<std::pair<double, double>> pageSize(const QString& pdf, int page);

// A page rasterised in grey (pdftoppm), for measuring where ink lies.
class Raster {
  public:
    Raster(const QString& pdf, int page, int dpi);
    bool isNull() const { return pixels_.isEmpty(); }
    // The lower edge of the lowest inked row inside the box, in 0.1 mm from the paper's top;
    // -1 without ink. All arguments in 0.1 mm.
    double inkBottom(double xMin, double xMax, double yMin, double yMax) const;
    // The upper edge of the highest inked row inside the box, likewise; -1 without ink.
    double inkTop(double xMin, double xMax, double yMin, double yMax) const;
    // Whether the pixel at (x, y), in 0.1 mm from the paper's corner, is inked.
    bool inked(double x, double y) const;
    // 0.1 mm per pixel.
    double pixel() const { return 254.0 / dpi_; }

  private:
    int dpi_ = 0;
    int width_ = 0;
    int height_ = 0;
    QByteArray pixels_;
};
QStringList barcodes(const QString& pdf, int page);

} // namespace e2e

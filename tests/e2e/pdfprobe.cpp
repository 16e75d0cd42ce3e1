#include "pdfprobe.h"

#include <QCoreApplication>
#include <QDateTime>

#include <cups/cups.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>

namespace e2e {

QString outDir() {
    return qEnvironmentVariable("DRAVELIN_E2E_OUT");
}

QString uniqueTitle(const char* what) {
    static int n = 0;
    // The time keeps a recycled process id from matching an older run's PDF.
    return QStringLiteral("dv-%1-%2-%3-%4")
        .arg(QString::fromLatin1(what).left(12))
        .arg(QCoreApplication::applicationPid())
        .arg(QDateTime::currentMSecsSinceEpoch() % 100000000)
        .arg(++n);
}

std::optional<QString> run(const QString& program, const QStringList& args, int timeoutMs) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(timeoutMs) || p.exitStatus() != QProcess::NormalExit ||
        p.exitCode() != 0) {
        return std::nullopt;
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString waitForPdf(const QString& dir, const QString& title, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        const QStringList found = QDir(dir).entryList({title + "*.pdf"}, QDir::Files, QDir::Name);
        for (const QString& name : found) {
            QFile file(QDir(dir).filePath(name));
            if (file.open(QIODevice::ReadOnly) && file.readAll().trimmed().endsWith("%%EOF")) {
                return file.fileName();
            }
        }
        QThread::msleep(100);
    }
    return {};
}

std::vector<Word> words(const QString& pdf, int page) {
    const QString html = run("pdftotext", {"-bbox", "-f", QString::number(page), "-l",
                                           QString::number(page), pdf, "-"})
                             .value_or(QString());
    static const QRegularExpression word(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    constexpr double tenthsPerPoint = 254.0 / 72.0;
    std::vector<Word> out;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        out.push_back({m.captured(5), m.captured(1).toDouble() * tenthsPerPoint,
                       m.captured(2).toDouble() * tenthsPerPoint,
                       m.captured(3).toDouble() * tenthsPerPoint,
                       m.captured(4).toDouble() * tenthsPerPoint});
    }
    return out;
}

int pageCount(const QString& pdf) {
    const auto m =
        QRegularExpression(R"(Pages:\s+(\d+))").match(run("pdfinfo", {pdf}).value_or(QString()));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

int jobCopies(int jobId) {
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    const QByteArray uri = "ipp://localhost/jobs/" + QByteArray::number(jobId);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.constData());
    ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    int copies = -1;
    if (response != nullptr) {
        if (ipp_attribute_t* a = ippFindAttribute(response, "copies", IPP_TAG_INTEGER)) {
            copies = ippGetInteger(a, 0);
        } else if (ippGetStatusCode(response) <= IPP_STATUS_OK_CONFLICTING) {
            copies = 1; // a job without the attribute makes one copy
        }
        ippDelete(response);
    }
    return copies;
}

int jobIdByTitle(const QString& title) {
    cups_job_t* jobs = nullptr;
    const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nullptr, 0, CUPS_WHICHJOBS_ALL);
    int id = 0;
    for (int i = 0; i < n; ++i) {
        if (QString::fromUtf8(jobs[i].title) == title) {
            id = std::max(id, jobs[i].id);
        }
    }
    cupsFreeJobs(n, jobs);
    return id;
}

QString jobText(int jobId, const char* attribute) {
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    const QByteArray uri = "ipp://localhost/jobs/" + QByteArray::number(jobId);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.constData());
    // The scheduler shows a job's name to its owner only.
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    QString text;
    if (response != nullptr) {
        if (ipp_attribute_t* a = ippFindAttribute(response, attribute, IPP_TAG_ZERO)) {
            if (const char* value = ippGetString(a, 0, nullptr)) {
                text = QString::fromUtf8(value);
            }
        }
        ippDelete(response);
    }
    return text;
}

std::optional<std::pair<double, double>> pageSize(const QString& pdf, int page) {
    const QString info =
        run("pdfinfo", {"-f", QString::number(page), "-l", QString::number(page), pdf})
            .value_or(QString());
    const auto m =
        QRegularExpression(R"(Page\s+\d+\s+size:\s+([\d.]+) x ([\d.]+) pts)").match(info);
    if (!m.hasMatch()) {
        return std::nullopt;
    }
    constexpr double tenthsPerPoint = 254.0 / 72.0;
    return std::make_pair(m.captured(1).toDouble() * tenthsPerPoint,
                          m.captured(2).toDouble() * tenthsPerPoint);
}

Raster::Raster(const QString& pdf, int page, int dpi) : dpi_(dpi) {
    QTemporaryDir dir;
    const QString prefix = dir.filePath("page");
    if (!run("pdftoppm", {"-r", QString::number(dpi), "-gray", "-singlefile", "-f",
                          QString::number(page), "-l", QString::number(page), pdf, prefix})) {
        return;
    }
    QFile file(prefix + ".pgm");
    if (!file.open(QIODevice::ReadOnly)) {
        return;
    }
    const QByteArray bytes = file.readAll();
    // Binary PGM: "P5", width, height, maximum value, one whitespace, then the pixels.
    static const QRegularExpression header(R"(^P5\s+(\d+)\s+(\d+)\s+(\d+)\s)");
    const auto m = header.match(QString::fromLatin1(bytes.left(64)));
    if (!m.hasMatch()) {
        return;
    }
    width_ = m.captured(1).toInt();
    height_ = m.captured(2).toInt();
    const QByteArray data = bytes.mid(m.capturedLength());
    if (data.size() >= qsizetype(width_) * height_) {
        pixels_ = data.left(qsizetype(width_) * height_);
    }
}

double Raster::inkBottom(double xMin, double xMax, double yMin, double yMax) const {
    const auto px = [&](double tenths) { return int(tenths * dpi_ / 254.0); };
    const int x0 = std::max(0, px(xMin));
    const int x1 = std::min(width_ - 1, px(xMax));
    const int y0 = std::max(0, px(yMin));
    for (int y = std::min(height_ - 1, px(yMax)); y >= y0; --y) {
        const auto* row =
            reinterpret_cast<const unsigned char*>(pixels_.constData()) + qsizetype(y) * width_;
        for (int x = x0; x <= x1; ++x) {
            if (row[x] < 128) {
                return (y + 1) * 254.0 / dpi_;
            }
        }
    }
    return -1;
}

double Raster::inkTop(double xMin, double xMax, double yMin, double yMax) const {
    const auto px = [&](double tenths) { return int(tenths * dpi_ / 254.0); };
    const int x0 = std::max(0, px(xMin));
    const int x1 = std::min(width_ - 1, px(xMax));
    const int y1 = std::min(height_ - 1, px(yMax));
    for (int y = std::max(0, px(yMin)); y <= y1; ++y) {
        const auto* row =
            reinterpret_cast<const unsigned char*>(pixels_.constData()) + qsizetype(y) * width_;
        for (int x = x0; x <= x1; ++x) {
            if (row[x] < 128) {
                return y * 254.0 / dpi_;
            }
        }
    }
    return -1;
}

bool Raster::inked(double x, double y) const {
    const int px = int(x * dpi_ / 254.0);
    const int py = int(y * dpi_ / 254.0);
    if (px < 0 || py < 0 || px >= width_ || py >= height_) {
        return false;
    }
    return static_cast<unsigned char>(pixels_[qsizetype(py) * width_ + px]) < 128;
}

QStringList barcodes(const QString& pdf, int page) {
    QTemporaryDir dir;
    const QString prefix = dir.filePath("page");
    if (!run("pdftoppm", {"-r", "300", "-gray", "-png", "-singlefile", "-f", QString::number(page),
                          "-l", QString::number(page), pdf, prefix})) {
        return {};
    }
    // zbarimg fails when it finds no barcode: that is an empty list.
    const QString out = run("zbarimg", {"-q", "--raw", prefix + ".png"}).value_or(QString());
    return out.split('\n', Qt::SkipEmptyParts);
}

} // namespace e2e

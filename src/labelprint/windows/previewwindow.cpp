#include "labelprint/windows/previewwindow.h"

#include "labelprint/units.h"
#include "labelprint/windows/pageview.h"
#include "platform/designdpi.h"
#include "platform/errorhandler.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>
#include <cmath>
#include <limits>

namespace labelprint {
namespace {

enum class Glyph { Fit, Hundred, Width, Printer, Setup };

// Small drawn icons for the buttons that have no standard picture.
QIcon drawnIcon(Glyph g) {
    QPixmap pm(20, 20);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1.2));
    switch (g) {
    case Glyph::Fit:
        p.setBrush(Qt::white);
        p.drawRect(5, 2, 10, 15);
        p.drawLine(7, 6, 13, 6);
        p.drawLine(7, 9, 13, 9);
        break;
    case Glyph::Hundred:
        p.setFont(QFont(QStringLiteral("Sans"), 7, QFont::Bold));
        p.drawText(QRect(0, 0, 20, 20), Qt::AlignCenter, QStringLiteral("1:1"));
        break;
    case Glyph::Width:
        p.drawLine(2, 10, 18, 10);
        p.drawPolyline(QPolygon({QPoint(6, 6), QPoint(2, 10), QPoint(6, 14)}));
        p.drawPolyline(QPolygon({QPoint(14, 6), QPoint(18, 10), QPoint(14, 14)}));
        break;
    case Glyph::Printer:
        p.setBrush(Qt::white);
        p.drawRect(5, 2, 10, 6);
        p.setBrush(QColor(160, 160, 160));
        p.drawRect(2, 8, 16, 7);
        p.setBrush(Qt::white);
        p.drawRect(5, 13, 10, 5);
        break;
    case Glyph::Setup:
        p.setBrush(QColor(160, 160, 160));
        p.drawRect(2, 8, 16, 7);
        p.setPen(QPen(Qt::black, 2));
        p.drawLine(12, 2, 18, 8);
        break;
    }
    return QIcon(pm);
}

} // namespace

PreviewWindow::PreviewWindow(PreviewDocument* document, QWidget* parent)
    : QWidget(parent, Qt::Window), document_(document) {
    setObjectName(QStringLiteral("PreviewWindow"));
    setWindowTitle(QStringLiteral("Print Preview"));
    resize(652, 579);

    toolbar_ = new QToolBar(this);
    toolbar_->setMovable(false);
    toolbar_->setFloatable(false);
    toolbar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    toolbar_->setContentsMargins(2, 2, 2, 2);
    QStyle* st = style();
    auto action = [this](const char* name, const QString& hint, const QIcon& icon) {
        auto* a = new QAction(icon, hint, this);
        a->setObjectName(QString::fromLatin1(name));
        a->setToolTip(hint);
        return a;
    };
    ZoomFit = action("ZoomFit", QStringLiteral("Zoom to fit"), drawnIcon(Glyph::Fit));
    Zoom100 = action("Zoom100", QStringLiteral("100%"), drawnIcon(Glyph::Hundred));
    ZoomToWidth = action("ZoomToWidth", QStringLiteral("Zoom to width"), drawnIcon(Glyph::Width));
    auto* zoomGroup = new QActionGroup(this);
    for (QAction* a : {ZoomFit, Zoom100, ZoomToWidth}) {
        a->setCheckable(true);
        zoomGroup->addAction(a);
    }
    ZoomToWidth->setChecked(true);
    FirstPage = action("FirstPage", QStringLiteral("First page"),
                       st->standardIcon(QStyle::SP_MediaSkipBackward));
    PreviousPage = action("PreviousPage", QStringLiteral("Previous page"),
                          st->standardIcon(QStyle::SP_MediaSeekBackward));
    ToolButton2 = action("ToolButton2", QStringLiteral("Next page"),
                         st->standardIcon(QStyle::SP_MediaSeekForward));
    LastPage = action("LastPage", QStringLiteral("Last page"),
                      st->standardIcon(QStyle::SP_MediaSkipForward));
    PrintSetup = action("PrintSetup", QStringLiteral("Printer setup"), drawnIcon(Glyph::Setup));
    Print = action("Print", QStringLiteral("Print"), drawnIcon(Glyph::Printer));
    SaveReport = action("SaveReport", QStringLiteral("Save Report"),
                        st->standardIcon(QStyle::SP_DialogSaveButton));
    LoadReport = action("LoadReport", QStringLiteral("Load Report"),
                        st->standardIcon(QStyle::SP_DialogOpenButton));
    PrintSetup->setEnabled(false);
    Print->setEnabled(false);

    toolbar_->addSeparator();
    toolbar_->addActions({ZoomFit, Zoom100, ZoomToWidth});
    toolbar_->addSeparator();
    toolbar_->addActions({FirstPage, PreviousPage, ToolButton2, LastPage});
    toolbar_->addSeparator();
    toolbar_->addActions({PrintSetup, Print});
    toolbar_->addSeparator();
    toolbar_->addActions({SaveReport, LoadReport});
    toolbar_->addSeparator();
    ExitButton = new QPushButton(QStringLiteral("&Close"), this);
    ExitButton->setObjectName(QStringLiteral("ExitButton"));
    ExitButton->setFixedSize(40, 22);
    ExitButton->setFlat(true);
    toolbar_->addWidget(ExitButton);

    view_ = new PageView(this);
    auto* status = new QStatusBar(this);
    status->setFixedHeight(19);
    status->setSizeGripEnabled(false);
    progressPanel_ = new QLabel(QStringLiteral("0%"), status);
    progressPanel_->setObjectName(QStringLiteral("ProgressPanel"));
    progressPanel_->setFixedWidth(40);
    progressPanel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    statusPanel_ = new QLabel(QStringLiteral("Page"), status);
    statusPanel_->setObjectName(QStringLiteral("StatusPanel"));
    status->addWidget(progressPanel_);
    status->addWidget(statusPanel_, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolbar_);
    layout->addWidget(view_, 1);
    layout->addWidget(status);

    connect(ZoomFit, &QAction::triggered, this, &PreviewWindow::zoomToFit);
    connect(Zoom100, &QAction::triggered, this, &PreviewWindow::zoomTo100);
    connect(ZoomToWidth, &QAction::triggered, this, &PreviewWindow::zoomToWidth);
    connect(FirstPage, &QAction::triggered, this, [this] { goToPage(1); });
    connect(PreviousPage, &QAction::triggered, this, [this] { goToPage(page_ - 1); });
    connect(ToolButton2, &QAction::triggered, this, [this] { goToNextPage(); });
    connect(LastPage, &QAction::triggered, this,
            [this] { goToPage(document_ ? document_->pageCount() : 0); });
    connect(PrintSetup, &QAction::triggered, this, &PreviewWindow::printSetupRequested);
    connect(Print, &QAction::triggered, this, &PreviewWindow::printRequested);
    connect(SaveReport, &QAction::triggered, this, &PreviewWindow::saveRequested);
    connect(LoadReport, &QAction::triggered, this, &PreviewWindow::loadRequested);
    connect(ExitButton, &QPushButton::clicked, this, &QWidget::close);
    connect(view_, &PageView::resized, this, [this] {
        if (mode_ == ZoomMode::FitPage) {
            zoomToFit();
        } else if (mode_ == ZoomMode::PageWidth) {
            zoomToWidth();
        }
        layOut();
    });

    if (document_) {
        document_->attach(this);
    }
    qApp->installEventFilter(this);
    layOut();
    updateStatus();
}

PreviewWindow::~PreviewWindow() {
    qApp->removeEventFilter(this);
    detach();
}

void PreviewWindow::detach() {
    if (document_) {
        document_->attach(nullptr);
        document_ = nullptr;
    }
    view_->image()->setDrawing({}, false);
    updateButtons();
}

int PreviewWindow::pageWidthPx() const {
    return lengthToDevice(document_ ? document_->paperWidth() : kA4Width,
                          document_ ? document_->dpi() : platform::designDpi());
}

int PreviewWindow::pageLengthPx() const {
    return lengthToDevice(document_ ? document_->paperLength() : kA4Length,
                          document_ ? document_->dpi() : platform::designDpi());
}

QString PreviewWindow::statusText() const {
    return statusPanel_->text();
}
QString PreviewWindow::progressText() const {
    return progressPanel_->text();
}
bool PreviewWindow::pageShown() const {
    return view_->image()->shown();
}
QSize PreviewWindow::imageSize() const {
    return view_->image()->size();
}

void PreviewWindow::problemsCounted() {
    if (document_ && page_ >= 1) {
        view_->image()->setMarks(document_->overflowMarks(page_));
    }
    updateStatus();
}

void PreviewWindow::updateStatus() {
    const int count = document_ ? document_->pageCount() : 0;
    QString text = QStringLiteral("Page %1 of %2").arg(page_).arg(count);
    if (const int bad = document_ ? document_->problems()[LabelProblem::BadBarcode].labels : 0) {
        text += bad == 1 ? QStringLiteral(" - 1 label has a bad barcode")
                         : QStringLiteral(" - %1 labels have a bad barcode").arg(bad);
    }
    if (const int cut = document_ ? document_->problems()[LabelProblem::Overflow].labels : 0) {
        text += cut == 1 ? QStringLiteral(" - 1 label has text that does not fit")
                         : QStringLiteral(" - %1 labels have text that does not fit").arg(cut);
    }
    if (document_ && document_->status() == PreviewDocument::Status::Finished &&
        !document_->shortfall().isEmpty()) {
        // The run ended early: say what there is and why the rest is missing.
        text += QStringLiteral(" (only %1 %2 made: %3)")
                    .arg(count)
                    .arg(count == 1 ? QStringLiteral("page was") : QStringLiteral("pages were"))
                    .arg(document_->shortfall());
        progressPanel_->clear();
    }
    statusPanel_->setText(text);
}

void PreviewWindow::updateButtons() {
    const bool finished = document_ && document_->status() == PreviewDocument::Status::Finished;
    PrintSetup->setEnabled(finished && !setupDisabledForGood_);
    Print->setEnabled(finished);
}

void PreviewWindow::showPage(int n) {
    page_ = n;
    std::optional<QByteArray> drawing;
    platform::guard([&] { drawing = document_ ? document_->pageDrawing(n) : std::nullopt; });
    view_->image()->setDrawing(drawing.value_or(QByteArray()), drawing.has_value());
    if (document_) {
        view_->image()->setMarks(document_->overflowMarks(n));
    }
    layOut();
    updateStatus();
}

void PreviewWindow::goToPage(int n) {
    if ((n == page_ && pageShown()) || n < 1 || !document_ || n > document_->pageCount()) {
        return;
    }
    showPage(n);
}

void PreviewWindow::goToNextPage() {
    // A file may claim 2^31 - 1 pages: there is no page after the last one int can count.
    if (page_ < std::numeric_limits<int>::max()) {
        goToPage(page_ + 1);
    }
}

void PreviewWindow::setZoom(int z) {
    if (z < 2 || z > 2000) {
        return;
    }
    zoom_ = z;
    mode_ = ZoomMode::Other;
    layOut();
}

// Each zoom command first lets pending events through, so that it starts from the size a queued
// maximise or window-manager resize gives the view. Belt and braces: a size change that comes
// later re-fits anyway, through the view's resized signal.
void PreviewWindow::zoomTo100() {
    QCoreApplication::processEvents();
    setZoom(100);
    Zoom100->setChecked(true);
}

void PreviewWindow::zoomToFit() {
    QCoreApplication::processEvents();
    const QSize view = view_->size();
    const int byWidth = int(std::lround(double(view.width()) / pageWidthPx() * 95));
    const int byLength = int(std::lround(double(view.height()) / pageLengthPx() * 95));
    setZoom(std::min(byWidth, byLength));
    mode_ = ZoomMode::FitPage;
    ZoomFit->setChecked(true);
}

void PreviewWindow::zoomToWidth() {
    QCoreApplication::processEvents();
    setZoom(int(std::lround(double(view_->width()) / pageWidthPx() * 90)));
    layOut();
    mode_ = ZoomMode::PageWidth;
    ZoomToWidth->setChecked(true);
}

void PreviewWindow::layOut() {
    const double width = document_ ? document_->paperWidth() : kA4Width;
    const double length = document_ ? document_->paperLength() : kA4Length;
    const int dpi = document_ ? document_->dpi() : platform::designDpi();
    const QSize image(lengthToDevice(width / 100.0 * zoom_, dpi) + 4,
                      lengthToDevice(length / 100.0 * zoom_, dpi) + 4);
    view_->layOutImage(image);
}

void PreviewWindow::pagesLoaded() {
    setupDisabledForGood_ = true;
    // Loaded pages come with no run, so there is no progress to show.
    progressPanel_->clear();
    view_->image()->setDrawing({}, false);
    page_ = 0;
    if (document_ && document_->pageCount() >= 1) {
        showPage(1);
    } else {
        page_ = 1;
        updateStatus();
    }
    PrintSetup->setEnabled(false);
    Print->setEnabled(document_ != nullptr);
}

void PreviewWindow::pageAvailable(int availablePages) {
    QMetaObject::invokeMethod(
        this, [this, availablePages] { handlePageAvailable(availablePages); },
        Qt::QueuedConnection);
}

void PreviewWindow::progressChanged(int percent) {
    QMetaObject::invokeMethod(
        this, [this, percent] { handleProgress(percent); }, Qt::QueuedConnection);
}

void PreviewWindow::handlePageAvailable(int count) {
    if (!document_) {
        return;
    }
    if (count == page_ && !pageShown() && document_->availablePages() >= page_) {
        zoomToWidth();
        showPage(page_);
    }
    updateStatus();
    updateButtons();
}

void PreviewWindow::handleProgress(int percent) {
    if (percent >= lastProgress_ + 5) {
        progressPanel_->setText(QString::number(percent) + '%');
        lastProgress_ = percent;
    }
    if (percent == 0 || percent == 100) {
        progressPanel_->clear();
    }
}

void PreviewWindow::closeEvent(QCloseEvent* event) {
    Q_EMIT closing();
    detach();
    event->accept();
}

bool PreviewWindow::handleKey(QKeyEvent* event) {
    const bool exactlyCtrl = event->modifiers() == Qt::ControlModifier;
    const int count = document_ ? document_->pageCount() : 0;
    switch (event->key()) {
    case Qt::Key_Escape:
        close();
        return true;
    case Qt::Key_PageUp:
        goToPage(exactlyCtrl ? 1 : page_ - 1);
        return true;
    case Qt::Key_PageDown:
        if (exactlyCtrl) {
            goToPage(count);
        } else {
            goToNextPage();
        }
        return true;
    case Qt::Key_Home:
        goToPage(1);
        return true;
    case Qt::Key_End:
        goToPage(count);
        return true;
    default:
        return false;
    }
}

void PreviewWindow::keyPressEvent(QKeyEvent* event) {
    if (!handleKey(event)) {
        QWidget::keyPressEvent(event);
    }
}

bool PreviewWindow::eventFilter(QObject* watched, QEvent* event) {
    // The window sees keys before its controls do.
    if (event->type() == QEvent::KeyPress && watched != this && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this) {
        return handleKey(static_cast<QKeyEvent*>(event));
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace labelprint

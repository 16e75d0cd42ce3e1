// The preview window: shows the prepared pages of a preview document as they arrive, pages
// through them, zooms, and offers print setup, print, save and load of prepared pages.
#pragma once

#include "labelprint/previewdocument.h"

#include <QWidget>

class QAction;
class QLabel;
class QPushButton;
class QToolBar;

namespace labelprint {

class PageView;

class PreviewWindow : public QWidget, public PreviewDocumentObserver {
    Q_OBJECT
  public:
    enum class ZoomMode { FitPage, PageWidth, Other };

    // Attaches to the document, which must outlive the window or be detached first.
    explicit PreviewWindow(PreviewDocument* document, QWidget* parent = nullptr);
    ~PreviewWindow() override;

    // Stops showing the document (it is about to be released).
    void detach();
    PreviewDocument* document() const { return document_; }

    int currentPage() const { return page_; }
    int zoom() const { return zoom_; }
    ZoomMode zoomMode() const { return mode_; }
    QString statusText() const;
    QString progressText() const;
    bool pageShown() const;
    QSize imageSize() const;

    void goToPage(int n);
    // The page after the current one, when there is one.
    void goToNextPage();
    void setZoom(int z);
    void zoomTo100();
    void zoomToFit();
    void zoomToWidth();
    // After a load: page 1, status, PrintSetup disabled for good, Print enabled.
    void pagesLoaded();
    // After the run: the status names the labels with problems.
    void problemsCounted();

    // PreviewDocumentObserver: both are posted and handled from the event queue.
    void pageAvailable(int availablePages) override;
    void progressChanged(int percent) override;

    QAction* ZoomFit;
    QAction* Zoom100;
    QAction* ZoomToWidth;
    QAction* FirstPage;
    QAction* PreviousPage;
    QAction* ToolButton2; // the "Next page" button, which kept its designed name
    QAction* LastPage;
    QAction* PrintSetup;
    QAction* Print;
    QAction* SaveReport;
    QAction* LoadReport;
    QPushButton* ExitButton;

  Q_SIGNALS:
    // Emitted synchronously from close(); the owner cancels a run or releases the document.
    void closing();
    void printSetupRequested();
    void printRequested();
    void saveRequested();
    void loadRequested();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void handlePageAvailable(int count);
    void handleProgress(int percent);
    void showPage(int n);
    void layOut();
    void updateStatus();
    void updateButtons();
    bool handleKey(QKeyEvent* event);
    int pageWidthPx() const;
    int pageLengthPx() const;

    PreviewDocument* document_;
    QToolBar* toolbar_;
    PageView* view_;
    QLabel* progressPanel_;
    QLabel* statusPanel_;
    int page_ = 1;
    int zoom_ = 100;
    ZoomMode mode_ = ZoomMode::Other;
    int lastProgress_ = 0;
    bool setupDisabledForGood_ = false;
};

} // namespace labelprint

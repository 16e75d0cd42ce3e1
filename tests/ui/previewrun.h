// The print command of the main window, watched: calls `look` once the preview's layout run
// has finished, then closes the preview. False when no finished preview came.
#pragma once

#include "labelprint/previewdocument.h"
#include "labelprint/windows/previewwindow.h"
#include "labelprint/windows/tiskunit.h"
#include "ui/form1.h"

#include <QTimer>
#include <functional>

namespace test {

inline bool printAndLook(TForm1& form, labelprint::Ttiskf& tiskf,
                         const std::function<void()>& look) {
    bool seen = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (seen || !tiskf.previewDocument() ||
            tiskf.previewDocument()->status() != labelprint::PreviewDocument::Status::Finished) {
            return;
        }
        seen = true;
        look();
        tiskf.previewWindow()->close();
    });
    poll.start(10);
    form.tiskbClick();
    return seen;
}

} // namespace test

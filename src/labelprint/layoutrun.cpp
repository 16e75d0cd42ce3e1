#include "labelprint/layoutrun.h"

#include "labelprint/labelface.h"
#include "labelprint/pagesurface.h"
#include "labelprint/units.h"
#include "printlist/rowcursor.h"

#include <algorithm>

namespace labelprint {

LayoutRun::LayoutRun(LabelReport& report, printlist::RowCursor& rows, PageSurface& surface,
                     const std::function<void()>& beforeLabel)
    : report_(report), rows_(rows), surface_(surface), beforeLabel_(beforeLabel) {}

RunResult LayoutRun::exec() {
    RunResult result{RunStatus::Finished, 0, 0, {}, {}};
    column_ = report_.columns();
    report_.resetMarginsWithoutRoom();
    x_ = nearest(report_.leftMargin());
    if (!surface_.beginDocument()) {
        result.status = RunStatus::NoOutput;
        return result;
    }
    // The surface settles its paper when the document begins.
    paperLength_ = surface_.paperLength();

    LabelFace face(report_, surface_, rows_);
    const int rowCount = rows_.rowCount();
    const int h = nearest(report_.labelHeight());
    const bool drawn = report_.bandHeight() > 0;

    const settings::Sheet* sheet = report_.sheet();
    int onSheet = skipPositions(h, drawn);

    rows_.first();
    // An empty list still gets one label, with every line empty.
    bool blank = rows_.eof();
    while (blank || !rows_.eof()) {
        if (beforeLabel_) {
            beforeLabel_();
        }
        if (surface_.cancelled()) {
            break;
        }
        LabelProblemSet found = 0;
        std::optional<QPointF> at; // where the label was drawn
        if (sheet) {
            placeOnSheet(*sheet, onSheet);
            at = QPointF(double(x_), double(*y_));
            found = face.draw(at->x(), at->y(), !blank);
        } else {
            place(h);
            if (drawn) {
                at = QPointF(double(x_), double(*y_));
                found = face.draw(at->x(), at->y(), !blank);
                *y_ += h;
            }
        }
        ++result.labels;
        if (at && (found & problemBit(LabelProblem::Overflow)) != 0 && report_.keepsOverflows()) {
            result.overflows.push_back(
                {result.labels, face.overflowSlots(), pages_,
                 QRectF(*at, QSizeF(report_.drawnWidth(), report_.drawnHeight()))});
        }
        if (found != 0) {
            for (int p = 0; p < kLabelProblemKinds; ++p) {
                if (found & problemBit(LabelProblem(p))) {
                    result.problems.add(LabelProblem(p), result.labels, face.note(LabelProblem(p)));
                }
            }
            if (found & report_.stopAt()) {
                report_.cancelRun();
                break;
            }
        }
        if (rowCount != 0) {
            surface_.progress(int((long long)result.labels * 100 / rowCount));
        }
        if (blank) {
            break;
        }
        rows_.next();
    }

    result.pages = pages_;
    if (report_.cancelledMark()) {
        surface_.abortDocument();
        result.status = RunStatus::Aborted;
        return result;
    }
    if (pages_ > 0) {
        surface_.finishPage();
    }
    surface_.endDocument();
    return result;
}

int LayoutRun::skipPositions(int h, bool drawn) {
    const int wanted = report_.skip();
    if (wanted <= 0) {
        return 0;
    }
    const int perPage = int(report_.pagePositions(paperLength_).size());
    const int skip = std::min(wanted, std::max(0, perPage - 1));
    if (report_.sheet()) {
        return skip;
    }
    for (int i = 0; i < skip; ++i) {
        place(h);
        if (drawn) {
            *y_ += h;
        }
    }
    return 0;
}

void LayoutRun::placeOnSheet(const settings::Sheet& sheet, int& n) {
    if (pages_ == 0) {
        startPage();
    }
    // Only the first sheet is partly used; every later one is fresh.
    if (pages_ == 1) {
        while (n < sheet.labelsPerSheet() && report_.used().count(n) != 0) {
            ++n;
        }
    }
    if (n >= sheet.labelsPerSheet()) {
        n = 0;
        startPage();
    }
    x_ = sheet.labelLeft(n);
    y_ = sheet.labelTop(n);
    ++n;
}

void LayoutRun::place(int h) {
    const long long available =
        y_ ? nearest(paperLength_ - report_.bottomMargin() - double(*y_)) : 0;
    const double room = report_.pageLength() - (report_.topMargin() + report_.bottomMargin());
    // A label taller than a whole column fits on no fresh column either: it stays under the
    // one before, below the paper's edge, rather than opening a column or page per label.
    if (h > available && h <= room) {
        nextColumn();
    } else if (pages_ == 0) {
        nextColumn();
    }
}

void LayoutRun::nextColumn() {
    if (column_ >= report_.columns()) {
        column_ = 1;
        x_ = nearest(report_.leftMargin());
        startPage();
    } else {
        x_ += (long long)nearest(report_.labelWidth()) + nearest(report_.columnSpacing());
        y_ = columnTop_;
        ++column_;
    }
}

void LayoutRun::startPage() {
    if (pages_ > 0) {
        surface_.finishPage();
    }
    ++pages_;
    surface_.beginPage();
    y_ = nearest(report_.topMargin());
    columnTop_ = *y_;
}

} // namespace labelprint

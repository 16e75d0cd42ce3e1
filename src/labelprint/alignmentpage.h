// The alignment page: one page with the outline of every label position of the report's sheet
// and a cross at each label's top-left corner, to hold against a real sheet and see how far the
// printer shifts its output.
#pragma once

#include "labelprint/labelreport.h"

namespace labelprint {

class PageSurface;

// Draws the page as one document on `surface`. Refused while the report is in a layout run;
// NoOutput when the surface cannot begin a document. `labels` of the result is the number of
// positions outlined.
RunResult printAlignmentPage(LabelReport& report, PageSurface& surface);

} // namespace labelprint

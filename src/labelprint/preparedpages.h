// Saving and loading prepared-pages files: the logic behind the preview window's Save Report and
// Load Report buttons, with their file dialogs and messages going through the prompts seam.
#pragma once

#include "labelprint/papertable.h"
#include "platform/prompts.h"

#include <QString>

namespace labelprint {

class PreviewDocument;

prompts::FileRequest saveReportRequest();
prompts::FileRequest loadReportRequest();

// Writes the whole page store to `path` (created or replaced) when the document is finished;
// returns whether a file was written. Throws platform::Error "Cannot create file "%s". %s".
bool savePreparedPages(PreviewDocument& document, const QString& path);

// Makes the file the document's page store and recognises its paper from page 1. A missing
// file shows "File does not exist" and changes nothing (returns false). A file that cannot be
// opened throws platform::Error "Cannot open file "%s". %s", after the document's earlier pages
// have been discarded.
bool loadPreparedPages(PreviewDocument& document, const QString& path, const PaperOffer& offered);

// The buttons' commands: ask for the file through the prompts seam, then save or load.
// They return whether a file was saved or loaded; errors are thrown for the caller's guard.
bool saveReport(PreviewDocument& document);
bool loadReport(PreviewDocument& document, const PaperOffer& offered);

} // namespace labelprint

// The list editing commands behind "přidat", "vymazat seznam" and "vymazat položku": they take
// values from the window's handlers, change table seznam and reload the list view.
#pragma once

#include "printlist/store.h"

#include <QString>

namespace printlist {

// The values typed into the labels tab, as they stand in the fields.
struct LabelEntry {
    QString kod;
    QString nazev;
    QString cena;
    QString text1;
    QString text2;
    QString text3;
};

// specznak + kod + specznak; an empty code gives an empty kods.
QString composeKods(const QString& kod, const QString& specznak);

// Adds the label `copies` times, then reloads the list view once. Fewer than one copy adds
// nothing. All copies go in, or none. A failure propagates as DatabaseError after the list view
// has been reloaded, so it shows what the table holds.
void addLabels(Store& store, const LabelEntry& entry, const QString& specznak, int copies);

// Deletes every row (on seznam.db also compacting the file) and reloads the list view.
// Failures propagate after a reload.
void clearList(Store& store);

// Asks "potvrzení smázání seznamu" through the prompts seam and clears the list on Yes only.
// Returns true when the list was cleared.
bool askAndClearList(Store& store);

// Deletes the record of the list view's current row by its key (nothing on an empty list) and
// reloads. Failures propagate after a reload.
void deleteCurrentLabel(Store& store);

} // namespace printlist

// One step back for the list commands that remove rows: "vymazat položku", "vymazat seznam"
// and "načíst seznam". It keeps the rows the last of them removed, with their keys, and the
// keys of the rows an import brought, so that undo puts the list back as it was.
#pragma once

#include "printlist/store.h"

#include <vector>

namespace printlist {

class ListUndo {
  public:
    // The table as it is now, each row with its key: taken right before such a command.
    static std::vector<KeyedRow> snapshot(Store& store);

    // After the command ran and reloaded the list view: the rows of `before` that are gone are
    // kept for undo; with `replaced` (an import) all of `before` is, and the rows now in the
    // list view are the ones undo takes out again. A command that changed nothing leaves the
    // earlier step in place.
    void commandDone(const Store& store, const std::vector<KeyedRow>& before, bool replaced);

    bool available() const { return !removed_.empty() || !added_.empty(); }

    // Puts the list back as it was before the last such command and reloads the list view;
    // afterwards there is nothing left to undo. Throws DatabaseError (the step is then kept,
    // to be tried again). Nothing happens when there is nothing to undo.
    void undo(Store& store);

  private:
    std::vector<KeyedRow> removed_;
    std::vector<qint64> added_;
};

} // namespace printlist

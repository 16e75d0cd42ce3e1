#include "printlist/listcommands.h"

#include "platform/prompts.h"

namespace printlist {
namespace {

// Runs the statements of one command and reloads the list view afterwards, also when a
// statement failed part-way: the view must show what the table now holds, because the
// delete command maps view rows to rowids.
template <typename Statements> void runAndReload(Store& store, Statements&& statements) {
    try {
        statements();
    } catch (const DatabaseTimeout&) {
        // A server that does not answer would not answer a reload either; the command was
        // cancelled and changed nothing.
        throw;
    } catch (const DatabaseOutcomeUnknown& e) {
        // Trying again could double the change: the user needs the list as it now stands.
        try {
            store.reload();
        } catch (...) {
            throw DatabaseError(e.text() +
                                QStringLiteral(" Seznam se zatím nepodařilo načíst znovu."));
        }
        throw DatabaseError(e.text() +
                            QStringLiteral(" Seznam je zobrazen tak, jak jej server nyní má."));
    } catch (const DatabaseBusy&) {
        // The lock that stopped the command may let a reader through: the view then catches up
        // with what others changed. A lock that stops readers too is not waited for again.
        try {
            store.reloadWithoutWaiting();
        } catch (...) {
            // The busy text is the one to report; the command changed nothing.
        }
        throw;
    } catch (...) {
        try {
            store.reload();
        } catch (...) {
            // The statement's own error is the one to report.
        }
        throw;
    }
    store.reload();
}

} // namespace

QString composeKods(const QString& kod, const QString& specznak) {
    if (kod.isEmpty()) {
        return {};
    }
    return specznak + kod + specznak;
}

void addLabels(Store& store, const LabelEntry& entry, const QString& specznak, int copies) {
    const QStringList values = {entry.kod,   composeKods(entry.kod, specznak),
                                entry.nazev, entry.cena,
                                entry.text1, entry.text2,
                                entry.text3};
    runAndReload(store, [&] { store.addCopies(values, copies); });
}

void clearList(Store& store) {
    runAndReload(store, [&] { store.clear(); });
}

bool askAndClearList(Store& store) {
    prompts::Message box;
    box.title = QStringLiteral("potvrzení smázání seznamu");
    box.text = QStringLiteral("Opravdu vymazat seznam položek k tisku ?");
    box.icon = prompts::Icon::Question;
    box.buttons = prompts::Buttons::YesNo;
    if (prompts::message(box) != prompts::Answer::Yes) {
        return false;
    }
    clearList(store);
    return true;
}

void deleteCurrentLabel(Store& store) {
    const std::optional<qint64> key = store.listView().currentKey();
    if (!key) {
        return;
    }
    // By key, not by position: another program may have removed rows since the view was
    // loaded. A record that is already gone deletes nothing; the reload shows the table as is.
    runAndReload(store, [&] { store.deleteRecord(*key); });
}

} // namespace printlist

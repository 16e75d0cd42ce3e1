#include "printlist/listcommands.h"

#include "platform/prompts.h"

namespace printlist {
namespace {

// Runs the statements of one command and reloads the list view afterwards, also when a
// statement failed part-way: the view must show what the table now holds, because the
// delete command maps view rows to rowids.
template <typename Statements> void runAndReload(PrintListStore& store, Statements&& statements) {
    try {
        statements();
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

void addLabels(PrintListStore& store, const LabelEntry& entry, const QString& specznak,
               int copies) {
    static const QString sql = QStringLiteral(
        "insert into seznam(kod,kods,nazev,cena,text1,text2,text3) values(?,?,?,?,?,?,?)");
    const QStringList values = {entry.kod,   composeKods(entry.kod, specznak),
                                entry.nazev, entry.cena,
                                entry.text1, entry.text2,
                                entry.text3};
    runAndReload(store, [&] {
        for (int i = 0; i < copies; ++i) {
            store.prikaz(sql, values);
        }
    });
}

void clearList(PrintListStore& store) {
    runAndReload(store, [&] {
        store.prikaz(QStringLiteral("delete from seznam"));
        store.prikaz(QStringLiteral("vacuum"));
    });
}

bool askAndClearList(PrintListStore& store) {
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

void deleteCurrentLabel(PrintListStore& store) {
    const int row = store.listView().currentRow();
    if (row == 0) {
        return;
    }
    runAndReload(store, [&] {
        Query& rowids = store.radekquery;
        rowids.setSql(QStringLiteral("SELECT rowid as integer FROM seznam order by rowid"));
        rowids.exec();
        RowSet& ids = rowids.result();
        for (int i = 1; i < row; ++i) {
            ids.next();
        }
        // The view is reloaded after every change, so it agrees with the table; if another
        // program removed rows meanwhile, there is nothing left to delete at that row.
        if (ids.eof()) {
            return;
        }
        store.editquery.setSql(QStringLiteral("DELETE FROM seznam WHERE rowid=") + ids.field(0));
        store.editquery.exec();
    });
}

} // namespace printlist

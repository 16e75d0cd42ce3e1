#include "printlist/store.h"

#include <vector>

namespace printlist {

DatabaseBusy::DatabaseBusy()
    : DatabaseError(QStringLiteral("Seznam právě používá jiný program, zkuste to znovu."),
                    Kind::Busy) {}

DatabaseTimeout::DatabaseTimeout()
    : DatabaseError(QStringLiteral("Server seznamu neodpovídá."), Kind::Timeout) {}

DatabaseOutcomeUnknown::DatabaseOutcomeUnknown(const QString& cause)
    : DatabaseError(cause + QStringLiteral("\nZda server změnu uložil, nelze zjistit."),
                    Kind::OutcomeUnknown) {}

RowSet drainRows(RowStream& stream) {
    std::vector<QStringList> rows;
    std::vector<qint64> keys;
    QStringList row;
    while (stream.next(row)) {
        rows.push_back(std::move(row));
        row = QStringList();
        if (const std::optional<qint64> key = stream.key()) {
            keys.push_back(*key);
        }
    }
    RowSet set(stream.fieldNames(), std::move(rows), std::move(keys));
    set.first();
    return set;
}

void refuseNul(const QStringList& values, int line) {
    static const char* const names[] = {"kod", "kods", "nazev", "cena", "text1", "text2", "text3"};
    for (int i = 0; i < values.size(); ++i) {
        if (!values[i].contains(QChar(0))) {
            continue;
        }
        const QString name = i < 7 ? QString::fromLatin1(names[i]) : QString::number(i + 1);
        if (line > 0) {
            throw DatabaseError(
                QStringLiteral("řádek %1: hodnota %2 obsahuje znak NUL").arg(line).arg(name));
        }
        throw DatabaseError(
            QStringLiteral("Hodnota %1 obsahuje znak NUL, seznam ji nemůže uložit.").arg(name));
    }
}

void Store::reload() {
    // Read whole before the view changes: a failure leaves the view as it was.
    RowSet view = drainRows(*openRows());
    listView_ = std::move(view);
}

} // namespace printlist

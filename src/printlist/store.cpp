#include "printlist/store.h"

#include <vector>

namespace printlist {

DatabaseBusy::DatabaseBusy()
    : DatabaseError(QStringLiteral("Seznam právě používá jiný program, zkuste to znovu.")) {}

DatabaseTimeout::DatabaseTimeout() : DatabaseError(QStringLiteral("Server seznamu neodpovídá.")) {}

DatabaseOutcomeUnknown::DatabaseOutcomeUnknown(const QString& cause)
    : DatabaseError(cause + QStringLiteral("\nZda server změnu uložil, nelze zjistit.")) {}

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
    std::vector<QStringList> rows;
    std::vector<qint64> keys;
    QStringList names;
    {
        const std::unique_ptr<RowStream> stream = openRows();
        names = stream->fieldNames();
        QStringList row;
        while (stream->next(row)) {
            rows.push_back(std::move(row));
            row = QStringList();
            if (const std::optional<qint64> key = stream->key()) {
                keys.push_back(*key);
            }
        }
    }
    listView_ = RowSet(std::move(names), std::move(rows), std::move(keys));
    listView_.first();
}

} // namespace printlist

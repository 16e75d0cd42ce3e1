#include "ui/filecommands.h"

#include "platform/prompts.h"
#include "printlist/listfilerows.h"
#include "settings/snapshot.h"

namespace filecommands {
namespace {

void showError(const QString& title, const QString& text) {
    prompts::message({title, text, prompts::Icon::Critical, prompts::Buttons::Ok});
}

// "1 hodnota místo 7", "3 hodnoty místo 7", "8 hodnot místo 7".
QString valueCountFault(int values) {
    const char* noun = values == 1 ? "hodnota" : values >= 2 && values <= 4 ? "hodnoty" : "hodnot";
    return QStringLiteral("%1 %2 místo %3")
        .arg(values)
        .arg(QLatin1String(noun))
        .arg(printlist::kValuesPerLine);
}

// The text the user knows, and on a second line where and what, when known.
void showImportFailure(const QString& detail) {
    QString text = QStringLiteral(
        "Nepodařilo se načíst seznam ze souboru, soubor zřejmě nemá správný formát.");
    if (!detail.isEmpty()) {
        text += QLatin1Char('\n') + detail;
    }
    showError(QStringLiteral("chyba"), text);
}

} // namespace

bool uloznastaveni(const settings::LayoutSettings& settings, const QString& fileName) {
    try {
        settings::saveSnapshotFile(settings, fileName);
        return true;
    } catch (const platform::Error&) {
        showError(QStringLiteral("error"), QStringLiteral("zápis se nezdařil"));
        return false;
    }
}

std::optional<settings::LayoutSettings> nactinastaveni(const QString& fileName,
                                                       const settings::LayoutSettings& current) {
    try {
        return settings::loadSnapshotFile(fileName, current);
    } catch (const settings::SnapshotError&) {
        showError(QStringLiteral("error"),
                  QStringLiteral("soubor nemá správný formát nebo je poškozen"));
        return std::nullopt;
    }
}

printlist::ImportResult nactiseznam(printlist::Store& store, const QString& path) {
    try {
        return printlist::importList(store, path);
    } catch (const printlist::ListFileError& e) {
        using Fault = printlist::ListFileError::Fault;
        showImportFailure(
            e.fault() == Fault::Unreadable
                ? QString()
                : QStringLiteral("řádek %1: %2").arg(e.line()).arg(valueCountFault(e.values())));
    } catch (const printlist::ImportRefused& e) {
        // A store may insert many lines at once, so its refusal names no line: its own text.
        showImportFailure(e.text());
    }
    return printlist::ImportResult::Failed;
}

} // namespace filecommands

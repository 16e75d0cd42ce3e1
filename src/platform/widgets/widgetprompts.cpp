#include "platform/widgets/widgetprompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace platform {

QString qtFilter(const QString& pairs) {
    const QStringList parts = pairs.split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        // Qt reads the patterns from the parentheses of the description itself.
        const QString patterns = QString(parts[i + 1]).replace(';', ' ');
        filters.append(parts[i].contains('(') ? parts[i] : parts[i] + " (" + patterns + ")");
    }
    return filters.join(QStringLiteral(";;"));
}

prompts::Answer runMessageBox(const prompts::Message& m) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(m.title);
    box.setText(m.text);
    switch (m.icon) {
    case prompts::Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case prompts::Icon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case prompts::Icon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case prompts::Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case prompts::Icon::None:
        break;
    }
    if (m.buttons == prompts::Buttons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes ? prompts::Answer::Yes : prompts::Answer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return prompts::Answer::Ok;
}

std::optional<QString> runFileDialog(const prompts::FileRequest& r) {
    QFileDialog dialog(QApplication::activeWindow(), r.title);
    dialog.setAcceptMode(r.kind == prompts::FileRequest::Kind::Save ? QFileDialog::AcceptSave
                                                                    : QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!r.overwritePrompt) {
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    }
    if (!r.initialDir.isEmpty()) {
        dialog.setDirectory(r.initialDir);
    }
    if (!r.fileName.isEmpty()) {
        dialog.selectFile(r.fileName);
    }
    if (!r.filter.isEmpty()) {
        dialog.setNameFilter(qtFilter(r.filter));
    }
    if (!r.defaultSuffix.isEmpty()) {
        dialog.setDefaultSuffix(r.defaultSuffix);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

} // namespace platform

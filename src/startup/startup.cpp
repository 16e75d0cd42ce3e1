#include "startup/startup.h"

#include "platform/fontsubstitutes.h"
#include "platform/programdir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QTranslator>

#ifndef DRAVELIN_VERSION
#error "DRAVELIN_VERSION comes from the CMake project version"
#endif

namespace startup {

QString version() {
    return QStringLiteral(DRAVELIN_VERSION);
}

QString versionLine(const QString& program) {
    return program + QLatin1Char(' ') + version();
}

QStringList registerFonts(const QString& dir) {
    QStringList families;
    const QStringList patterns = {QStringLiteral("*.ttf"), QStringLiteral("*.otf"),
                                  QStringLiteral("*.woff"), QStringLiteral("*.woff2")};
    const QFileInfoList files = QDir(dir).entryInfoList(patterns, QDir::Files, QDir::Name);
    for (const QFileInfo& file : files) {
        const int id = QFontDatabase::addApplicationFont(file.absoluteFilePath());
        if (id < 0) {
            qWarning("cannot load the font %s",
                     qPrintable(QDir::toNativeSeparators(file.absoluteFilePath())));
            continue;
        }
        families << QFontDatabase::applicationFontFamilies(id);
    }
    return families;
}

bool installQtTranslation() {
    // Owned by the application object, so it lives as long as the texts are used.
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qtbase_cs"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

void startUp(bool qtTranslation) {
    const QString fonts = platform::programDirectory() + QStringLiteral("fonts");
    if (registerFonts(fonts).isEmpty()) {
        qWarning("no font found in %s", qPrintable(QDir::toNativeSeparators(fonts)));
    }
    if (qtTranslation && !installQtTranslation()) {
        qWarning("Qt's Czech translation (qtbase_cs.qm) is not installed; dialogs stay English");
    }
    platform::installFontSubstitutes();
}

} // namespace startup

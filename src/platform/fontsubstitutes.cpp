#include "platform/fontsubstitutes.h"

#include <QFont>
#include <QStringList>

namespace platform {

void installFontSubstitutes() {
    const QStringList sans = {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                              QStringLiteral("DejaVu Sans")};
    for (const char* face : {"MS Sans Serif", "Microsoft Sans Serif", "Arial", "Tahoma"}) {
        QFont::insertSubstitutions(QString::fromLatin1(face), sans);
    }
    QFont::insertSubstitutions(
        QStringLiteral("Times New Roman"),
        {QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")});
    QFont::insertSubstitutions(QStringLiteral("Courier New"), {QStringLiteral("Liberation Mono"),
                                                               QStringLiteral("DejaVu Sans Mono")});
}

} // namespace platform

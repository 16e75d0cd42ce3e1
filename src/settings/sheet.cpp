#include "settings/sheet.h"

#include "settings/paper.h"

#include <algorithm>

namespace settings {
namespace {

const Paper& tablePaper(SheetPaper paper) {
    return paper == SheetPaper::Letter ? kLetter : kA4;
}

} // namespace

PaperSize paperSize(SheetPaper paper) {
    return {tablePaper(paper).width, tablePaper(paper).length};
}

QString paperName(SheetPaper paper) {
    return QString::fromLatin1(tablePaper(paper).name);
}

int paperCode(SheetPaper paper) {
    return tablePaper(paper).code;
}

std::optional<SheetPaper> paperFromName(const QString& name) {
    if (name.compare(QLatin1String("A4"), Qt::CaseInsensitive) == 0) {
        return SheetPaper::A4;
    }
    if (name.compare(QLatin1String("Letter"), Qt::CaseInsensitive) == 0) {
        return SheetPaper::Letter;
    }
    return std::nullopt;
}

std::optional<QString> sheetProblem(const Sheet& s) {
    if (s.width <= 0 || s.height <= 0 || s.pitchX <= 0 || s.pitchY <= 0 || s.columns <= 0 ||
        s.rows <= 0) {
        return QStringLiteral("Rozměry štítku, rozteč a počet sloupců a řádků musí být větší "
                              "než nula.");
    }
    if (s.width < kMinLabelSize || s.height < kMinLabelSize) {
        return QStringLiteral("Štítek musí být alespoň 3 mm široký i vysoký.");
    }
    if (s.left < 0 || s.top < 0) {
        return QStringLiteral("Okraje nesmí být záporné.");
    }
    if (s.pitchX < s.width) {
        return QStringLiteral("Vodorovná rozteč nesmí být menší než šířka štítku.");
    }
    if (s.pitchY < s.height) {
        return QStringLiteral("Svislá rozteč nesmí být menší než výška štítku.");
    }
    // In 64 bits: absurd counts must not wrap round into a sheet that seems to fit.
    const PaperSize paper = paperSize(s.paper);
    const long long right = s.left + (long long)(s.columns - 1) * s.pitchX + s.width;
    const long long bottom = s.top + (long long)(s.rows - 1) * s.pitchY + s.height;
    if (right > paper.width || bottom > paper.length) {
        return QStringLiteral("Štítky se nevejdou na papír %1 (%2 × %3 mm): zasahují do %4 × "
                              "%5 mm.")
            .arg(paperName(s.paper))
            .arg(paper.width / 10.0, 0, 'f', 1)
            .arg(paper.length / 10.0, 0, 'f', 1)
            .arg(right / 10.0, 0, 'f', 1)
            .arg(bottom / 10.0, 0, 'f', 1);
    }
    return std::nullopt;
}

bool startFits(int start, int perSheet) {
    return start == 1 || (start >= 1 && start <= perSheet);
}

std::optional<QString> startProblem(int start, int perSheet) {
    if (!startFits(start, perSheet)) {
        return QStringLiteral("Začít lze od štítku 1 až %1, na archu je %1 štítků.").arg(perSheet);
    }
    return std::nullopt;
}

int freePositions(const Sheet& sheet, int start, const UsedPositions& used) {
    const int perSheet = sheet.labelsPerSheet();
    const int from = std::max(0, start - 1);
    int free = std::max(0, perSheet - from);
    for (int n : used) {
        if (n >= from && n < perSheet) {
            --free;
        }
    }
    return free;
}

std::optional<QString> usedProblem(const Sheet& sheet, int start, const UsedPositions& used) {
    if (freePositions(sheet, start, used) <= 0) {
        return QStringLiteral("Na archu nezbývá žádný volný štítek: všechny jsou použité nebo "
                              "přeskočené.");
    }
    return std::nullopt;
}

} // namespace settings

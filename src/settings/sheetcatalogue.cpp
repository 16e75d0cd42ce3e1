#include "settings/sheetcatalogue.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>
#include <map>

namespace settings {
namespace {

// One row of the built-in table; lengths in 0.1 mm.
struct Row {
    const char* maker;
    const char* product;
    SheetPaper paper;
    int left, top, width, height, pitchX, pitchY, columns, rows;
};

constexpr SheetPaper A4 = SheetPaper::A4;
constexpr SheetPaper Letter = SheetPaper::Letter;
constexpr const char* kZweckform = "Avery Zweckform";
constexpr const char* kAvery = "Avery";
constexpr const char* kHerma = "Herma";
constexpr const char* kRayfilm = "Rayfilm";
constexpr const char* kApli = "Apli";
constexpr const char* kAgipa = "Agipa";
constexpr const char* kHama = "Hama";

// Cut edge to edge across the width unless a pitch larger than the label says otherwise.
constexpr Row kRows[] = {
    {kZweckform, "3421", A4, 0, 48, 700, 169, 700, 169, 3, 17},
    {kZweckform, "3422", A4, 0, 85, 700, 350, 700, 350, 3, 8},
    {kZweckform, "3423", A4, 0, 85, 1050, 350, 1050, 350, 2, 8},
    {kZweckform, "3424", A4, 0, 45, 1050, 480, 1050, 480, 2, 6},
    {kZweckform, "3425", A4, 0, 60, 1050, 570, 1050, 570, 2, 5},
    {kZweckform, "3426", A4, 0, 85, 1050, 700, 1050, 700, 2, 4},
    {kZweckform, "3427", A4, 0, 5, 1050, 740, 1050, 740, 2, 4},
    {kZweckform, "3474", A4, 0, 5, 700, 370, 700, 370, 3, 8},
    {kZweckform, "3475", A4, 0, 45, 700, 360, 700, 360, 3, 8},
    {kZweckform, "3478", A4, 0, 0, 2100, 2970, 2100, 2970, 1, 1},
    {kZweckform, "3481", A4, 0, 50, 700, 410, 700, 410, 3, 7},
    {kZweckform, "3483", A4, 0, 5, 1050, 1480, 1050, 1480, 2, 2},
    {kZweckform, "3484", A4, 0, 5, 1050, 370, 1050, 370, 2, 8},
    {kZweckform, "3489", A4, 0, 0, 700, 297, 700, 297, 3, 10},
    {kZweckform, "3490", A4, 0, 45, 700, 360, 700, 360, 3, 8},
    {kZweckform, "3651", A4, 0, 0, 525, 297, 525, 297, 4, 10},
    {kZweckform, "3652", A4, 0, 5, 700, 423, 700, 423, 3, 7},
    {kZweckform, "3653", A4, 0, 5, 1050, 423, 1050, 423, 2, 7},
    {kZweckform, "3657", A4, 80, 215, 485, 254, 485, 254, 4, 10},
    {kZweckform, "3666", A4, 100, 107, 380, 212, 380, 212, 5, 13},
    {kZweckform, "3667", A4, 80, 133, 485, 169, 485, 169, 4, 16},
    {kZweckform, "L4732", A4, 110, 133, 356, 169, 381, 169, 5, 16},
    {kZweckform, "L4736", A4, 97, 216, 457, 212, 483, 212, 4, 12},
    {kZweckform, "L4737", A4, 72, 154, 635, 296, 660, 296, 3, 9},
    {kZweckform, "L4743", A4, 47, 215, 991, 423, 1016, 423, 2, 6},
    {kAvery, "L7159", A4, 72, 129, 635, 339, 660, 339, 3, 8},
    {kAvery, "L7160", A4, 72, 151, 635, 381, 660, 381, 3, 7},
    {kAvery, "L7161", A4, 72, 88, 635, 466, 660, 466, 3, 6},
    {kAvery, "L7162", A4, 47, 129, 991, 339, 1016, 339, 2, 8},
    {kAvery, "L7163", A4, 47, 151, 991, 381, 1016, 381, 2, 7},
    {kAvery, "L7165", A4, 47, 131, 991, 677, 1016, 677, 2, 4},
    {kAvery, "L7166", A4, 47, 88, 991, 931, 1016, 931, 2, 3},
    {kAvery, "L7167", A4, 52, 40, 1996, 2891, 1996, 2891, 1, 1},
    {kAvery, "L7168", A4, 52, 50, 1996, 1435, 1996, 1435, 1, 2},
    {kAvery, "L7169", A4, 47, 95, 991, 1390, 1016, 1390, 2, 2},
    {kAvery, "L7171", A4, 50, 285, 2000, 600, 2000, 600, 1, 4},
    {kAvery, "L7173", A4, 47, 60, 991, 570, 1016, 570, 2, 5},
    {kAvery, "L7651", A4, 47, 107, 381, 212, 406, 212, 5, 13},
    {kAvery, "L7654", A4, 97, 215, 457, 254, 483, 254, 4, 10},
    {kAvery, "J8159", A4, 72, 129, 635, 339, 660, 339, 3, 8},
    {kAvery, "J8160", A4, 72, 151, 635, 381, 660, 381, 3, 7},
    {kAvery, "J8161", A4, 72, 88, 635, 466, 660, 466, 3, 6},
    {kAvery, "J8162", A4, 47, 129, 991, 339, 1016, 339, 2, 8},
    {kAvery, "J8163", A4, 47, 151, 991, 381, 1016, 381, 2, 7},
    {kAvery, "J8165", A4, 47, 131, 991, 677, 1016, 677, 2, 4},
    {kAvery, "5160", Letter, 48, 127, 667, 254, 699, 254, 3, 10},
    {kAvery, "5161", Letter, 40, 127, 1016, 254, 1064, 254, 2, 10},
    {kAvery, "5163", Letter, 40, 127, 1016, 508, 1064, 508, 2, 5},
    {kHama, "50450", A4, 0, 0, 700, 370, 700, 370, 3, 8},
    {kHama, "50455", A4, 0, 0, 1050, 1480, 1050, 1480, 2, 2},
    {kHerma, "4293", A4, 90, 150, 1920, 380, 1920, 380, 1, 7},
    {kHerma, "4606", A4, 95, 105, 380, 212, 380, 212, 5, 13},
    {kHerma, "4607", A4, 85, 140, 483, 169, 483, 169, 4, 16},
    {kHerma, "4102", A4, 85, 85, 483, 254, 483, 254, 4, 11},
    {kHerma, "4614", A4, 57, 130, 660, 338, 660, 338, 3, 8},
    {kHerma, "4625", A4, 0, 0, 1050, 423, 1050, 423, 2, 7},
    {kHerma, "4457", A4, 0, 55, 1050, 480, 1050, 480, 2, 6},
    {kHerma, "10809", A4, 0, 0, 1050, 1480, 1050, 1480, 2, 2},
    {kHerma, "4097", A4, 100, 220, 457, 212, 487, 212, 4, 12},
    {kHerma, "4098", A4, 78, 155, 635, 296, 665, 296, 3, 9},
    {kHerma, "4099", A4, 80, 215, 960, 508, 990, 508, 2, 5},
    {kHerma, "4100", A4, 75, 185, 305, 169, 329, 169, 6, 16},
    {kHerma, "4103", A4, 68, 155, 635, 381, 665, 381, 3, 7},
    {kAgipa, "119488", A4, 152, 236, 900, 501, 900, 501, 2, 5},
    {kApli, "1999", A4, 46, 77, 991, 681, 1020, 684, 2, 4},
    {kApli, "01293", A4, 0, 153, 700, 333, 700, 333, 3, 8},
    {kApli, "1271", A4, 0, 135, 700, 300, 700, 300, 3, 9},
    {kRayfilm, "0102", A4, 100, 107, 380, 212, 380, 212, 5, 13},
    {kRayfilm, "0201", A4, 80, 49, 485, 169, 485, 169, 4, 17},
    {kRayfilm, "0203N", A4, 80, 215, 485, 254, 485, 254, 4, 10},
    {kRayfilm, "0304", A4, 0, 0, 525, 297, 525, 297, 4, 10},
    {kRayfilm, "0401", A4, 73, 133, 635, 169, 660, 169, 3, 16},
    {kRayfilm, "0437", A4, 73, 153, 635, 296, 660, 296, 3, 9},
    {kRayfilm, "0410", A4, 72, 151, 635, 381, 660, 381, 3, 7},
    {kRayfilm, "0501", A4, 0, 49, 700, 169, 700, 169, 3, 17},
    {kRayfilm, "0503", A4, 0, 88, 700, 254, 700, 254, 3, 11},
    {kRayfilm, "0507", A4, 0, 85, 700, 350, 700, 350, 3, 8},
    {kRayfilm, "0508", A4, 0, 10, 700, 370, 700, 370, 3, 8},
    {kRayfilm, "0511", A4, 0, 0, 700, 424, 700, 424, 3, 7},
    {kRayfilm, "0810", A4, 47, 152, 991, 381, 1016, 381, 2, 7},
    {kRayfilm, "0907", A4, 0, 85, 1050, 350, 1050, 350, 2, 8},
    {kRayfilm, "0911", A4, 0, 0, 1050, 424, 1050, 424, 2, 7},
    {kRayfilm, "0922", A4, 0, 0, 1050, 1485, 1050, 1485, 2, 2},
};

QString millimetres(int tenths) {
    // Czech decimal comma, no trailing ",0".
    QString text = QString::number(tenths / 10.0, 'f', 1);
    if (text.endsWith(QLatin1String(".0"))) {
        text.chop(2);
    }
    return text.replace(QLatin1Char('.'), QLatin1Char(','));
}

QString folded(const QString& text) {
    // Case and diacritics do not matter when searching: "šíř" finds "sir".
    const QString decomposed = text.normalized(QString::NormalizationForm_D);
    QString out;
    out.reserve(decomposed.size());
    for (QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing) {
            out.append(c.toCaseFolded());
        }
    }
    return out;
}

// A template length: a number with an optional unit (pt when none), in 0.1 mm.
std::optional<int> templateLength(const QString& text) {
    static const QRegularExpression form(
        QStringLiteral("^\\s*([0-9]*\\.?[0-9]+(?:[eE][-+]?[0-9]+)?)\\s*(pt|in|mm|cm|pc)?\\s*$"));
    const auto m = form.match(text);
    if (!m.hasMatch()) {
        return std::nullopt;
    }
    const double v = m.captured(1).toDouble();
    const QString unit = m.captured(2);
    double mm = v * 25.4 / 72.0;
    if (unit == QLatin1String("in")) {
        mm = v * 25.4;
    } else if (unit == QLatin1String("mm")) {
        mm = v;
    } else if (unit == QLatin1String("cm")) {
        mm = v * 10;
    } else if (unit == QLatin1String("pc")) {
        mm = v * 25.4 / 6.0;
    }
    if (mm > 10000) {
        return std::nullopt;
    }
    return int(std::lround(mm * 10));
}

struct RawTemplate {
    QString brand;
    QString part;
    QString equiv;
    std::optional<SheetPaper> paper;
    bool paperKnown = false; // size attribute named a paper we cannot use
    int shapes = 0;          // label elements of any kind
    int layouts = 0;
    bool rectangle = false;
    std::optional<int> width, height, x0, y0, dx, dy;
    int nx = 0, ny = 0;
    std::vector<std::pair<QString, QString>> aliases;
};

std::optional<Sheet> sheetOf(const RawTemplate& t) {
    if (!t.paper || t.shapes != 1 || !t.rectangle || t.layouts != 1 || !t.width || !t.height ||
        !t.x0 || !t.y0 || t.nx < 1 || t.ny < 1) {
        return std::nullopt;
    }
    Sheet s;
    s.on = true;
    s.paper = *t.paper;
    s.left = *t.x0;
    s.top = *t.y0;
    s.width = *t.width;
    s.height = *t.height;
    // One column or row needs no step; the label itself is then the pitch.
    s.pitchX = t.nx > 1 && t.dx ? *t.dx : s.width;
    s.pitchY = t.ny > 1 && t.dy ? *t.dy : s.height;
    s.columns = t.nx;
    s.rows = t.ny;
    if (sheetProblem(s)) {
        return std::nullopt;
    }
    return s;
}

void readTemplate(QXmlStreamReader& xml, RawTemplate& t) {
    const auto a = xml.attributes();
    t.brand = a.value(QLatin1String("brand")).toString().trimmed();
    t.part = a.value(QLatin1String("part")).toString().trimmed();
    t.equiv = a.value(QLatin1String("equiv")).toString().trimmed();
    const QString size = a.value(QLatin1String("size")).toString();
    if (size == QLatin1String("A4")) {
        t.paper = SheetPaper::A4;
    } else if (size == QLatin1String("US-Letter")) {
        t.paper = SheetPaper::Letter;
    }
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::EndElement) {
            --depth;
            continue;
        }
        if (token != QXmlStreamReader::StartElement) {
            continue;
        }
        ++depth;
        const QStringView name = xml.name();
        const auto at = xml.attributes();
        if (name.startsWith(QLatin1String("Label-"))) {
            ++t.shapes;
            if (name == QLatin1String("Label-rectangle")) {
                t.rectangle = true;
                t.width = templateLength(at.value(QLatin1String("width")).toString());
                t.height = templateLength(at.value(QLatin1String("height")).toString());
            }
        } else if (name == QLatin1String("Layout")) {
            ++t.layouts;
            t.nx = at.value(QLatin1String("nx")).toInt();
            t.ny = at.value(QLatin1String("ny")).toInt();
            t.x0 = templateLength(at.value(QLatin1String("x0")).toString());
            t.y0 = templateLength(at.value(QLatin1String("y0")).toString());
            t.dx = templateLength(at.value(QLatin1String("dx")).toString());
            t.dy = templateLength(at.value(QLatin1String("dy")).toString());
        } else if (name == QLatin1String("Alias")) {
            t.aliases.emplace_back(at.value(QLatin1String("brand")).toString().trimmed(),
                                   at.value(QLatin1String("part")).toString().trimmed());
        }
    }
}

std::vector<RawTemplate> readRaw(const QString& path) {
    std::vector<RawTemplate> found;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return found;
    }
    QXmlStreamReader xml(&f);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement &&
            xml.name() == QLatin1String("Template")) {
            RawTemplate t;
            readTemplate(xml, t);
            if (!xml.hasError()) {
                found.push_back(std::move(t));
            }
        }
    }
    return found;
}

// Resolves templates that only name another one of the same brand as their equal.
std::vector<CatalogueEntry> entriesOf(const std::vector<RawTemplate>& raw) {
    std::map<QString, const RawTemplate*> byName;
    for (const RawTemplate& t : raw) {
        if (t.equiv.isEmpty()) {
            byName[t.brand.toCaseFolded() + QLatin1Char('\n') + t.part.toCaseFolded()] = &t;
        }
    }
    std::vector<CatalogueEntry> out;
    for (const RawTemplate& t : raw) {
        const RawTemplate* geometry = &t;
        if (!t.equiv.isEmpty()) {
            const auto it =
                byName.find(t.brand.toCaseFolded() + QLatin1Char('\n') + t.equiv.toCaseFolded());
            if (it == byName.end()) {
                continue;
            }
            geometry = it->second;
        }
        const auto sheet = sheetOf(*geometry);
        if (!sheet || t.brand.isEmpty() || t.part.isEmpty()) {
            continue;
        }
        out.push_back({t.brand, t.part, *sheet});
        for (const auto& [brand, part] : t.aliases) {
            if (!brand.isEmpty() && !part.isEmpty()) {
                out.push_back({brand, part, *sheet});
            }
        }
    }
    return out;
}

// The product number with the figures: equal keys are one sheet under one number.
QString sameSheetKey(const CatalogueEntry& e) {
    const Sheet& s = e.sheet;
    return e.product.toCaseFolded() + QStringLiteral("\n%1 %2 %3 %4 %5 %6 %7 %8 %9")
                                          .arg(int(s.paper))
                                          .arg(s.left)
                                          .arg(s.top)
                                          .arg(s.width)
                                          .arg(s.height)
                                          .arg(s.pitchX)
                                          .arg(s.pitchY)
                                          .arg(s.columns)
                                          .arg(s.rows);
}

} // namespace

QString CatalogueEntry::name() const {
    return maker + QLatin1Char(' ') + product;
}

QString CatalogueEntry::description() const {
    return QStringLiteral("%1: %2 × %3 mm, %4 × %5, %6")
        .arg(name(), millimetres(sheet.width), millimetres(sheet.height))
        .arg(sheet.columns)
        .arg(sheet.rows)
        .arg(paperName(sheet.paper));
}

const std::vector<CatalogueEntry>& builtInSheets() {
    static const std::vector<CatalogueEntry> table = [] {
        std::vector<CatalogueEntry> t;
        for (const Row& r : kRows) {
            Sheet s;
            s.on = true;
            s.paper = r.paper;
            s.left = r.left;
            s.top = r.top;
            s.width = r.width;
            s.height = r.height;
            s.pitchX = r.pitchX;
            s.pitchY = r.pitchY;
            s.columns = r.columns;
            s.rows = r.rows;
            t.push_back({QString::fromUtf8(r.maker), QString::fromUtf8(r.product), s});
        }
        return t;
    }();
    return table;
}

std::vector<CatalogueEntry> readTemplateFile(const QString& path) {
    return entriesOf(readRaw(path));
}

std::vector<CatalogueEntry> readTemplateFolder(const QString& folder) {
    // Equal templates may name a template of another file of the same folder.
    std::vector<RawTemplate> raw;
    const QDir dir(folder);
    for (const QString& file :
         dir.entryList({QStringLiteral("*.xml")}, QDir::Files | QDir::Readable, QDir::Name)) {
        auto more = readRaw(dir.filePath(file));
        std::move(more.begin(), more.end(), std::back_inserter(raw));
    }
    return entriesOf(raw);
}

QString& templateFolderSetting() {
    static QString folder = QStringLiteral("/usr/share/libglabels-3.0/templates");
    return folder;
}

QString systemTemplateFolder() {
    return templateFolderSetting();
}

void setSystemTemplateFolder(const QString& folder) {
    templateFolderSetting() = folder;
}

std::vector<CatalogueEntry> fullCatalogue(const QString& templateFolder) {
    std::vector<CatalogueEntry> all = builtInSheets();
    // Hashed, so that a folder of a hundred thousand templates is read in a moment.
    QSet<QString> names;
    QSet<QString> listed;
    QHash<QString, std::vector<const CatalogueEntry*>> builtInByProduct;
    for (const CatalogueEntry& e : builtInSheets()) {
        names.insert(e.name().toCaseFolded());
        listed.insert(sameSheetKey(e));
        builtInByProduct[e.product.toCaseFolded()].push_back(&e);
    }
    // A template file may name a product of the built-in table with its maker spelt shorter
    // ("Zweckform" for "Avery Zweckform"). The table's figures, checked against the makers'
    // own, are kept; the same number with the same figures from elsewhere would only list one
    // sheet twice.
    const auto builtInProduct = [&builtInByProduct](const CatalogueEntry& e) {
        const auto it = builtInByProduct.constFind(e.product.toCaseFolded());
        if (it == builtInByProduct.constEnd()) {
            return false;
        }
        const QStringList words =
            e.maker.toCaseFolded().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        return std::any_of(it->begin(), it->end(), [&](const CatalogueEntry* table) {
            const QStringList tableWords =
                table->maker.toCaseFolded().split(QLatin1Char(' '), Qt::SkipEmptyParts);
            return table->sheet.paper == e.sheet.paper && !words.isEmpty() &&
                   std::all_of(words.begin(), words.end(),
                               [&](const QString& w) { return tableWords.contains(w); });
        });
    };
    for (CatalogueEntry& e : readTemplateFolder(templateFolder)) {
        if (builtInProduct(e)) {
            continue;
        }
        const QString key = sameSheetKey(e);
        if (listed.contains(key)) {
            continue;
        }
        const QString name = e.name().toCaseFolded();
        if (names.contains(name)) {
            continue;
        }
        names.insert(name);
        listed.insert(key);
        all.push_back(std::move(e));
    }
    return all;
}

std::vector<CatalogueEntry> searchCatalogue(const std::vector<CatalogueEntry>& entries,
                                            const QString& typed) {
    const QStringList words = folded(typed).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    std::vector<CatalogueEntry> found;
    for (const CatalogueEntry& e : entries) {
        const QString haystack = folded(e.description());
        bool all = true;
        for (const QString& w : words) {
            if (!haystack.contains(w)) {
                all = false;
                break;
            }
        }
        if (all) {
            found.push_back(e);
        }
    }
    return found;
}

std::optional<CatalogueEntry> findSheet(const std::vector<CatalogueEntry>& entries,
                                        const QString& name, QStringList* candidates) {
    const QString wanted = folded(name.simplified());
    std::vector<const CatalogueEntry*> exact;
    for (const CatalogueEntry& e : entries) {
        if (folded(e.name()) == wanted || folded(e.product) == wanted) {
            exact.push_back(&e);
        }
    }
    // The same sheet under two names (a maker sold under two brands, or the built-in table and
    // an installed template) is still one sheet: the first, in catalogue order, is taken.
    const auto oneSheet = [](const std::vector<const CatalogueEntry*>& found) {
        return !found.empty() &&
               std::all_of(found.begin(), found.end(), [&](const CatalogueEntry* e) {
                   return e->sheet == found.front()->sheet;
               });
    };
    if (oneSheet(exact)) {
        return *exact.front();
    }
    // No full name: the words as a maker prints them ("Zweckform 3651") are enough when every
    // entry they find describes one and the same sheet.
    std::vector<CatalogueEntry> matching;
    std::vector<const CatalogueEntry*> byWords;
    if (exact.empty()) {
        matching = searchCatalogue(entries, name);
        for (const CatalogueEntry& e : matching) {
            byWords.push_back(&e);
        }
        if (!name.simplified().isEmpty() && oneSheet(byWords)) {
            return *byWords.front();
        }
    }
    if (candidates) {
        candidates->clear();
        for (const CatalogueEntry* e : exact.empty() ? byWords : exact) {
            candidates->append(e->name());
        }
    }
    return std::nullopt;
}

} // namespace settings

#include "batch/options.h"

#include "batch/batcherror.h"
#include "labelprint/barcode.h"
#include "printlist/pricelist.h"
#include "settings/layoutsettings.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <optional>

namespace batch {
namespace {

BatchError usage(const QString& text) {
    return BatchError(text + QStringLiteral(" (see dravelin-batch --help)"), UsageFailure);
}

int positiveNumber(const QString& option, const QString& text) {
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok || n < 1) {
        throw usage(
            QStringLiteral("%1 wants a whole number of 1 or more, not \"%2\"").arg(option, text));
    }
    return n;
}

// `again`: the value is already set by this option; only the exclusion is checked.
void setOnce(QString& field, const QString& option, const QString& value, const QString& other,
             const QString& otherValue, bool again = false) {
    if (!field.isEmpty() && !again) {
        throw usage(QStringLiteral("%1 is given twice").arg(option));
    }
    if (!otherValue.isEmpty()) {
        throw usage(QStringLiteral("%1 and %2 exclude each other").arg(other, option));
    }
    if (value.isEmpty()) {
        throw usage(QStringLiteral("%1 wants a non-empty value").arg(option));
    }
    field = value;
}

void parsePages(Options& o, const QString& text) {
    static const QRegularExpression range(QStringLiteral("^(\\d+)(?:-(\\d+))?$"));
    const auto m = range.match(text);
    if (!m.hasMatch()) {
        throw usage(
            QStringLiteral("--pages wants FROM-TO or one page number, not \"%1\"").arg(text));
    }
    o.firstPage = positiveNumber(QStringLiteral("--pages"), m.captured(1));
    o.lastPage =
        m.hasCaptured(2) ? positiveNumber(QStringLiteral("--pages"), m.captured(2)) : o.firstPage;
    if (o.lastPage < o.firstPage) {
        throw usage(QStringLiteral("--pages %1: the last page comes before the first").arg(text));
    }
}

// "1-12,17": positions and ranges of positions, from 1, separated by commas.
std::vector<std::pair<int, int>> parseUsed(const QString& text) {
    static const QRegularExpression item(QStringLiteral("^\\s*(\\d+)\\s*(?:-\\s*(\\d+)\\s*)?$"));
    std::vector<std::pair<int, int>> ranges;
    for (const QString& part : text.split(QLatin1Char(','))) {
        const auto m = item.match(part);
        bool okFrom = false;
        bool okTo = true;
        const int from = m.hasMatch() ? m.captured(1).toInt(&okFrom) : 0;
        const int to = m.hasCaptured(2) ? m.captured(2).toInt(&okTo) : from;
        if (!okFrom || !okTo || from < 1) {
            throw usage(QStringLiteral("--used wants label positions from 1, such as 1-12,17, "
                                       "not \"%1\"")
                            .arg(text));
        }
        if (to < from) {
            throw usage(
                QStringLiteral("--used %1: the range %2 runs backwards").arg(text, part.trimmed()));
        }
        ranges.emplace_back(from, to);
    }
    return ranges;
}

// "nazev=shrink,min=6.5" or "text1=wrap,lines=3,min=5" or "cena=off".
std::pair<int, settings::FitRule> parseFit(const QString& text) {
    const auto wrong = [&](const QString& why) {
        return usage(QStringLiteral("--fit %1: %2").arg(text, why));
    };
    const qsizetype eq = text.indexOf(QLatin1Char('='));
    const QString slotName = text.left(eq).trimmed();
    const auto& names = settings::slotNames();
    const auto found = std::find(names.begin(), names.end(), slotName);
    if (eq < 0 || found == names.end()) {
        throw wrong(QStringLiteral("say SLOT=shrink[,min=PT] or SLOT=wrap[,lines=N], SLOT one of "
                                   "kods, kod, nazev, cena, text1, text2, text3"));
    }
    const QStringList parts = text.mid(eq + 1).split(QLatin1Char(','));
    settings::FitRule rule;
    const QString mode = parts[0].trimmed();
    if (mode == QLatin1String("shrink")) {
        rule.mode = settings::FitRule::Mode::Shrink;
    } else if (mode == QLatin1String("wrap")) {
        rule.mode = settings::FitRule::Mode::Wrap;
    } else if (mode != QLatin1String("off")) {
        throw wrong(QStringLiteral("the rule is shrink, wrap or off, not \"%1\"").arg(mode));
    }
    for (const QString& part : parts.mid(1)) {
        const QString key = part.section(QLatin1Char('='), 0, 0).trimmed();
        const QString value = part.section(QLatin1Char('='), 1).trimmed();
        bool ok = false;
        if (key == QLatin1String("min") && rule.mode != settings::FitRule::Mode::Off) {
            // Points with one decimal at most, as the tab takes them; a comma would split.
            static const QRegularExpression points(QStringLiteral("^\\d{1,4}(\\.\\d)?$"));
            const double pt = value.toDouble(&ok);
            if (!ok || !points.match(value).hasMatch() || pt < 1 || pt > 1024) {
                throw wrong(QStringLiteral("min wants a size in points from 1 to 1024, such as 6 "
                                           "or 6.5, not \"%1\"")
                                .arg(value));
            }
            rule.minSize = int(pt * 10 + 0.5);
        } else if (key == QLatin1String("lines") && rule.mode == settings::FitRule::Mode::Wrap) {
            rule.lines = value.toInt(&ok);
            if (!ok || rule.lines < 1 || rule.lines > 99) {
                throw wrong(QStringLiteral("lines wants a whole number from 1 to 99, not \"%1\"")
                                .arg(value));
            }
        } else {
            throw wrong(QStringLiteral("\"%1\" does not go with %2").arg(part.trimmed(), mode));
        }
    }
    return {int(found - names.begin()), rule};
}

// A length in mm as a whole number of `unit` mm (0.01 or 0.1), from `min` to `max` units.
int lengthIn(const QString& option, const QString& key, const QString& text, int perMm, int min,
             int max) {
    static const QRegularExpression number(QStringLiteral("^\\d+(?:\\.\\d+)?$"));
    bool ok = number.match(text).hasMatch();
    const double mm = ok ? text.toDouble(&ok) : 0;
    const double units = mm * perMm;
    const long long whole = std::llround(units);
    if (!ok || std::abs(units - double(whole)) > 1e-6 || whole < min || whole > max) {
        throw usage(QStringLiteral("%1: %2 wants millimetres from %3 to %4 in steps of %5, not "
                                   "\"%6\"")
                        .arg(option, key, QString::number(double(min) / perMm),
                             QString::number(double(max) / perMm), QString::number(1.0 / perMm),
                             text));
    }
    return int(whole);
}

// "kods=ean13,x=0.33,h=15,digits=0"
BarcodeChoice parseBarcode(const QString& text, const std::vector<BarcodeChoice>& earlier) {
    const QString option = QStringLiteral("--barcode %1").arg(text);
    const QStringList parts = text.split(QLatin1Char(','));
    const QString head = parts.front();
    const QString slotName = head.section(QLatin1Char('='), 0, 0).trimmed().toLower();
    const QString kindName = head.section(QLatin1Char('='), 1).trimmed();
    BarcodeChoice choice;
    const auto& names = settings::slotNames();
    const auto slot = std::find(names.begin(), names.end(), slotName);
    if (!head.contains(QLatin1Char('=')) || slot == names.end()) {
        throw usage(QStringLiteral("--barcode wants SLOT=KIND first, SLOT one of kod, kods, "
                                   "nazev, cena, text1, text2, text3, not \"%1\"")
                        .arg(text));
    }
    choice.slot = int(slot - names.begin());
    const auto kind = labelprint::barcodeKindFromName(kindName);
    if (!kind) {
        throw usage(QStringLiteral("%1: the kind is one of ean13, ean8, code128, code39, qr, "
                                   "datamatrix and text, not \"%2\"")
                        .arg(option, kindName));
    }
    choice.kind = *kind;
    for (const BarcodeChoice& e : earlier) {
        if (e.slot == choice.slot) {
            throw usage(QStringLiteral("--barcode: %1 is given twice").arg(slotName));
        }
    }
    for (const QString& part : parts.mid(1)) {
        const QString key = part.section(QLatin1Char('='), 0, 0).trimmed().toLower();
        const QString value = part.section(QLatin1Char('='), 1).trimmed();
        if (!part.contains(QLatin1Char('='))) {
            throw usage(QStringLiteral("%1: \"%2\" wants KEY=VALUE").arg(option, part));
        }
        if (key == QLatin1String("x") && !choice.moduleWidth) {
            choice.moduleWidth = lengthIn(option, key, value, 100, 1, 1000);
        } else if (key == QLatin1String("h") && !choice.barHeight) {
            choice.barHeight = lengthIn(option, key, value, 10, 1, 3000);
        } else if (key == QLatin1String("digits") && !choice.digits) {
            if (value != QLatin1String("0") && value != QLatin1String("1")) {
                throw usage(
                    QStringLiteral("%1: digits wants 0 or 1, not \"%2\"").arg(option, value));
            }
            choice.digits = value == QLatin1String("1");
        } else {
            throw usage(QStringLiteral("%1: \"%2\" is not x=, h= or digits=, or is given twice")
                            .arg(option, part));
        }
    }
    return choice;
}

} // namespace

Options parseOptions(const QStringList& args) {
    Options o;
    bool pagesGiven = false;
    bool copiesGiven = false;
    // --copies names a column of the price list with --import, else the printer's copies; the
    // choice is made once every option is read.
    std::optional<QString> copiesText;
    for (int i = 0; i < args.size(); ++i) {
        QString name = args[i];
        std::optional<QString> inlineValue;
        if (name.startsWith(QLatin1String("--")) && name.contains(QLatin1Char('='))) {
            inlineValue = name.mid(name.indexOf(QLatin1Char('=')) + 1);
            name = name.left(name.indexOf(QLatin1Char('=')));
        }
        const auto value = [&]() -> QString {
            if (inlineValue) {
                return *inlineValue;
            }
            if (i + 1 >= args.size()) {
                throw usage(QStringLiteral("%1 wants a value").arg(name));
            }
            return args[++i];
        };
        const auto flag = [&] {
            if (inlineValue) {
                throw usage(QStringLiteral("%1 takes no value").arg(name));
            }
        };
        const auto output = [&](Options::Output kind) {
            if (o.output != Options::Output::None) {
                throw usage(QStringLiteral("give only one of --pdf, --lpf and --printer"));
            }
            o.output = kind;
            o.target = value();
            if (o.target.isEmpty()) {
                throw usage(QStringLiteral("%1 wants a non-empty value").arg(name));
            }
        };

        if (name == QLatin1String("--list")) {
            setOnce(o.list, name, value(), QStringLiteral("--db"), o.db);
            setOnce(o.list, name, o.list, QStringLiteral("--db-server"), o.dbServer, true);
            setOnce(o.list, name, o.list, QStringLiteral("--import"), o.import, true);
        } else if (name == QLatin1String("--import")) {
            setOnce(o.import, name, value(), QStringLiteral("--list"), o.list);
            setOnce(o.import, name, o.import, QStringLiteral("--db"), o.db, true);
            setOnce(o.import, name, o.import, QStringLiteral("--db-server"), o.dbServer, true);
        } else if (name == QLatin1String("--mapping")) {
            setOnce(o.mapping, name, value(), QString(), QString());
        } else if (name == QLatin1String("--map") || name == QLatin1String("--price") ||
                   name == QLatin1String("--sale-line") || name == QLatin1String("--unit-price") ||
                   name == QLatin1String("--worksheet") || name == QLatin1String("--header")) {
            o.mapItems.emplace_back(name.mid(2), value());
        } else if (name == QLatin1String("--add-to-db")) {
            setOnce(o.addToDb, name, value(), QStringLiteral("--add-to-server"), o.addToServer);
        } else if (name == QLatin1String("--add-to-server")) {
            setOnce(o.addToServer, name, value(), QStringLiteral("--add-to-db"), o.addToDb);
        } else if (name == QLatin1String("--db")) {
            setOnce(o.db, name, value(), QStringLiteral("--list"), o.list);
            setOnce(o.db, name, o.db, QStringLiteral("--db-server"), o.dbServer, true);
            setOnce(o.db, name, o.db, QStringLiteral("--import"), o.import, true);
        } else if (name == QLatin1String("--db-server")) {
            setOnce(o.dbServer, name, value(), QStringLiteral("--list"), o.list);
            setOnce(o.dbServer, name, o.dbServer, QStringLiteral("--db"), o.db, true);
            setOnce(o.dbServer, name, o.dbServer, QStringLiteral("--import"), o.import, true);
        } else if (name == QLatin1String("--snapshot")) {
            setOnce(o.snapshot, name, value(), QStringLiteral("--settings"), o.settings);
        } else if (name == QLatin1String("--settings")) {
            setOnce(o.settings, name, value(), QStringLiteral("--snapshot"), o.snapshot);
        } else if (name == QLatin1String("--pdf")) {
            output(Options::Output::Pdf);
        } else if (name == QLatin1String("--lpf")) {
            output(Options::Output::Lpf);
        } else if (name == QLatin1String("--printer")) {
            output(Options::Output::Printer);
        } else if (name == QLatin1String("--pages")) {
            parsePages(o, value());
            pagesGiven = true;
        } else if (name == QLatin1String("--copies")) {
            copiesText = value();
        } else if (name == QLatin1String("--sheet")) {
            if (!o.sheet.isEmpty()) {
                throw usage(QStringLiteral("--sheet is given twice"));
            }
            o.sheet = value().trimmed();
            if (o.sheet.isEmpty()) {
                throw usage(QStringLiteral("--sheet wants a non-empty value"));
            }
        } else if (name == QLatin1String("--skip")) {
            const QString text = value();
            bool ok = false;
            o.skip = text.toInt(&ok);
            if (!ok || o.skip < 0) {
                throw usage(QStringLiteral("--skip wants a whole number of 0 or more, not \"%1\"")
                                .arg(text));
            }
        } else if (name == QLatin1String("--order")) {
            if (o.order) {
                throw usage(QStringLiteral("--order is given twice"));
            }
            const QString text = value();
            if (text == QLatin1String("rows")) {
                o.order = settings::FillOrder::Rows;
            } else if (text == QLatin1String("columns")) {
                o.order = settings::FillOrder::Columns;
            } else {
                throw usage(QStringLiteral("--order wants rows or columns, not \"%1\"").arg(text));
            }
        } else if (name == QLatin1String("--used")) {
            if (!o.usedText.isNull()) {
                throw usage(QStringLiteral("--used is given twice"));
            }
            o.usedText = value();
            o.used = parseUsed(o.usedText);
        } else if (name == QLatin1String("--fit")) {
            const auto fit = parseFit(value());
            for (const auto& given : o.fits) {
                if (given.first == fit.first) {
                    throw usage(QStringLiteral("--fit is given twice for %1")
                                    .arg(settings::slotNames()[size_t(fit.first)]));
                }
            }
            o.fits.push_back(fit);
        } else if (name == QLatin1String("--check-fit")) {
            flag();
            o.checkFit = true;
        } else if (name == QLatin1String("--barcode")) {
            o.barcodes.push_back(parseBarcode(value(), o.barcodes));
        } else if (name == QLatin1String("--outline")) {
            flag();
            o.outline = true;
        } else if (name == QLatin1String("--landscape")) {
            flag();
            o.landscape = true;
        } else if (name == QLatin1String("--quiet") || name == QLatin1String("-q")) {
            flag();
            o.quiet = true;
        } else if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
            flag();
            o.help = true;
        } else if (name == QLatin1String("--version")) {
            flag();
            o.version = true;
        } else {
            throw usage(QStringLiteral("unknown option \"%1\"").arg(args[i]));
        }
    }
    if (o.help || o.version) {
        return o;
    }
    if (copiesText && !o.import.isEmpty()) {
        o.mapItems.emplace_back(QStringLiteral("copies"), *copiesText);
    } else if (copiesText) {
        o.copies = positiveNumber(QStringLiteral("--copies"), *copiesText);
        copiesGiven = true;
    }
    const bool adding = !o.addToDb.isEmpty() || !o.addToServer.isEmpty();
    if (o.import.isEmpty() && (!o.mapping.isEmpty() || !o.mapItems.empty() || adding)) {
        throw usage(QStringLiteral("--mapping, --map, --price, --sale-line, --unit-price, "
                                   "--worksheet, --header, --add-to-db and --add-to-server "
                                   "need --import FILE"));
    }
    if (!o.import.isEmpty() && o.mapping.isEmpty() && o.mapItems.empty()) {
        throw usage(QStringLiteral("--import needs a mapping: --mapping NAME or --map "
                                   "FIELD=COLUMN"));
    }
    // A malformed mapping item is a wrong command line, said before anything is read.
    printlist::PriceListMapping scratch;
    for (const auto& [option, value] : o.mapItems) {
        try {
            printlist::applyMappingOption(scratch, option, value);
        } catch (const platform::Error& e) {
            throw usage(e.text());
        }
    }
    if (adding) {
        if (o.output != Options::Output::None || o.outline || pagesGiven || o.landscape ||
            !o.sheet.isEmpty() || o.skip > 0 || !o.used.empty() || o.order) {
            throw usage(QStringLiteral("%1 adds the labels to a list and prints nothing: leave "
                                       "out the output and print options")
                            .arg(o.addToDb.isEmpty() ? QStringLiteral("--add-to-server")
                                                     : QStringLiteral("--add-to-db")));
        }
        return o;
    }
    if (o.output == Options::Output::None) {
        throw usage(
            QStringLiteral("say where the pages go: --pdf FILE, --lpf FILE or --printer NAME"));
    }
    // A file holds each page once; copies are the printer's business.
    if (copiesGiven && o.copies > 1 && o.output != Options::Output::Printer) {
        throw usage(QStringLiteral("--copies needs --printer: a file holds each page once"));
    }
    // Prepared pages are the whole run, as the preview holds them.
    if (pagesGiven && o.output == Options::Output::Lpf) {
        throw usage(QStringLiteral("--pages does not apply to --lpf: it always holds every page"));
    }
    if (o.outline && (!o.list.isEmpty() || !o.db.isEmpty() || !o.dbServer.isEmpty() || o.skip > 0 ||
                      !o.used.empty())) {
        throw usage(QStringLiteral(
            "--outline prints no list: leave out --list, --db, --db-server, --skip and --used"));
    }
    if (o.outline && !o.import.isEmpty()) {
        throw usage(QStringLiteral("--outline prints no list: leave out --import"));
    }
    return o;
}

QString helpText(const QString& programDir) {
    return QStringLiteral(
               "Usage: dravelin-batch [--list FILE | --db FILE | --db-server CONNINFO |\n"
               "                       --import FILE (--mapping NAME | --map FIELD=COLUMN ...)]\n"
               "                      [--snapshot FILE | --settings DIR]\n"
               "                      (--pdf FILE | --lpf FILE | --printer NAME|default)\n"
               "                      [--pages FROM-TO] [--copies N] [--landscape] [--quiet]\n"
               "                      [--sheet NAME] [--skip N] [--order rows|columns]\n"
               "                      [--used LIST] [--outline]\n"
               "                      [--fit SLOT=RULE]... [--check-fit]\n"
               "                      [--barcode SLOT=KIND,...]\n"
               "\n"
               "Lays a print list out on A4 label sheets exactly as dravelin's \"tisk\" does and\n"
               "writes the pages to a PDF file, a prepared-pages file or a printer.\n"
               "\n"
               "Print list (one of):\n"
               "  --list FILE       a list file as \"uložit seznam\" writes it: Windows-1250, one\n"
               "                    label per line, seven values separated by \";\"\n"
               "                    (kod;kods;nazev;cena;text1;text2;text3)\n"
               "  --db FILE         a print-list database (default: seznam.db in the program\n"
               "                    directory, or the server its dravelin.ini names under\n"
               "                    [databaze] server=)\n"
               "  --db-server CONNINFO\n"
               "                    a print list shared on a PostgreSQL server, as a libpq\n"
               "                    connection string (\"host=sklad dbname=stitky\"); passwords\n"
               "                    come from ~/.pgpass or PGPASSWORD\n"
               "  --import FILE     a shop's price list: CSV (delimiter ; , tab or |, UTF-8 or\n"
               "                    Windows-1250), XLSX or ODS, read through a column mapping:\n"
               "  --mapping NAME    a mapping saved by \"načíst ceník\" in dravelin.ini\n"
               "  --map FIELD=COLUMN\n"
               "                    the column's text on line FIELD (kod, nazev, cena, text1,\n"
               "                    text2, text3); a column is its header text or its number\n"
               "                    from 1; repeat for each line; these also change a saved\n"
               "                    mapping line by line\n"
               "  --price FIELD=COLUMN\n"
               "                    the column's number as a price: 29,90 Kč\n"
               "  --unit-price FIELD=PRICE,QUANTITY,UNIT[,per100]\n"
               "                    the unit price from the price, the pack quantity and its\n"
               "                    unit (g, kg, ml, l, m, m², ks): 59,80 Kč/kg, or per 100 g\n"
               "                    or 100 ml with per100\n"
               "  --sale-line FIELD=COLUMN\n"
               "                    Nejnižší cena za 30 dní: 34,90 Kč where the column is filled\n"
               "  --copies COLUMN   with --import: labels per row from this column; empty or 0\n"
               "                    adds none\n"
               "  --worksheet NAME  the sheet of a workbook (default: the first)\n"
               "  --header yes|no   whether the first row names the columns (default: detected)\n"
               "  --add-to-db FILE  add the imported labels to this print-list database instead "
               "of\n"
               "                    printing them (all or none)\n"
               "  --add-to-server CONNINFO\n"
               "                    add them to the print list on this server, in one\n"
               "                    transaction\n"
               "Layout settings (one of):\n"
               "  --snapshot FILE   a settings snapshot saved by \"uložit nastavení\" (1968 "
               "bytes)\n"
               "  --settings DIR    a folder holding dravelin.ini and font, read as the program\n"
               "                    reads them (default: the program directory)\n"
               "Output (exactly one):\n"
               "  --pdf FILE        a PDF file\n"
               "  --lpf FILE        a prepared-pages file, for the preview's Load Report\n"
               "  --printer NAME    a print job on the printer NAME; --printer default prints on\n"
               "                    the system's default printer\n"
               "Print setup:\n"
               "  --pages FROM-TO   only pages FROM to TO (or one page: --pages 3); PDF and "
               "printer\n"
               "  --copies N        N copies of every page; printer only\n"
               "  --landscape       A4 landscape instead of portrait\n"
               "Label sheet:\n"
               "  --sheet NAME      the sheet of the catalogue by product number or name\n"
               "                    (--sheet 3651, --sheet \"Avery L7160\"); without it the sheet\n"
               "                    of the settings is used, when it is switched on there\n"
               "  --skip N          leave the first N positions of the first page empty, for a\n"
               "                    sheet that is partly used (\"začít od štítku N+1\")\n"
               "  --order rows|columns\n"
               "                    fill the sheet along the rows or down the columns (default:\n"
               "                    the order of the sheet in the settings, else columns)\n"
               "  --used LIST       positions of the first sheet that are already used, such as\n"
               "                    1-12,17, counted from 1 in the fill order; labels leave\n"
               "                    them out\n"
               "  --outline         print the alignment page instead of the list: the outline of\n"
               "                    every label position and a cross at each top-left corner\n"
               "Text that does not fit its label:\n"
               "  --fit SLOT=shrink[,min=PT]\n"
               "                    shrink the slot's font in 0.5 pt steps, down to PT points\n"
               "                    (default 6), until its line fits the label's width\n"
               "  --fit SLOT=wrap[,lines=N][,min=PT]\n"
               "                    break the slot's text at spaces into at most N lines\n"
               "                    (default 2), shrinking when it must; --fit SLOT=off turns\n"
               "                    the settings' rule off. SLOT is a list file's column name:\n"
               "                    kods, kod, nazev, cena, text1, text2 or text3. Only for\n"
               "                    this run; give --fit once per slot\n"
               "  --check-fit       list the rows whose text still does not fit on standard\n"
               "                    output and exit with 3 when there is any, after the output\n"
               "                    is written; without it their count goes to standard error\n"
               "Barcodes:\n"
               "  --barcode SLOT=KIND[,x=MM][,h=MM][,digits=0|1]\n"
               "                    draw the line SLOT (kod, kods, nazev, cena, text1, text2,\n"
               "                    text3) as a barcode for this run: KIND is ean13, ean8,\n"
               "                    code128, code39, qr, datamatrix or text; x the module\n"
               "                    width (0.33), h the bar height, digits the text under the\n"
               "                    bars; once per slot. A label whose code cannot be encoded\n"
               "                    stops the run: nothing is written\n"
               "Other:\n"
               "  --quiet           no progress bar (it is shown only when standard error is a\n"
               "                    terminal)\n"
               "  --help            this text\n"
               "  --version         the version of dravelin-batch\n"
               "\n"
               "Files are replaced only when the whole output was written. On bad input one line\n"
               "on standard error names the file and what is wrong, and the exit code is 1\n"
               "(2 for a wrong command line, 3 for text that does not fit with --check-fit).\n"
               "\n"
               "Program directory: %1\n"
               "\n"
               "Example:\n"
               "  dravelin-batch --list zbozi.csv --snapshot cenovky.nas --pdf cenovky.pdf\n"
               "  dravelin-batch --printer default --pages 1-2 --copies 2\n")
        .arg(programDir);
}

} // namespace batch

#include "app/commandline.h"

namespace app {

CommandLine parseCommandLine(const QStringList& args) {
    bool help = false;
    bool version = false;
    QStringList files;
    QString wrong;
    bool options = true;
    for (const QString& a : args) {
        if (options && a == QLatin1String("--")) {
            options = false;
        } else if (options && (a == QLatin1String("--help") || a == QLatin1String("-h"))) {
            help = true;
        } else if (options && (a == QLatin1String("--version") || a == QLatin1String("-v"))) {
            version = true;
        } else if (options && a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            if (wrong.isEmpty()) {
                wrong = QStringLiteral("unknown option \"%1\"").arg(a);
            }
        } else {
            files << a;
        }
    }
    CommandLine c;
    if (help) {
        c.action = CommandLine::Action::Help;
    } else if (version) {
        c.action = CommandLine::Action::Version;
    } else if (!wrong.isEmpty()) {
        c.action = CommandLine::Action::Wrong;
        c.error = wrong;
    } else if (files.size() > 1) {
        c.action = CommandLine::Action::Wrong;
        c.error = QStringLiteral("give at most one prepared-pages file, not %1").arg(files.size());
    } else if (files.size() == 1) {
        if (files.first().isEmpty()) {
            c.action = CommandLine::Action::Wrong;
            c.error = QStringLiteral("the file name is empty");
        } else {
            c.file = files.first();
        }
    }
    return c;
}

QStringList withoutQtOptions(const QStringList& args) {
    // Qt reads these with one dash or two; the first group takes the next argument as its value
    // (or one after "="), the second stands alone.
    static const QStringList withValue{"platform",        "platformpluginpath",
                                       "platformtheme",   "plugin",
                                       "qwindowgeometry", "qwindowicon",
                                       "qwindowtitle",    "geometry",
                                       "title",           "icon",
                                       "display",         "name",
                                       "visual",          "style",
                                       "stylesheet",      "session",
                                       "qmljsdebugger"};
    static const QStringList alone{"reverse", "widgetcount", "nograb",
                                   "dograb",  "sync",        "testability"};
    QStringList rest;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--")) {
            rest += args.mid(i);
            break;
        }
        QString name = a;
        if (name.startsWith(QLatin1String("--"))) {
            name.remove(0, 2);
        } else if (name.startsWith(QLatin1Char('-'))) {
            name.remove(0, 1);
        } else {
            rest << a;
            continue;
        }
        const qsizetype eq = name.indexOf(QLatin1Char('='));
        if (eq > 0 && withValue.contains(name.left(eq))) {
            continue;
        }
        if (withValue.contains(name)) {
            ++i; // its value
            continue;
        }
        if (!alone.contains(name)) {
            rest << a;
        }
    }
    return rest;
}

QString helpText() {
    return QStringLiteral(
        "Usage: dravelin [FILE.LPF]\n"
        "\n"
        "Prints labels (price tags, goods labels, signs) on A4 sheets of ready-cut\n"
        "self-adhesive labels. The print list (seznam.db) and the settings (dravelin.ini,\n"
        "font) live in the program directory, the folder that holds the dravelin program.\n"
        "\n"
        "  FILE.LPF    a prepared-pages file saved by the preview's Save Report: the preview\n"
        "              opens with its pages loaded, ready to print\n"
        "  --help      this text\n"
        "  --version   the program's version\n"
        "\n"
        "dravelin-batch prints the same labels without a window (dravelin-batch --help).\n");
}

} // namespace app

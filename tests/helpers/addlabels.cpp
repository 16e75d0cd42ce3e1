// A second workstation for the tests: adds COUNT labels, one command each, to the print list on
// a server. Usage: test_addlabels CONNINFO TAG COUNT. The codes are TAG-1 .. TAG-COUNT.
#include "printlist/listcommands.h"
#include "printlist/pgstore.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: test_addlabels CONNINFO TAG COUNT\n");
        return 2;
    }
    const QString tag = QString::fromUtf8(argv[2]);
    const int count = QString::fromUtf8(argv[3]).toInt();
    try {
        printlist::PgStore store(QString::fromUtf8(argv[1]));
        store.open();
        for (int i = 1; i <= count; ++i) {
            const QString code = tag + QLatin1Char('-') + QString::number(i);
            printlist::addLabels(store, {code, tag, "", "", "", ""}, "*", 1);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "test_addlabels: %s\n", e.what());
        return 1;
    }
    return 0;
}

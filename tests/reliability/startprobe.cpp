// startprobe: a first start's unpacking alone, as the program does it, for the tests that race
// several starts on one program folder.
//
//   startprobe PROGRAM-FOLDER
//
// Exit status 0 when the database folder is ready (unpacked by this start or by another), 1 with
// the reason on standard error otherwise. A wait for another start is said on standard error too.

#include "core/startup/startup.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    UnRar::useUtf8Names();
    if (argc != 2) {
        std::fprintf(stderr, "usage: startprobe PROGRAM-FOLDER\n");
        return 2;
    }
    StartUp start;
    // What the splash would show while this start waits for another.
    start.setWaitingHandler([](const QString& status) {
        std::fprintf(stderr, "%s\n", qPrintable(status));
        std::fflush(stderr);
    });
    if (start.prepare(portableLocation(QString::fromLocal8Bit(argv[1]))) && !start.dbextract()) {
        std::fprintf(stderr, "%s\n", qPrintable(start.failure()));
        return 1;
    }
    return start.isReady() ? 0 : 1;
}

// movra-check: prints what the program would make of title files, folders and archives, one JSON
// object per line, so that maintainers can check a catalogue before they ship it.

#include "jsonline.h"

#include "app/module1.h"
#include "app/startup.h"
#include "catalogue/folderlisting.h"
#include "titles/titleparser.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

namespace {

void print(const JsonLine& line) {
    const QByteArray bytes = line.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

// Checks one title file; true when it parsed.
bool checkTitleFile(const QString& path) {
    const ParsedTitle parsed = readTitleFile(path);
    JsonLine line;
    line.add("file", QFileInfo(path).fileName());
    if (!parsed.ok()) {
        print(line.add("error", parsed.error).add("line", parsed.errorLine));
        return false;
    }
    const QStringList cells(parsed.record.cells.begin(), parsed.record.cells.end());
    print(line.add("title", parsed.record.title).add("cells", cells));
    return true;
}

bool checkFolder(const QString& folder) {
    bool ok = true;
    const QDir dir(folder);
    for (const QString& name : FolderListing::titleFiles(folder))
        ok = checkTitleFile(dir.filePath(name)) && ok;
    return ok;
}

// Unpacks an archive with the program's own first-start code into a temporary folder and checks
// what came out, or reports why the program would refuse it.
bool checkArchive(const QString& path) {
    QTemporaryDir scratch;
    StartUp start(scratch.path());
    start.dbfile = QFileInfo(path).absoluteFilePath();
    start.dbdir = EnsureTrailingSlash(scratch.filePath(QStringLiteral("db")));
    if (!start.dbextract()) {
        print(JsonLine()
                  .add("file", QFileInfo(path).fileName())
                  .add("error", start.failure())
                  .add("line", 0));
        return false;
    }
    return checkFolder(start.dbdir);
}

bool isArchive(const QFileInfo& info) {
    return info.suffix().compare(QLatin1String("rar"), Qt::CaseInsensitive) == 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList paths = app.arguments().mid(1);
    if (paths.isEmpty()) {
        std::fprintf(
            stderr,
            "usage: movra-check PATH...\n"
            "  PATH: a title file (*.adl), a folder of them, or a catalogue archive (*.rar)\n");
        return 2;
    }
    bool ok = true;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (info.isDir()) {
            ok = checkFolder(path) && ok;
        } else if (isArchive(info)) {
            ok = checkArchive(path) && ok;
        } else {
            ok = checkTitleFile(path) && ok;
        }
    }
    std::fflush(stdout);
    return ok ? 0 : 1;
}

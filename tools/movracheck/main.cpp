// movra-check: prints what the program would make of title files, folders and archives, one JSON
// object per line, so that maintainers can check a catalogue before they ship it.

#include "jsonline.h"

#include "catalogue/folderlisting.h"
#include "titles/titleparser.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

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

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList paths = app.arguments().mid(1);
    if (paths.isEmpty()) {
        std::fprintf(stderr, "usage: movra-check PATH...\n"
                             "  PATH: a title file (*.adl) or a folder of them\n");
        return 2;
    }
    bool ok = true;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (info.isDir()) {
            ok = checkFolder(path) && ok;
        } else {
            ok = checkTitleFile(path) && ok;
        }
    }
    std::fflush(stdout);
    return ok ? 0 : 1;
}

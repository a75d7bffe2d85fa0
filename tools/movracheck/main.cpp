// movra-check: prints what the program would make of title files, folders and archives, one JSON
// object per line, so that maintainers can check a catalogue before they ship it.

#include "jsonline.h"

#include "core/archive/unrar.h"
#include "core/catalogue/catalogueloader.h"
#include "core/catalogue/columns.h"
#include "core/catalogue/titlefilereader.h"
#include "core/startup/module1.h"
#include "core/startup/startup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

namespace {

void print(const JsonLine& line)
{
    const QByteArray bytes = line.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

QStringList subItemsOf(const CatalogueRow& row)
{
    QStringList cells;
    for (int column = 1; column < columnCount; ++column)
        cells << row.cell(column);
    return cells;
}

// Checks one title file; true when it parsed.
bool checkTitleFile(const QString& path)
{
    const TitleFileReader::Outcome read = TitleFileReader().read(path);
    JsonLine line;
    line.add("file", QFileInfo(path).fileName());
    if (!read.ok()) {
        print(line.add("error", read.error).add("line", read.errorLine));
        return false;
    }
    print(line.add("title", read.row.text()).add("cells", subItemsOf(read.row)));
    return true;
}

// Loads a folder the way the program does and prints each row in the order the list shows it
// at first, then every problem: unreadable title files and covers, titles without a cover and
// covers without a title.
bool checkFolder(const QString& folder)
{
    const CatalogueContents contents = CatalogueLoader::load(folder);
    for (size_t i = 0; i < contents.rows.size(); ++i) {
        const CatalogueRow& row = contents.rows[i];
        print(JsonLine()
                  .add("key", row.key())
                  .add("icon", row.icon())
                  .add("title", row.text())
                  .add("cells", subItemsOf(row))
                  .add("file", contents.rowFiles.value(int(i)))
                  .add("cover",
                       row.icon() > 0 ? contents.coverFiles.value(row.icon() - 1) : QString()));
    }

    bool ok = true;
    auto problem = [&](const QString& file, const char* what) {
        print(JsonLine().add("file", file).add("problem", QLatin1String(what)));
        ok = false;
    };
    for (const LoadProblem& error : contents.problems) {
        print(
            JsonLine().add("file", error.file).add("error", error.reason).add("line", error.line));
        ok = false;
    }
    for (const QString& title : contents.titlesWithoutCover)
        problem(title, "missing cover");
    for (const QString& cover : contents.coversWithoutTitle)
        problem(cover, "cover without title");
    for (const LoadProblem& cover : CatalogueLoader::unreadableCovers(folder, contents.shownCovers))
        problem(cover.file, "unreadable cover");
    return ok;
}

// Unpacks an archive with the program's own first-start code into a temporary folder and checks
// what came out, or reports why the program would refuse it.
bool checkArchive(const QString& path)
{
    QTemporaryDir scratch;
    StartUp start;
    start.prepare({EnsureTrailingSlash(QDir::toNativeSeparators(scratch.filePath("db"))),
                   QFileInfo(path).absoluteFilePath()});
    if (!start.dbextract()) {
        print(JsonLine()
                  .add("file", QFileInfo(path).fileName())
                  .add("error", start.failure())
                  .add("line", 0));
        return false;
    }
    return checkFolder(start.databaseFolder());
}

bool isArchive(const QFileInfo& info)
{
    return info.suffix().compare(QLatin1String("rar"), Qt::CaseInsensitive) == 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    UnRar::useUtf8Names();
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

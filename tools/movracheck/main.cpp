// movra-check: prints what the program would make of title files, folders and archives, one JSON
// object per line, so that maintainers can check a catalogue before they ship it.

#include "jsonline.h"

#include "app/module1.h"
#include "app/startup.h"
#include "catalogue/catalogueloader.h"
#include "catalogue/columns.h"
#include "catalogue/listview.h"
#include "titles/titleparser.h"

#include <QApplication>
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

// Checks one title file; true when it parsed.
bool checkTitleFile(const QString& path)
{
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

// Loads a folder the way the program does, into the program's own list, and prints each row in
// list order, then every problem: unreadable title files and covers, titles without a cover and
// covers without a title.
bool checkFolder(const QString& folder)
{
    ListView list;
    for (const QString& header : Columns::headers)
        list.addColumnHeader(header, list.Width() / 10);
    CatalogueContents contents = CatalogueLoader::load(folder);
    list.addItems(std::move(contents.rows));

    for (int position = 1; position <= list.itemCount(); ++position) {
        QStringList cells;
        for (int index = 1; index <= 9; ++index)
            cells << list.subItem(position, index);
        const int icon = list.itemIcon(position);
        print(JsonLine()
                  .add("key", list.itemKey(position))
                  .add("icon", icon)
                  .add("title", list.itemText(position))
                  .add("cells", cells)
                  .add("file", contents.rowFiles.value(position - 1))
                  .add("cover", icon > 0 ? contents.coverFiles.value(icon - 1) : QString()));
    }

    bool ok = true;
    auto problem = [&](const QString& file, const char* what) {
        print(JsonLine().add("file", file).add("problem", QLatin1String(what)));
        ok = false;
    };
    for (const LoadProblem& error : std::as_const(contents.problems)) {
        print(
            JsonLine().add("file", error.file).add("error", error.reason).add("line", error.line));
        ok = false;
    }
    for (const QString& title : std::as_const(contents.titlesWithoutCover))
        problem(title, "missing cover");
    for (const QString& cover : std::as_const(contents.coversWithoutTitle))
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

bool isArchive(const QFileInfo& info)
{
    return info.suffix().compare(QLatin1String("rar"), Qt::CaseInsensitive) == 0;
}

} // namespace

int main(int argc, char** argv)
{
    // The list is the program's own widget; no window is ever shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
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

#include "core/catalogue/catalogueloader.h"
#include "core/startup/stagingswap.h"
#include "core/startup/startup.h"

#include "support/archivebuilder.h"
#include "support/catalogbuilder.h"
#include "support/systemcases.h"

#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QLockFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

QStringList entriesOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

void touch(const QString& path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("x");
}

// A staging or set-aside folder as a start makes it, with its marker.
void makeLeftover(const QString& folder)
{
    QVERIFY(QDir().mkpath(folder));
    touch(QDir(folder).filePath(StagingSwap::markerName()));
}

// Every path under folder, hidden ones too, with the bytes of each file.
QMap<QString, QByteArray> treeOf(const QString& folder)
{
    QMap<QString, QByteArray> tree;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        tree.insert(QDir(folder).relativeFilePath(path),
                    file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(folder)"));
    }
    return tree;
}

} // namespace

class TestStartUp : public QObject {
    Q_OBJECT

private slots:
    void paths();
    void presenceTest_data();
    void presenceTest();
    void unpacksIntoDatabaseFolder_data();
    void unpacksIntoDatabaseFolder();
    void countsEventsOfBothPasses();
    void countingRules();
    void entryLimit();
    void refusesHostileArchiveWhole();
    void brokenArchivesLeaveNothing_data();
    void brokenArchivesLeaveNothing();
    void databaseFolderCannotBeCreated();
    void keepsWhatAnEmptyLookingFolderHeld();
    void interruptedUnpackIsRedone();
    void setAsideFolderIsRestored();
    void setAsideEntriesReturnToFilledFolder();
    void foldersOfOthersAreLeftAlone_data();
    void foldersOfOthersAreLeftAlone();
    void locateCatalogue_data();
    void locateCatalogue();
    void perUserFolder_data();
    void perUserFolder();
    void unpacksIntoUserFolder();
    void userFolderCannotBeCreated();
    void neverWorksThroughLinks_data();
    void neverWorksThroughLinks();
    void filledFolderBehindLinkIsRead();
    void subfolderOnlyArchiveIsRefused();
    void duplicateEntriesAreNoted();
    void staleLockIsTakenOver();
    void unreadableFolderIsNotSetAside();
};

void TestStartUp::paths()
{
    StartUp start;
    start.prepare(portableLocation(QStringLiteral("/opt/movies")));
    QCOMPARE(start.databaseFolder(), QDir::toNativeSeparators("/opt/movies/db/"));
    QCOMPARE(start.archivePath(), QDir::toNativeSeparators("/opt/movies/data.rar"));

    const CatalogueLocation atRoot = portableLocation(QStringLiteral("/"));
    QCOMPARE(atRoot.dbdir, QDir::toNativeSeparators("/db/"));
    QCOMPARE(atRoot.dbfile, QDir::toNativeSeparators("/data.rar"));
}

void TestStartUp::presenceTest_data()
{
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<bool>("mustUnpack");
    QTest::newRow("missing") << QStringList{} << QStringList{} << true;
    QTest::newRow("empty") << QStringList{"db"} << QStringList{} << true;
    QTest::newRow("onlySubfolders")
        << QStringList{"db", "db/sub"} << QStringList{"db/sub/x.adl"} << true;
    QTest::newRow("onlyHiddenFiles") << QStringList{"db"} << QStringList{"db/.hidden"} << true;
    QTest::newRow("oneFileOfAnyName") << QStringList{"db"} << QStringList{"db/notes.txt"} << false;
    QTest::newRow("titleFile") << QStringList{"db"} << QStringList{"db/a.adl"} << false;
}

void TestStartUp::presenceTest()
{
    QFETCH(QStringList, folders);
    QFETCH(QStringList, files);
    QFETCH(bool, mustUnpack);
    QTemporaryDir program;
    for (const QString& folder : folders)
        QVERIFY(QDir(program.path()).mkpath(folder));
    for (const QString& file : files)
        touch(program.filePath(file));
    StartUp start;
    QCOMPARE(start.prepare(portableLocation(program.path())), mustUnpack);
    QCOMPARE(start.isReady(), !mustUnpack);
}

// Also where the program's folder has letters beyond ASCII and a path longer than the 260
// characters that Windows allows without asking for long paths.
void TestStartUp::unpacksIntoDatabaseFolder_data()
{
    QTest::addColumn<QString>("folder"); // the program's, under a temporary folder
    QTest::newRow("plain") << QString();
    const QString name = QString::fromUtf8("Fran\xc3\xa7oise \xc3\x96"
                                           "d\xc3\xb6n \xe6\x98\xa0\xe7\x94\xbb");
    QTest::newRow("longAndNonAscii") << QStringList(12, name + QString(10, u'x')).join(u'/');
}

void TestStartUp::unpacksIntoDatabaseFolder()
{
    QFETCH(QString, folder);
    QTemporaryDir root;
    const QString program = QDir(root.path()).filePath(folder);
    QVERIFY(QDir().mkpath(program));
    QVERIFY(QDir::toNativeSeparators(program).size() > 260 || folder.isEmpty());
    QVERIFY(writeArchive(QDir(program).filePath("data.rar"),
                         {fileEntry("Alpha.adl", titleFileBytes("Alpha")),
                          fileEntry("Alpha.adl.cover.jpg", "c"), fileEntry("Beta.adl", "b")}));
    StartUp start;
    QVERIFY(start.prepare(portableLocation(program)));
    QVERIFY2(start.dbextract(), qPrintable(start.failure()));
    QVERIFY(start.isReady());
    QCOMPARE(entriesOf(QDir(program).filePath("db")),
             (QStringList{"Alpha.adl", "Alpha.adl.cover.jpg", "Beta.adl"}));
    QCOMPARE(entriesOf(program), (QStringList{"data.rar", "db"}));
    const CatalogueContents contents = CatalogueLoader::load(start.databaseFolder());
    QCOMPARE(contents.rows.size(), size_t(1));
    QCOMPARE(contents.rows[0].text(), QString("Alpha"));

    StartUp again;
    QVERIFY(!again.prepare(portableLocation(program)));
    QVERIFY(again.isReady());
}

void TestStartUp::countsEventsOfBothPasses()
{
    QTemporaryDir program;
    QVERIFY(
        writeArchive(program.filePath("data.rar"),
                     {fileEntry("a.adl", "a"), fileEntry("b.adl", "b"), fileEntry("c.adl", "c")}));
    StartUp start;
    QVERIFY(start.prepare(portableLocation(program.path())));
    QStringList seen; // counted, listed and ready after each event
    start.setProgressHandler([&] {
        seen << QString("%1/%2/%3")
                    .arg(start.entriesCounted())
                    .arg(start.entriesListed())
                    .arg(start.isReady() ? "done" : "-");
    });
    QVERIFY(start.dbextract());
    QCOMPARE(seen, (QStringList{"1/0/-", "2/0/-", "3/0/-", "1/3/-", "2/3/-", "3/3/done"}));
}

void TestStartUp::countingRules()
{
    QTemporaryDir program;
    QVERIFY(writeArchive(program.filePath("data.rar"), {fileEntry("a.adl", "a")}));
    StartUp start;
    QVERIFY(start.prepare(portableLocation(program.path())));
    QVERIFY(start.dbextract()); // one entry: its single extraction event makes the folder ready
    QVERIFY(start.isReady());

    // More events than listed: the flag stays set, later events only count.
    start.UnRar1_FileDone();
    start.UnRar1_FileDone();
    QVERIFY(start.isReady());
    QCOMPARE(start.entriesCounted(), qint16(3));
}

void TestStartUp::entryLimit()
{
    StartUp start;
    for (int i = 0; i < 32767; ++i)
        start.UnRar1_FileDone();
    QCOMPARE(start.entriesCounted(), qint16(32767));
    QVERIFY(start.failure().isEmpty());
    start.UnRar1_FileDone();
    QCOMPARE(start.entriesCounted(), qint16(32767)); // never wraps around
    QVERIFY2(start.failure().contains("more than 32767 entries"), qPrintable(start.failure()));
}

void TestStartUp::refusesHostileArchiveWhole()
{
    QTemporaryDir program;
    QVERIFY(writeArchive(
        program.filePath("data.rar"),
        {fileEntry("a.adl", "a"), fileEntry("../evil.adl", "x"), fileEntry("b.adl", "b")}));
    StartUp start;
    QVERIFY(start.prepare(portableLocation(program.path())));
    QVERIFY(!start.dbextract());
    QVERIFY2(start.failure().contains("\"../evil.adl\" climbs out"), qPrintable(start.failure()));
    QVERIFY2(start.failure().contains(QDir::toNativeSeparators(program.filePath("data.rar"))),
             qPrintable(start.failure()));
    QVERIFY(!start.isReady());
    QCOMPARE(entriesOf(program.path()), QStringList{"data.rar"});
}

void TestStartUp::brokenArchivesLeaveNothing_data()
{
    QTest::addColumn<QByteArray>("archive");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << QByteArray() << "the file does not exist";
    QTest::newRow("notRar") << QByteArray("PK\x03\x04 not a rar") << "not a RAR archive";
    QBuffer empty;
    empty.open(QIODevice::WriteOnly);
    RarWriter(&empty).finish();
    QTest::newRow("empty") << empty.data() << "holds no files";
    QBuffer truncated;
    truncated.open(QIODevice::WriteOnly);
    RarWriter writer(&truncated);
    writer.addFile("a.adl", QByteArray(30000, 'a'), 0);
    writer.finish();
    QTest::newRow("truncated") << truncated.data().left(20000) << "truncated";
}

void TestStartUp::brokenArchivesLeaveNothing()
{
    QFETCH(QByteArray, archive);
    QFETCH(QString, reason);
    QTemporaryDir program;
    if (!archive.isEmpty()) {
        QFile file(program.filePath("data.rar"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(archive);
    }
    const QStringList before = entriesOf(program.path());
    StartUp start;
    QVERIFY(start.prepare(portableLocation(program.path())));
    QVERIFY(!start.dbextract());
    QVERIFY2(start.failure().contains(reason), qPrintable(start.failure()));
    QVERIFY(!start.isReady());
    QCOMPARE(entriesOf(program.path()), before);
}

void TestStartUp::databaseFolderCannotBeCreated()
{
    QTemporaryDir program;
    QVERIFY(writeArchive(program.filePath("data.rar"), {fileEntry("a.adl", "a")}));
    touch(program.filePath("db")); // a file where the folder should go
    StartUp start;
    QVERIFY(start.prepare(portableLocation(program.path())));
    QVERIFY(!start.dbextract());
    QVERIFY2(start.failure().contains("db is in the way: it is not a folder"),
             qPrintable(start.failure()));
    QCOMPARE(entriesOf(program.path()), (QStringList{"data.rar", "db"}));
}

void TestStartUp::keepsWhatAnEmptyLookingFolderHeld()
{
    QTemporaryDir program;
    QVERIFY(writeArchive(program.filePath("data.rar"), {fileEntry("a.adl", "a")}));
    QVERIFY(QDir(program.path()).mkpath("db/sub"));
    touch(program.filePath("db/.hidden"));
    StartUp start;
    QVERIFY(start.prepare(portableLocation(program.path())));
    QVERIFY2(start.dbextract(), qPrintable(start.failure()));
    QCOMPARE(entriesOf(program.filePath("db")), (QStringList{".hidden", "a.adl", "sub"}));
    QCOMPARE(entriesOf(program.path()), (QStringList{"data.rar", "db"}));
}

void TestStartUp::interruptedUnpackIsRedone()
{
    QTemporaryDir program;
    QVERIFY(writeArchive(program.filePath("data.rar"),
                         {fileEntry("a.adl", "a"), fileEntry("b.adl", "b")}));
    // What a start stopped halfway through unpacking leaves behind, with a file that the
    // archive does not hold.
    makeLeftover(program.filePath("db.unpacking"));
    touch(program.filePath("db.unpacking/a.adl"));
    touch(program.filePath("db.unpacking/stray.adl"));
    StartUp start;
    QVERIFY(start.prepare(portableLocation(program.path())));
    QVERIFY2(start.dbextract(), qPrintable(start.failure()));
    QCOMPARE(entriesOf(program.filePath("db")), (QStringList{"a.adl", "b.adl"}));
    QCOMPARE(entriesOf(program.path()), (QStringList{"data.rar", "db"}));
}

void TestStartUp::setAsideFolderIsRestored()
{
    // A start stopped after setting db/ aside and before putting the new one in place.
    QTemporaryDir program;
    QVERIFY(writeArchive(program.filePath("data.rar"), {fileEntry("a.adl", "a")}));
    makeLeftover(program.filePath("db.previous"));
    QVERIFY(QDir(program.path()).mkpath("db.previous/sub"));
    touch(program.filePath("db.previous/.hidden"));
    StartUp start;
    QVERIFY(start.prepare(portableLocation(program.path())));
    QVERIFY2(start.dbextract(), qPrintable(start.failure()));
    QCOMPARE(entriesOf(program.filePath("db")), (QStringList{".hidden", "a.adl", "sub"}));
    QCOMPARE(entriesOf(program.path()), (QStringList{"data.rar", "db"}));
}

void TestStartUp::setAsideEntriesReturnToFilledFolder()
{
    // A start stopped while moving the set-aside entries into the new db/: the next start reads
    // db/ and finishes the move.
    QTemporaryDir program;
    makeLeftover(program.filePath("db.previous"));
    QVERIFY(QDir(program.path()).mkpath("db.previous/sub"));
    QVERIFY(QDir(program.path()).mkpath("db"));
    touch(program.filePath("db/a.adl"));
    StartUp start;
    QVERIFY(!start.prepare(portableLocation(program.path())));
    QCOMPARE(entriesOf(program.filePath("db")), (QStringList{"a.adl", "sub"}));
    QCOMPARE(entriesOf(program.path()), QStringList{"db"});
}

// A folder of the name a start uses for staging or setting aside, but without its marker, is
// the user's: left byte for byte beside a filled db/, and named in the refusal when it stands in
// the way of an unpacking.
void TestStartUp::foldersOfOthersAreLeftAlone_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("filled"); // db/ already holds the catalogue
    QTest::newRow("stagingBesideFilled") << "db.unpacking" << true;
    QTest::newRow("setAsideBesideFilled") << "db.previous" << true;
    QTest::newRow("stagingInTheWay") << "db.unpacking" << false;
    QTest::newRow("setAsideInTheWay") << "db.previous" << false;
}

void TestStartUp::foldersOfOthersAreLeftAlone()
{
    QFETCH(QString, folder);
    QFETCH(bool, filled);
    QTemporaryDir program;
    QVERIFY(writeArchive(program.filePath("data.rar"), {fileEntry("a.adl", "a")}));
    QVERIFY(QDir(program.path()).mkpath(folder + "/sub"));
    touch(program.filePath(folder + "/sub/notes.txt"));
    touch(program.filePath(folder + "/b.adl"));
    if (filled) {
        QVERIFY(QDir(program.path()).mkpath("db"));
        touch(program.filePath("db/a.adl"));
    }
    const QMap<QString, QByteArray> before = treeOf(program.path());
    StartUp start;
    QCOMPARE(start.prepare(portableLocation(program.path())), !filled);
    if (!filled) {
        QVERIFY(!start.dbextract());
        QVERIFY2(start.failure().contains(folder + " is in the way: Movra did not make it"),
                 qPrintable(start.failure()));
        QVERIFY2(start.failure().contains("move it away"), qPrintable(start.failure()));
    }
    QCOMPARE(treeOf(program.path()), before);
}

void TestStartUp::locateCatalogue_data()
{
    QTest::addColumn<QStringList>("files"); // under a temporary root: program/, share/, user/
    QTest::addColumn<bool>("programWritable");
    QTest::addColumn<bool>("perUserKnown");
    QTest::addColumn<QString>("dbdir");
    QTest::addColumn<QString>("dbfile");
    const QStringList installed{"share/movra/data.rar"};
    QTest::newRow("filledFolderBesideProgram")
        << QStringList{"program/db/a.adl", "program/data.rar"} << false << true << "program/db/"
        << "program/data.rar";
    QTest::newRow("filledFolderWinsOverInstalled")
        << (installed + QStringList{"program/db/notes.txt"}) << false << true << "program/db/"
        << "program/data.rar";
    QTest::newRow("portableFirstStart")
        << QStringList{"program/data.rar"} << true << true << "program/db/"
        << "program/data.rar";
    QTest::newRow("readOnlyPortableUnpacksPerUser")
        << QStringList{"program/data.rar"} << false << true << "user/db/"
        << "program/data.rar";
    QTest::newRow("installed") << installed << false << true << "user/db/"
                               << "share/movra/data.rar";
    // Whoever may write the program folder (root, say) still keeps an installed catalogue in
    // the user's own folder: there is no data.rar beside the program.
    QTest::newRow("installedInWritableFolder") << installed << true << true << "user/db/"
                                               << "share/movra/data.rar";
    QTest::newRow("installedAlreadyUnpacked")
        << (installed + QStringList{"user/db/a.adl"}) << false << true << "user/db/"
        << "share/movra/data.rar";
    QTest::newRow("nothingAnywhere") << QStringList{} << false << true << "program/db/"
                                     << "program/data.rar";
    QTest::newRow("noUserFolder") << installed << false << false << "program/db/"
                                  << "program/data.rar";
}

void TestStartUp::locateCatalogue()
{
    QFETCH(QStringList, files);
    QFETCH(bool, programWritable);
    QFETCH(bool, perUserKnown);
    QFETCH(QString, dbdir);
    QFETCH(QString, dbfile);
    QTemporaryDir root;
    QVERIFY(QDir(root.path()).mkpath("program"));
    for (const QString& file : files) {
        QVERIFY(QDir(root.path()).mkpath(QFileInfo(file).path()));
        touch(root.filePath(file));
    }
    const StartFolders folders{root.filePath("program"), root.filePath("share/movra"),
                               perUserKnown ? root.filePath("user") : QString(), programWritable};
    const CatalogueLocation location = ::locateCatalogue(folders);
    QCOMPARE(location.dbdir, QDir::toNativeSeparators(root.filePath(dbdir)));
    QCOMPARE(QDir::cleanPath(location.dbfile), QDir::cleanPath(root.filePath(dbfile)));
}

// Each user's own catalogue goes under the system's folder for a user's application data. On
// Linux that comes from XDG_DATA_HOME only when it is an absolute path; a relative or empty one is
// ignored, as the XDG base-directory rules say. On Windows it is %LOCALAPPDATA%\Movra, or the
// system's own local application data folder when that variable is unusable.
void TestStartUp::perUserFolder_data()
{
    QTest::addColumn<QByteArray>("variable");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QString>("expected"); // under the temporary home, or absolute
#ifdef Q_OS_WIN
    const QString localData = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    QTest::newRow("localAppData") << QByteArray("LOCALAPPDATA") << QByteArray("D:\\Data")
                                  << "D:/Data/Movra";
    QTest::newRow("relative") << QByteArray("LOCALAPPDATA") << QByteArray("Data")
                              << localData + "/Movra";
    QTest::newRow("empty") << QByteArray("LOCALAPPDATA") << QByteArray() << localData + "/Movra";
#else
    const QString app = QCoreApplication::applicationName();
    QTest::newRow("relative") << QByteArray("XDG_DATA_HOME") << QByteArray("rel")
                              << "home/.local/share/" + app;
    QTest::newRow("dotRelative") << QByteArray("XDG_DATA_HOME") << QByteArray("./data")
                                 << "home/.local/share/" + app;
    QTest::newRow("empty") << QByteArray("XDG_DATA_HOME") << QByteArray()
                           << "home/.local/share/" + app;
    QTest::newRow("absolute") << QByteArray("XDG_DATA_HOME") << QByteArray("/srv/data")
                              << "/srv/data/" + app;
    // No folder at the root of the file system, nor under the folder started from: none.
    QTest::newRow("homeUnset") << QByteArray("HOME") << QByteArray() << QString();
    QTest::newRow("homeRelative") << QByteArray("HOME") << QByteArray("home") << QString();
#endif
}

void TestStartUp::perUserFolder()
{
    QFETCH(QByteArray, variable);
    QFETCH(QByteArray, value);
    QFETCH(QString, expected);
    QTemporaryDir root;
    QVERIFY(QDir(root.path()).mkpath("home"));
    // Only the row's variable differs from a user's plain environment.
    const QByteArrayList involved{"HOME", "XDG_DATA_HOME", "LOCALAPPDATA"};
    QHash<QByteArray, QByteArray> saved;
    for (const QByteArray& name : involved) {
        if (qEnvironmentVariableIsSet(name.constData()))
            saved.insert(name, qgetenv(name.constData()));
        qunsetenv(name.constData());
    }
    qputenv("HOME", QFile::encodeName(root.filePath("home")));
    qputenv(variable.constData(), value);
    const StartFolders folders = StartFolders::ofRunningProgram();
    for (const QByteArray& name : involved) {
        if (saved.contains(name))
            qputenv(name.constData(), saved.value(name));
        else
            qunsetenv(name.constData());
    }
    if (expected.isEmpty())
        QCOMPARE(folders.perUser, QString());
    else
        QCOMPARE(folders.perUser,
                 QDir::isAbsolutePath(expected) ? expected : root.filePath(expected));
}

void TestStartUp::unpacksIntoUserFolder()
{
    QTemporaryDir root;
    QVERIFY(QDir(root.path()).mkpath("prefix/bin"));
    QVERIFY(QDir(root.path()).mkpath("prefix/share/movra"));
    QVERIFY(writeArchive(root.filePath("prefix/share/movra/data.rar"), {fileEntry("a.adl", "a")}));
    const QString user = root.filePath("home/.local/share/movra"); // not there yet
    const CatalogueLocation location = ::locateCatalogue(
        {root.filePath("prefix/bin"), root.filePath("prefix/share/movra"), user, false});
    StartUp start;
    QVERIFY(start.prepare(location));
    QVERIFY2(start.dbextract(), qPrintable(start.failure()));
    QCOMPARE(entriesOf(user), QStringList{"db"});
    QCOMPARE(entriesOf(user + "/db"), QStringList{"a.adl"});
    QCOMPARE(entriesOf(root.filePath("prefix/bin")), QStringList());
}

void TestStartUp::userFolderCannotBeCreated()
{
    QTemporaryDir root;
    QVERIFY(writeArchive(root.filePath("data.rar"), {fileEntry("a.adl", "a")}));
    touch(root.filePath("home")); // a file where the user's folders should be
    StartUp start;
    QVERIFY(start.prepare({root.filePath("home/movra/db/"), root.filePath("data.rar")}));
    QVERIFY(!start.dbextract());
    QVERIFY2(start.failure().contains(QDir::toNativeSeparators(root.filePath("home/movra"))),
             qPrintable(start.failure()));
    QCOMPARE(entriesOf(root.path()), (QStringList{"data.rar", "home"}));
}

// A staging, set-aside or database folder that is a link to a folder elsewhere: the start
// refuses it, and the folder it points to keeps what it held.
void TestStartUp::neverWorksThroughLinks_data()
{
    QTest::addColumn<QString>("link");
    QTest::newRow("staging") << "db.unpacking";
    QTest::newRow("setAside") << "db.previous";
    QTest::newRow("database") << "db";
}

void TestStartUp::neverWorksThroughLinks()
{
    SKIP_UNLESS_SYSTEM_CAN(SystemCases::noLinks());
    QFETCH(QString, link);
    QTemporaryDir program;
    QTemporaryDir elsewhere;
    touch(elsewhere.filePath("precious.txt"));
    QVERIFY(QDir(elsewhere.path()).mkpath("sub"));
    QVERIFY(writeArchive(program.filePath("data.rar"), {fileEntry("a.adl", "a")}));
    QVERIFY(QFile::link(elsewhere.path(), program.filePath(link)));
    for (int start = 0; start < 2; ++start) { // and again at the next start
        StartUp startUp;
        if (!startUp.prepare(portableLocation(program.path())))
            break;
        QVERIFY(!startUp.dbextract());
        QVERIFY2(startUp.failure().contains(link + " is a link"), qPrintable(startUp.failure()));
    }
    QCOMPARE(entriesOf(elsewhere.path()), (QStringList{"precious.txt", "sub"}));
    QVERIFY(QFileInfo(program.filePath(link)).isSymLink());
}

// A filled database folder may be a link, to a catalogue on a disc say: it is read, and nothing
// is moved into it.
void TestStartUp::filledFolderBehindLinkIsRead()
{
    SKIP_UNLESS_SYSTEM_CAN(SystemCases::noLinks());
    QTemporaryDir program;
    QTemporaryDir disc;
    touch(disc.filePath("a.adl"));
    QVERIFY(QFile::link(disc.path(), program.filePath("db")));
    QVERIFY(QDir(program.path()).mkpath("db.previous"));
    touch(program.filePath("db.previous/b.adl"));
    StartUp start;
    QVERIFY(!start.prepare(portableLocation(program.path())));
    QVERIFY(start.isReady());
    QVERIFY2(start.failure().isEmpty(), qPrintable(start.failure())); // the start goes on
    QCOMPARE(entriesOf(disc.path()), QStringList{"a.adl"});
    QCOMPARE(entriesOf(program.filePath("db.previous")), QStringList{"b.adl"});
}

void TestStartUp::subfolderOnlyArchiveIsRefused()
{
    QTemporaryDir program;
    QVERIFY(writeArchive(program.filePath("data.rar"),
                         {fileEntry("titles/a.adl", "a"), fileEntry("a.adl.cover.jpg", "c")}));
    StartUp start;
    QVERIFY(start.prepare(portableLocation(program.path())));
    QVERIFY(!start.dbextract());
    QVERIFY2(start.failure().contains("holds no title files (*.adl) at its top level"),
             qPrintable(start.failure()));
    QCOMPARE(entriesOf(program.path()), QStringList{"data.rar"});
}

void TestStartUp::duplicateEntriesAreNoted()
{
    QTemporaryDir program;
    QVERIFY(writeArchive(
        program.filePath("data.rar"),
        {fileEntry("a.adl", "first"), fileEntry("b.adl", "b"), fileEntry("a.adl", "second")}));
    StartUp start;
    QVERIFY(start.prepare(portableLocation(program.path())));
    QVERIFY2(start.dbextract(), qPrintable(start.failure()));
    QCOMPARE(start.notes(),
             QStringList{"holds more than one entry named a.adl; the last of them is the one "
                         "unpacked"});
    QFile a(program.filePath("db/a.adl"));
    QVERIFY(a.open(QIODevice::ReadOnly));
    QCOMPARE(a.readAll(), QByteArray("second"));
}

// A lock left by a start that died does not keep later starts out.
void TestStartUp::staleLockIsTakenOver()
{
    QTemporaryDir program;
    QVERIFY(writeArchive(program.filePath("data.rar"), {fileEntry("a.adl", "a")}));
    // The lock as this process writes it, with the number of a process that has ended.
    QByteArray contents;
    {
        QLockFile mine(program.filePath("db.lock"));
        QVERIFY(mine.lock());
        QFile file(program.filePath("db.lock"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        contents = file.readAll();
    }
    QProcess ended; // this test's own program, listing its tests and ending
    ended.start(QCoreApplication::applicationFilePath(), {"-functions"});
    QVERIFY(ended.waitForStarted());
    const qint64 pid = ended.processId();
    QVERIFY(ended.waitForFinished());
    contents = QByteArray::number(pid) + contents.mid(contents.indexOf('\n'));
    QFile lock(program.filePath("db.lock"));
    QVERIFY(lock.open(QIODevice::WriteOnly));
    lock.write(contents);
    lock.close();
    StartUp start;
    QVERIFY(start.prepare(portableLocation(program.path())));
    QVERIFY2(start.dbextract(), qPrintable(start.failure()));
    QCOMPARE(entriesOf(program.path()), (QStringList{"data.rar", "db"}));
}

// A db/ the user may not read could hold a catalogue: it is reported, not set aside.
void TestStartUp::unreadableFolderIsNotSetAside()
{
    SKIP_UNLESS_SYSTEM_CAN(SystemCases::noUnreadableFiles());
    QTemporaryDir program;
    QVERIFY(writeArchive(program.filePath("data.rar"), {fileEntry("a.adl", "a")}));
    QVERIFY(QDir(program.path()).mkpath("db"));
    touch(program.filePath("db/a.adl"));
    QVERIFY(QFile::setPermissions(program.filePath("db"), QFileDevice::Permissions()));
    StartUp start;
    QVERIFY(start.prepare(portableLocation(program.path())));
    QVERIFY(!start.dbextract());
    QVERIFY2(start.failure().contains("cannot be read (permission denied)"),
             qPrintable(start.failure()));
    QFile::setPermissions(program.filePath("db"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(entriesOf(program.path()), (QStringList{"data.rar", "db"}));
    QCOMPARE(entriesOf(program.filePath("db")), QStringList{"a.adl"});
}

QTEST_GUILESS_MAIN(TestStartUp)
#include "tst_startup.moc"

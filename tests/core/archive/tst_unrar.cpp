#include "core/archive/crc32.h"
#include "core/archive/unrar.h"

#include "support/archivebuilder.h"
#include "support/systemcases.h"

#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

QStringList filesUnder(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(folder).relativeFilePath(it.next());
    files.sort();
    return files;
}

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

Q_DECLARE_METATYPE(RarWriter::Entry)

class TestUnRar : public QObject {
    Q_OBJECT

private slots:
    void writtenArchivesRoundTrip_data();
    void writtenArchivesRoundTrip();
    void otherReadersAcceptOurArchives_data();
    void otherReadersAcceptOurArchives();
    void hostileEntriesAreNeverWritten_data();
    void hostileEntriesAreNeverWritten();
    void refusalNamesTheEntryItMet();
    void truncatedArchive();
    void notAnArchive();
    void realArchives_data();
    void realArchives();
    void unreadableRealArchives_data();
    void unreadableRealArchives();
    void directoryEntriesRoundTrip();
    void neverWritesThroughWhatIsInTheWay();
    void cutInsideAHeader();
    void fuzzFindingsEndCleanly();
    void staleOutOfMemoryIsHarmless();
    void uncheckableEntriesAreRefused_data();
    void uncheckableEntriesAreRefused();
    void damagedStoredDataIsRefused_data();
    void damagedStoredDataIsRefused();
    void archiveThatIsNoFile();
    void firstPartOfMultiPartArchive_data();
    void firstPartOfMultiPartArchive();

private:
    QTemporaryDir sandbox;
};

void TestUnRar::writtenArchivesRoundTrip_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::newRow("empty") << QStringList{};
    QTest::newRow("oneEntry") << QStringList{"Alpha.adl"};
    QTest::newRow("threeEntries") << QStringList{"Alpha.adl", "Beta.adl", "Gamma.adl"};
    QTest::newRow("titlesAndCovers")
        << QStringList{"Alpha.adl", "Alpha.adl.cover.jpg", "Beta.adl", "Beta.adl.cover.png"};
    QTest::newRow("unicodeName") << QStringList{QString::fromUtf8("Am\xc3\xa9lie.adl")};
}

void TestUnRar::writtenArchivesRoundTrip()
{
    QFETCH(QStringList, names);
    const QString path = sandbox.filePath(QString(QTest::currentDataTag()) + ".rar");
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        RarWriter writer(&file);
        for (const QString& name : names)
            QVERIFY(writer.addFile(name, "content of " + name.toUtf8() + QByteArray(3000, 'x'), 0));
        QVERIFY(writer.finish());
    }

    UnRar unrar;
    QList<UnRar::Pass> events;
    unrar.FileDone = [&](UnRar::Pass pass, const QString&) {
        events << pass;
    };
    QVERIFY2(unrar.ListArchive(path), qPrintable(unrar.errorString()));
    QCOMPARE(events, QList<UnRar::Pass>(names.size(), UnRar::Pass::Listing));

    events.clear();
    const QString folder = sandbox.filePath(QString(QTest::currentDataTag()) + "-out");
    QVERIFY2(unrar.ExtractArchive(path, folder), qPrintable(unrar.errorString()));
    QCOMPARE(events, QList<UnRar::Pass>(names.size(), UnRar::Pass::Extracting));
    QStringList sorted = names;
    sorted.sort();
    QCOMPARE(filesUnder(folder), sorted);
    for (const QString& name : names)
        QCOMPARE(contentOf(QDir(folder).filePath(name)),
                 "content of " + name.toUtf8() + QByteArray(3000, 'x'));
}

void TestUnRar::otherReadersAcceptOurArchives_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("bsdtar") << "bsdtar" << QStringList{"-tvf"};
    QTest::newRow("7z") << "7z" << QStringList{"t"};
    QTest::newRow("lsar") << "lsar" << QStringList{"-t"};
}

void TestUnRar::otherReadersAcceptOurArchives()
{
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    if (program == "7z" && QStandardPaths::findExecutable(program).isEmpty())
        program = "7zz"; // the 7zip package's name for it
    if (QStandardPaths::findExecutable(program).isEmpty())
        QSKIP("this reader is not installed (scripts/test installs it)");
    const QString path = sandbox.filePath("for-" + program + ".rar");
    QVERIFY(writeArchive(path, {fileEntry("Alpha.adl", QByteArray(5000, 'a')),
                                fileEntry("Alpha.adl.cover.jpg", QByteArray(70000, '\xff')),
                                fileEntry("Beta.adl", "")}));
    QProcess reader;
    reader.start(program, arguments << path);
    QVERIFY(reader.waitForFinished(60000));
    const QByteArray output = reader.readAllStandardOutput() + reader.readAllStandardError();
    QVERIFY2(reader.exitStatus() == QProcess::NormalExit && reader.exitCode() == 0,
             output.constData());
    QVERIFY2(output.contains("Alpha.adl.cover.jpg") || program.startsWith("7z"),
             output.constData());
    if (program.startsWith("7z"))
        QVERIFY2(output.contains("Everything is Ok"), output.constData());
}

void TestUnRar::hostileEntriesAreNeverWritten_data()
{
    QTest::addColumn<RarWriter::Entry>("entry");
    QTest::addColumn<QString>("reason");
    QTest::newRow("dotdot") << fileEntry("../escaped.adl", "x") << "climbs out";
    QTest::newRow("dotdotInside") << fileEntry("sub/../../escaped.adl", "x") << "climbs out";
    QTest::newRow("absolute") << fileEntry(sandbox.filePath("absolute.adl"), "x") << "absolute";
    QTest::newRow("symlink") << linkEntry("link.adl", RarWriter::Link::UnixSymlink, "/etc/passwd")
                             << "symbolic link";
    QTest::newRow("windowsSymlink")
        << linkEntry("wlink.adl", RarWriter::Link::WindowsSymlink, "..\\..\\x") << "symbolic link";
    QTest::newRow("hardlink") << linkEntry("hard.adl", RarWriter::Link::HardLink, "first.adl")
                              << "hard link";
    RarWriter::Entry device = fileEntry("device.adl", {});
    device.unixMode = 020644;
    QTest::newRow("device") << device << "special file";
}

void TestUnRar::hostileEntriesAreNeverWritten()
{
    QFETCH(RarWriter::Entry, entry);
    QFETCH(QString, reason);
    QTemporaryDir work;
    const QString path = work.filePath("hostile.rar");
    QVERIFY(
        writeArchive(path, {fileEntry("first.adl", "first"), entry, fileEntry("last.adl", "x")}));

    UnRar unrar;
    QVERIFY(unrar.ListArchive(path));
    QVERIFY2(unrar.unsafeEntry().contains(reason), qPrintable(unrar.unsafeEntry()));

    const QString folder = work.filePath("deep/out");
    QVERIFY(!unrar.ExtractArchive(path, folder));
    QVERIFY2(unrar.errorString().contains(reason), qPrintable(unrar.errorString()));
    // Nothing but the archive and what came before the refused entry, inside the destination.
    const QStringList written = filesUnder(work.path());
    QVERIFY2(written == (QStringList{"deep", "deep/out", "deep/out/first.adl", "hostile.rar"}),
             qPrintable(written.join(", ")));
    QVERIFY(!QFile::exists(sandbox.filePath("absolute.adl")));
}

void TestUnRar::refusalNamesTheEntryItMet()
{
    QTemporaryDir work;
    QVERIFY(writeArchive(work.filePath("a.rar"), {fileEntry("../first.adl", "x")}));
    QVERIFY(writeArchive(work.filePath("b.rar"), {fileEntry("../second.adl", "x")}));
    UnRar unrar;
    QVERIFY(unrar.ListArchive(work.filePath("a.rar")));
    QVERIFY(!unrar.ExtractArchive(work.filePath("b.rar"), work.filePath("out")));
    QVERIFY2(unrar.errorString().contains("second.adl"), qPrintable(unrar.errorString()));
}

void TestUnRar::truncatedArchive()
{
    const QString path = sandbox.filePath("truncated.rar");
    QVERIFY(
        writeArchive(path, {fileEntry("a.adl", QByteArray(20000, 'a')), fileEntry("b.adl", "b")}));
    QFile file(path);
    QVERIFY(file.resize(file.size() - 15000));
    UnRar unrar;
    const bool listed = unrar.ListArchive(path);
    const bool extracted = listed && unrar.ExtractArchive(path, sandbox.filePath("truncated-out"));
    QVERIFY(!extracted);
    QVERIFY2(unrar.errorString().contains("truncated") || unrar.errorString().contains("damaged"),
             qPrintable(unrar.errorString()));
}

void TestUnRar::notAnArchive()
{
    const QString path = sandbox.filePath("plain.rar");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("this is not an archive");
    file.close();
    UnRar unrar;
    QVERIFY(!unrar.ListArchive(path));
    QCOMPARE(unrar.errorString(), QString("it is not a RAR archive"));
    QVERIFY(!unrar.ListArchive(sandbox.filePath("missing.rar")));
    QCOMPARE(unrar.errorString(), QString("the file does not exist"));
}

void TestUnRar::realArchives_data()
{
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("unsafe");
    QTest::newRow("rar5stored") << "test_read_format_rar5_stored.rar"
                                << QStringList{"helloworld.txt"} << "";
    QTest::newRow("rar5compressed")
        << "test_read_format_rar5_compressed.rar" << QStringList{"test.bin"} << "";
    QTest::newRow("rar5multiple") << "test_read_format_rar5_multiple_files.rar"
                                  << QStringList{"test1.bin", "test2.bin", "test3.bin", "test4.bin"}
                                  << "";
    QTest::newRow("rar5solid") << "test_read_format_rar5_solid.rar"
                               << QStringList{"test.bin",  "test1.bin", "test2.bin", "test3.bin",
                                              "test4.bin", "test5.bin", "test6.bin"}
                               << "";
    QTest::newRow("rar4symlink") << "test_read_format_rar.rar" << QStringList{}
                                 << "\"testlink\" is a symbolic link";
    QTest::newRow("rar4compressedSymlink") << "test_read_format_rar_compress_normal.rar"
                                           << QStringList{} << "\"testlink\" is a symbolic link";
    QTest::newRow("rar5symlink") << "test_read_format_rar5_symlink.rar" << QStringList{}
                                 << "\"symlink.txt\" is a symbolic link";
    QTest::newRow("rar5hardlink") << "test_read_format_rar5_hardlink.rar" << QStringList{}
                                  << "\"hardlink.txt\" is a hard link";
}

void TestUnRar::realArchives()
{
    SKIP_WITHOUT_SHARED_FIXTURES();
    QFETCH(QString, fixture);
    QFETCH(QStringList, files);
    QFETCH(QString, unsafe);
    UnRar unrar;
    QVERIFY2(unrar.ListArchive(sharedFixture(fixture)), qPrintable(unrar.errorString()));
    QCOMPARE(unrar.unsafeEntry(),
             unsafe.isEmpty()
                 ? QString()
                 : "its entry " + unsafe + "; Movra unpacks only plain files and folders");
    QTemporaryDir out;
    const bool extracted = unrar.ExtractArchive(sharedFixture(fixture), out.path());
    QCOMPARE(extracted, unsafe.isEmpty());
    if (extracted)
        QCOMPARE(filesUnder(out.path()), files);
}

void TestUnRar::unreadableRealArchives_data()
{
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<QString>("reason");
    QTest::newRow("rar4solid") << "test_read_format_rar4_solid_encrypted.rar"
                               << "solid RAR 4";
    QTest::newRow("rar4encrypted") << "test_read_format_rar_encryption_data.rar"
                                   << "encrypted";
    QTest::newRow("rar5encryptedHeaders") << "test_read_format_rar5_encrypted_filenames.rar"
                                          << "encrypted";
    QTest::newRow("rar4truncated") << "test_read_format_rar_invalid1.rar"
                                   << "truncated";
}

void TestUnRar::unreadableRealArchives()
{
    SKIP_WITHOUT_SHARED_FIXTURES();
    QFETCH(QString, fixture);
    QFETCH(QString, reason);
    UnRar unrar;
    QTemporaryDir out;
    const bool ok = unrar.ListArchive(sharedFixture(fixture)) &&
                    unrar.ExtractArchive(sharedFixture(fixture), out.path());
    QVERIFY(!ok);
    QVERIFY2(unrar.errorString().contains(reason), qPrintable(unrar.errorString()));
}

void TestUnRar::directoryEntriesRoundTrip()
{
    const QString path = sandbox.filePath("directories.rar");
    RarWriter::Entry folder = fileEntry("extras", {});
    folder.directory = true;
    QVERIFY(writeArchive(path, {fileEntry("a.adl", "a"), folder, fileEntry("extras/b.txt", "b")}));
    UnRar unrar;
    QVERIFY2(unrar.ListArchive(path), qPrintable(unrar.errorString()));
    QTemporaryDir out;
    QVERIFY2(unrar.ExtractArchive(path, out.path()), qPrintable(unrar.errorString()));
    QCOMPARE(filesUnder(out.path()), (QStringList{"a.adl", "extras", "extras/b.txt"}));
}

// Links and hard links put into the folder before or while it is filled are replaced or refused,
// never written through: what they point to keeps its content.
void TestUnRar::neverWritesThroughWhatIsInTheWay()
{
#ifndef Q_OS_UNIX
    QSKIP(qPrintable(SystemCases::noLinks()));
#else
    QTemporaryDir elsewhere;
    QFile precious(elsewhere.filePath("precious.txt"));
    QVERIFY(precious.open(QIODevice::WriteOnly));
    precious.write("keep me");
    precious.close();
    const QString path = sandbox.filePath("in-the-way.rar");
    QVERIFY(writeArchive(path, {fileEntry("a.adl", "new a"), fileEntry("b.adl", "new b"),
                                fileEntry("extras/c.txt", "new c")}));

    // A symbolic link and a hard link where two of the entries go.
    QTemporaryDir out;
    QVERIFY(QFile::link(elsewhere.filePath("precious.txt"), out.filePath("a.adl")));
    QCOMPARE(::link(QFile::encodeName(elsewhere.filePath("precious.txt")).constData(),
                    QFile::encodeName(out.filePath("b.adl")).constData()),
             0);
    UnRar unrar;
    QVERIFY2(unrar.ExtractArchive(path, out.path()), qPrintable(unrar.errorString()));
    QCOMPARE(contentOf(out.filePath("a.adl")), QByteArray("new a"));
    QCOMPARE(contentOf(out.filePath("b.adl")), QByteArray("new b"));
    QVERIFY(!QFileInfo(out.filePath("a.adl")).isSymLink());
    QCOMPARE(contentOf(elsewhere.filePath("precious.txt")), QByteArray("keep me"));

    // A folder on an entry's path that is a link to a folder elsewhere is refused.
    QTemporaryDir second;
    QVERIFY(QFile::link(elsewhere.path(), second.filePath("extras")));
    QVERIFY(!unrar.ExtractArchive(path, second.path()));
    QVERIFY2(unrar.errorString().contains("extras/c.txt cannot be written"),
             qPrintable(unrar.errorString()));
    QCOMPARE(QDir(elsewhere.path()).entryList(QDir::Files), QStringList{"precious.txt"});
#endif
}

// libarchive takes a header it cannot finish for the end of the archive; the headers of our own
// reading tell that entries are missing.
void TestUnRar::cutInsideAHeader()
{
    const QString path = sandbox.filePath("cut-header.rar");
    QVERIFY(writeArchive(
        path, {fileEntry("a.adl", "first"), fileEntry(QString(200, u'b') + ".adl", "second")}));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    file.close();
    const qsizetype secondName = bytes.indexOf(QByteArray(200, 'b'));
    QVERIFY(secondName > 0);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes.left(secondName + 100)); // ends in the middle of the second name
    file.close();
    UnRar unrar;
    QTemporaryDir out;
    const bool extracted = unrar.ListArchive(path) && unrar.ExtractArchive(path, out.path());
    QVERIFY(!extracted);
    QVERIFY2(unrar.errorString().contains("truncated") || unrar.errorString().contains("damaged"),
             qPrintable(unrar.errorString()));
}

// Inputs the archive fuzzer once failed on: each is refused with a reason, in one process, in the
// order that once made libarchive end the process (a failed huge allocation, then a name that
// cannot be converted).
void TestUnRar::fuzzFindingsEndCleanly()
{
    const QDir findings(QStringLiteral(MOVRA_FUZZ_REGRESSIONS));
    const QList<std::pair<QString, bool>> inputs = {
        {"libarchive-rar5-name-size-alloc.rar", true},
        {"libarchive-non-utf8-name-after-enomem.rar", false}, // readable; the process must live
        {"checksums-name-size-overflow.rar", true},
        {"checksums-name-size-overflow-after-title.rar", true}};
    for (const auto& [input, refused] : inputs) {
        QVERIFY2(findings.exists(input), qPrintable(input));
        UnRar unrar;
        QTemporaryDir out;
        const QString path = findings.filePath(input);
        const bool extracted = unrar.ListArchive(path) && unrar.ExtractArchive(path, out.path());
        if (refused) {
            QVERIFY2(!extracted, qPrintable(input));
            QVERIFY2(!unrar.errorString().isEmpty(), qPrintable(input));
        }
        for (const QString& file : filesUnder(out.path()))
            QVERIFY2(QFileInfo(out.filePath(file)).isFile() ||
                         QFileInfo(out.filePath(file)).isDir(),
                     qPrintable(file));
    }
}

// libarchive ends the process (exit status 1) when a name cannot be converted while errno says
// "out of memory", as a failed allocation before may have left it; the reader must not let a
// stale errno reach it.
void TestUnRar::staleOutOfMemoryIsHarmless()
{
    const QString path = QDir(QStringLiteral(MOVRA_FUZZ_REGRESSIONS))
                             .filePath("libarchive-non-utf8-name-after-enomem.rar");
    UnRar unrar;
    int events = 0;
    unrar.FileDone = [&](UnRar::Pass, const QString&) {
        ++events;
    };
    QTemporaryDir out;
    errno = ENOMEM;
    QVERIFY2(unrar.ListArchive(path), qPrintable(unrar.errorString()));
    QCOMPARE(events, 1);
    errno = ENOMEM;
    QVERIFY2(unrar.ExtractArchive(path, out.path()), qPrintable(unrar.errorString()));
    const QStringList files = filesUnder(out.path());
    QCOMPARE(files.size(), 1); // its one title file, under a name made readable
    QVERIFY2(files[0].startsWith("bad") && files[0].endsWith(".adl"), qPrintable(files[0]));
}

// libarchive does not check the data of stored entries; a flipped byte must still be caught,
// wherever it lies in the entry, while the same archive undamaged is read whole.
void TestUnRar::damagedStoredDataIsRefused_data()
{
    QTest::addColumn<QString>("fixture"); // empty: an archive of our own writer
    QTest::addColumn<QByteArray>("data"); // stored data of the first entry, to damage
    QTest::addColumn<int>("damageAt");    // where in data the damaged byte lies
    QTest::newRow("ours") << "" << QByteArray("the first title file's text") << 3;
    // Larger than the 64 KiB the reader takes at a time: the checksum runs over every block.
    QByteArray large(100000, Qt::Uninitialized);
    for (qsizetype i = 0; i < large.size(); ++i)
        large[i] = char('a' + i % 23);
    QTest::newRow("oursSecondBlock") << "" << large << 70000;
    QTest::newRow("rar5") << "test_read_format_rar5_stored.rar" << QByteArray("hello libarchive")
                          << 3;
    QTest::newRow("rar4") << "test_read_format_rar.rar" << QByteArray("test text document") << 3;
}

void TestUnRar::damagedStoredDataIsRefused()
{
    QFETCH(QString, fixture);
    QFETCH(QByteArray, data);
    QFETCH(int, damageAt);
    const QString path = sandbox.filePath(QString("damaged-%1.rar").arg(QTest::currentDataTag()));
    if (fixture.isEmpty()) {
        QVERIFY(writeArchive(path, {fileEntry("a.adl", data), fileEntry("b.adl", "b")}));
    } else {
        SKIP_WITHOUT_SHARED_FIXTURES();
        QFile::remove(path);
        QVERIFY(QFile::copy(sharedFixture(fixture), path));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    }
    if (fixture.isEmpty()) { // the shared rar4 one holds a link, which refuses it whole
        UnRar unrar;
        QTemporaryDir intact;
        QVERIFY2(unrar.ExtractArchive(path, intact.path()), qPrintable(unrar.errorString()));
        QCOMPARE(contentOf(intact.filePath("a.adl")), data);
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    const qsizetype at = bytes.indexOf(data);
    QVERIFY(at > 0);
    bytes[at + damageAt] = char(bytes[at + damageAt] ^ 0x20);
    QVERIFY(file.seek(0));
    file.write(bytes);
    file.close();

    UnRar unrar;
    QTemporaryDir out;
    QVERIFY(!unrar.ExtractArchive(path, out.path()));
    QVERIFY2(unrar.errorString().contains("does not match its checksum"),
             qPrintable(unrar.errorString()));
}

// Entries whose data cannot be taken as it stands are refused before anything is unpacked, the
// listing naming why, even where the archive reader lets them through.
void TestUnRar::uncheckableEntriesAreRefused_data()
{
    QTest::addColumn<RarWriter::Entry>("entry");
    QTest::addColumn<QString>("reason");
    RarWriter::Entry encrypted = fileEntry("secret.adl", "ciphertext as it would be");
    encrypted.encryptionRecord = true;
    QTest::newRow("encrypted") << encrypted << "it is encrypted, and Movra cannot read encrypted";
    encrypted.blake2InsteadOfCrc = true;
    QTest::newRow("encryptedWithHash") << encrypted << "it is encrypted";
    RarWriter::Entry hashed = fileEntry("hashed.adl", "text");
    hashed.blake2InsteadOfCrc = true;
    QTest::newRow("blake2Only") << hashed << "\"hashed.adl\" has no CRC32 checksum (only a BLAKE2";
    RarWriter::Entry huge = fileEntry("huge.adl", "text");
    huge.dictionaryShift = 10; // 128 MiB
    QTest::newRow("dictionaryBeyondReader") << huge << "dictionary larger than Movra can unpack";
}

void TestUnRar::uncheckableEntriesAreRefused()
{
    QFETCH(RarWriter::Entry, entry);
    QFETCH(QString, reason);
    QTemporaryDir work;
    const QString path = work.filePath("sealed.rar");
    QVERIFY(
        writeArchive(path, {fileEntry("first.adl", "first"), entry, fileEntry("last.adl", "x")}));
    UnRar unrar;
    QVERIFY(!unrar.ListArchive(path));
    QVERIFY2(unrar.errorString().contains(reason), qPrintable(unrar.errorString()));
    QTemporaryDir out;
    QVERIFY(!unrar.ExtractArchive(path, out.path()));
    QVERIFY2(unrar.errorString().contains(reason), qPrintable(unrar.errorString()));
    QCOMPARE(filesUnder(out.path()), QStringList());
}

// What stands where the archive should be is said in plain words, and never blocks a start.
void TestUnRar::archiveThatIsNoFile()
{
    QTemporaryDir folder;
    QVERIFY(QDir(folder.path()).mkpath("data.rar"));
    UnRar unrar;
    QVERIFY(!unrar.ListArchive(folder.filePath("data.rar")));
    QCOMPARE(unrar.errorString(), QString("it is a folder, not an archive"));
    SKIP_UNLESS_SYSTEM_CAN(SystemCases::noSpecialFiles()); // the rest: pipes
    const QString pipe = folder.filePath("pipe.rar");
    QCOMPARE(QProcess::execute("mkfifo", {pipe}), 0);
    QVERIFY(!unrar.ListArchive(pipe));
    QCOMPARE(unrar.errorString(), QString("it is not a regular file"));
    QVERIFY(QFile::link(pipe, folder.filePath("link.rar")));
    QVERIFY(!unrar.ListArchive(folder.filePath("link.rar")));
    QCOMPARE(unrar.errorString(), QString("it is not a regular file"));
}

// The first part of an archive split over several files, marked as one in its main header: RAR 5
// in the archive flags, RAR 4 in the header flags, each header under its own checksum.
void TestUnRar::firstPartOfMultiPartArchive_data()
{
    QTest::addColumn<QString>("fixture"); // empty: an archive of our own writer (RAR 5)
    QTest::newRow("rar5") << "";
    QTest::newRow("rar4") << "test_read_format_rar.rar";
}

void TestUnRar::firstPartOfMultiPartArchive()
{
    QFETCH(QString, fixture);
    QByteArray bytes;
    if (fixture.isEmpty()) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        RarWriter writer(&buffer);
        writer.addFile("a.adl", "a", 0);
        writer.finish();
        // Signature, CRC32, size 3, then type 1, header flags 0 and archive flags.
        bytes = buffer.data();
        QCOMPARE(bytes.mid(12, 4), QByteArray("\x03\x01\x00\x00", 4));
        bytes[15] = 0x01;
        const quint32 crc = crc32(bytes.mid(12, 4));
        for (int i = 0; i < 4; ++i)
            bytes[8 + i] = char(crc >> (8 * i));
    } else {
        SKIP_WITHOUT_SHARED_FIXTURES();
        QFile file(sharedFixture(fixture));
        QVERIFY(file.open(QIODevice::ReadOnly));
        bytes = file.readAll();
        // After the 7-byte marker: CRC16, type 0x73, flags, size, then the rest of the header.
        QCOMPARE(bytes.at(9), char(0x73));
        const int size = uchar(bytes[12]) | (uchar(bytes[13]) << 8);
        bytes[10] = char(bytes[10] | 0x01);
        const quint32 crc = crc32(bytes.mid(9, size - 2));
        bytes[7] = char(crc);
        bytes[8] = char(crc >> 8);
    }
    const QString path = sandbox.filePath(QString("part1-%1.rar").arg(QTest::currentDataTag()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    UnRar unrar;
    QTemporaryDir out;
    QVERIFY(!unrar.ListArchive(path));
    QVERIFY2(unrar.errorString().contains("one part of a multi-part archive"),
             qPrintable(unrar.errorString()));
    QVERIFY(!unrar.ExtractArchive(path, out.path()));
    QCOMPARE(QDir(out.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList());
}

QTEST_GUILESS_MAIN(TestUnRar)
#include "tst_unrar.moc"

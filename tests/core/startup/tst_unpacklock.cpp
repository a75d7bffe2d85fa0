#include "core/startup/lockholding.h"
#include "core/startup/thiscomputer.h"
#include "core/startup/unpacklock.h"

#include "support/catalogbuilder.h"
#include "support/systemcases.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <thread>

// The lock that lets one start at a time unpack: what it takes over, what it refuses, and how
// long it waits.
class TestUnpackLock : public QObject {
    Q_OBJECT

private slots:
    void takesOverOrRefuses_data();
    void takesOverOrRefuses();
    void waitsWhileHeldHere();
};

void TestUnpackLock::takesOverOrRefuses_data()
{
    QTest::addColumn<QByteArray>("contents"); // of the lock file; "(folder)" for a folder
    QTest::addColumn<QString>("refusal");     // empty: the lock is taken
    // A start cut off while making its lock leaves it empty: taken over after a moment, not
    // after the half minute that another computer's lock is waited for.
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("garbage") << QByteArray("not a lock at all") << QString();
    // A start of this computer that has ended: taken over at once.
    QTest::newRow("endedStart") << QByteArray("999999999\nmovra\n") +
                                       ThisComputer::nameInLockFiles().toUtf8() + "\n"
                                << QString();
    QTest::newRow("folder") << QByteArray("(folder)") << "is a folder; move it away";
    // Windows: a start still running that could not remove its lock (a removal that met the file
    // open for a moment elsewhere fails there) left it behind, and no one holds it.
    QTemporaryDir probe;
    if (writeBytes(probe.filePath("closed"), "x") &&
        LockHolding::isLeftOver(probe.filePath("closed")))
        QTest::newRow("leftOverByRunningStart")
            << QByteArray::number(QCoreApplication::applicationPid()) + "\n" +
                   QCoreApplication::applicationName().toUtf8() + "\n" +
                   ThisComputer::nameInLockFiles().toUtf8() + "\n"
            << QString();
}

void TestUnpackLock::takesOverOrRefuses()
{
    QFETCH(QByteArray, contents);
    QFETCH(QString, refusal);
    QTemporaryDir program;
    const QString path = program.filePath("db.lock");
    if (contents == "(folder)")
        QVERIFY(QDir().mkpath(path));
    else
        QVERIFY(writeBytes(path, contents));
    UnpackLock lock(path);
    int waits = 0;
    QElapsedTimer taking;
    taking.start();
    const QString refused = lock.take([&](const QString&) { ++waits; });
    QVERIFY2(refused.contains(refusal) && refused.isEmpty() == refusal.isEmpty(),
             qPrintable(refused));
    // Well before the 30 seconds another computer's lock is waited for.
    QVERIFY2(taking.elapsed() < 15000, qPrintable(QString::number(taking.elapsed())));
    QCOMPARE(waits, 0);
}

// Held by a start of this computer: waited for as long as it is held, said once.
void TestUnpackLock::waitsWhileHeldHere()
{
    QTemporaryDir program;
    const QString path = program.filePath("db.lock");
    auto other = std::make_unique<QLockFile>(path);
    QVERIFY(other->lock());
    // Told from another computer's by the name Qt records, which is not the host name on every
    // platform: otherwise a start here would be waited for only half a minute.
    QString host;
    QVERIFY(other->getLockInfo(nullptr, &host, nullptr));
    QVERIFY2(ThisComputer::isNamed(host), qPrintable(host));
    UnpackLock lock(path);
    QVERIFY(!lock.tryTake());
    QStringList told;
    QTimer::singleShot(1500, this, [&] { other.reset(); });
    // The release comes through the event loop: wait on another thread for the lock meanwhile.
    QString refused = QStringLiteral("not asked");
    std::thread taker([&] { refused = lock.take([&](const QString& status) { told << status; }); });
    QTRY_VERIFY_WITH_TIMEOUT(!other, 5000);
    taker.join();
    QCOMPARE(refused, QString());
    QCOMPARE(told, QStringList{"Waiting for another start of Movra to finish unpacking…"});
}

QTEST_GUILESS_MAIN(TestUnpackLock)
#include "tst_unpacklock.moc"

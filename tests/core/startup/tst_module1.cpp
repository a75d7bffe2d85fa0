#include "core/startup/module1.h"

#include <QTest>

class TestModule1 : public QObject {
    Q_OBJECT

private slots:
    void ensureTrailingSlash_data();
    void ensureTrailingSlash();
};

void TestModule1::ensureTrailingSlash_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
#ifdef Q_OS_WIN
    QTest::newRow("folder") << "C:\\Movies"
                            << "C:\\Movies\\";
    QTest::newRow("driveRoot") << "D:\\"
                               << "D:\\";
    QTest::newRow("empty") << ""
                           << "\\";
    QTest::newRow("forwardSlashStillGetsBackslash") << "C:/Movies/"
                                                    << "C:/Movies/\\";
#else
    QTest::newRow("folder") << "/opt/movies"
                            << "/opt/movies/";
    QTest::newRow("root") << "/"
                          << "/";
    QTest::newRow("empty") << ""
                           << "/";
    QTest::newRow("backslashIsNoSeparator") << "/opt/movies\\"
                                            << "/opt/movies\\/";
#endif
}

void TestModule1::ensureTrailingSlash()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(EnsureTrailingSlash(path), expected);
    // Joining a file name never doubles the separator, at a root or elsewhere.
    QVERIFY(!(EnsureTrailingSlash(path) + "db").contains(QString(2, pathSeparator())));
}

QTEST_GUILESS_MAIN(TestModule1)
#include "tst_module1.moc"

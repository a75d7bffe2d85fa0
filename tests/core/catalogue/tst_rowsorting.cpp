#include "core/catalogue/rowsorting.h"

#include <QLocale>
#include <QScopeGuard>
#include <QTest>

namespace {

QStringList sorted(const QStringList& texts, RowSorting::Direction direction)
{
    const std::vector<int> order = RowSorting::sortedPositions(
        int(texts.size()),
        [&](int i, qsizetype maxChars) {
            return maxChars < 0 ? texts[i] : texts[i].left(maxChars + 1);
        },
        direction);
    QStringList result;
    for (int i : order)
        result << texts[i];
    return result;
}

} // namespace

// The order of the list's rows when sorted by a column. CTest runs this under C.UTF-8 and again
// under the plain C locale: the order must not depend on the machine's locale.
class TestRowSorting : public QObject {
    Q_OBJECT

private slots:
    void sortOrder_data();
    void sortOrder();
    void longTextsTieOnPrefix();
};

void TestRowSorting::sortOrder_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<bool>("descending");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("ignoresCase") << QStringList{"beta", "Alpha", "gamma", "Beta2"} << false
                                 << QStringList{"Alpha", "beta", "Beta2", "gamma"};
    QTest::newRow("descending") << QStringList{"b", "C", "a"} << true << QStringList{"C", "b", "a"};
    QTest::newRow("numbersAsText")
        << QStringList{"9", "10", "100", "2"} << false << QStringList{"10", "100", "2", "9"};
    // One-digit days are not padded, so dates of one month sort 1, 10-19, 2, 20-29, 3, 30, 31, 4...
    QTest::newRow("releaseDates") << QStringList{"2002034",  "20020312", "2002031", "200203",
                                                 "20020330", "2002032",  "20020321"}
                                  << false
                                  << QStringList{"200203",   "2002031",  "20020312", "2002032",
                                                 "20020321", "20020330", "2002034"};
    QTest::newRow("stableAscending")
        << QStringList{"x", "X", "a", "x "} << false << QStringList{"a", "x", "X", "x "};
    QTest::newRow("stableDescending")
        << QStringList{"x", "a", "X"} << true << QStringList{"x", "X", "a"};
    // More equal cells than a sort handles by insertion alone (16): the 32 spellings of "movra"
    // keep the order they came in, between a title before them and one after.
    QStringList spellings;
    for (int upper = 0; upper < 32; ++upper) {
        QString word("movra");
        for (int letter = 0; letter < 5; ++letter) {
            if (upper & (1 << letter))
                word[letter] = word[letter].toUpper();
        }
        spellings << word;
    }
    QTest::newRow("stableManyEqual")
        << QStringList{"zulu"} + spellings + QStringList{"alpha"} << false
        << QStringList{"alpha"} + spellings + QStringList{"zulu"};
    QTest::newRow("stableManyEqualDescending")
        << QStringList{"alpha"} + spellings + QStringList{"zulu"} << true
        << QStringList{"zulu"} + spellings + QStringList{"alpha"};
    QTest::newRow("punctuationAndDigits") << QStringList{"b", "\"Quoted\"", "1 Up", "a"} << false
                                          << QStringList{"\"Quoted\"", "1 Up", "a", "b"};
    // Only the first 256 characters count: cells alike for longer keep their order.
    const QString alike(RowSorting::comparedCharacters, u'm');
    QTest::newRow("alikeBeyondWhatCounts")
        << QStringList{alike + "z", "n", alike + "a", "l"} << false
        << QStringList{"l", alike + "z", alike + "a", "n"};
    QTest::newRow("accentsLocaleAware") << QStringList{"Zoe", "\u00C9mile", "Eve"} << false
                                        << QStringList{"\u00C9mile", "Eve", "Zoe"};
}

void TestRowSorting::sortOrder()
{
    QFETCH(QStringList, texts);
    QFETCH(bool, descending);
    QFETCH(QStringList, expected);
    // Accented letters sort among their base letters in a real locale (the C locale sorts by
    // code point).
    const QLocale before;
    if (QByteArray(QTest::currentDataTag()) == "accentsLocaleAware")
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    auto restore = qScopeGuard([&] { QLocale::setDefault(before); });
    QCOMPARE(sorted(texts, descending ? RowSorting::Direction::Descending
                                      : RowSorting::Direction::Ascending),
             expected);
}

void TestRowSorting::longTextsTieOnPrefix()
{
    const QString prefix(200, u'r');
    const QStringList texts = {prefix + "b", prefix + "a", prefix + "A", "q"};
    QCOMPARE(sorted(texts, RowSorting::Direction::Ascending),
             (QStringList{"q", prefix + "a", prefix + "A", prefix + "b"}));
}

QTEST_GUILESS_MAIN(TestRowSorting)
#include "tst_rowsorting.moc"

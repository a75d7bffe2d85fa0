#include "core/catalogue/titlesearch.h"

#include "support/rowbuilder.h"

#include <QTest>

namespace {

// Title, then Starring to Customer Reviews.
const QList<QStringList> catalogue = {
    {"Am\u00e9lie", "Audrey Tautou", "Jean-Pierre Jeunet", "25 April, 2001", "Miramax", "Comedy",
     "Widescreen", "R", "4 of 5", "\"Sublime\", a fan"},
    {"Les \u00c9toiles", "Ann Lee", "Marek Brandt", "3 June, 1954", "Eagle", "Horror"},
    {"The Big Lebowski", "Jeff Bridges, John Goodman", "Joel Coen", "", "", "Comedy", "", "R"},
    {"Big Fish", "Ewan McGregor", "Tim Burton", "", "", "Fantasy", "", "", "5 of 5"},
    {"A Big Night", "Ann Lebowski", "", "", "", "Comedy"},
    {"The 12\" Cut", "", "", "9 May, 1999", "", "Horror"},
    // A soft hyphen (Windows-1252 0xAD), which shows only at a line break and is never typed.
    {"Sum\u00admer in Zodiac", "", "", "", "", "Drama"},
    // All ASCII, which the index folds on a path of its own.
    {"THE QUICK BROWN FOX JUMPS OVER A LAZY DOG", "", "", "", "", "Drama"},
};

QStringList titlesOf(const std::vector<int>& entries)
{
    QStringList titles;
    for (int entry : entries)
        titles << catalogue[entry].first();
    return titles;
}

TitleSearch searchOverCatalogue()
{
    TitleSearch search;
    for (int i = 0; i < catalogue.size(); ++i)
        search.addRow(catalogueRow(i + 1, catalogue[i].first(), catalogue[i].mid(1)));
    return search;
}

} // namespace

// Which titles the find field shows for what is typed into it.
class TestTitleSearch : public QObject {
    Q_OBJECT

private slots:
    void finds_data();
    void finds();
    void typingForwardAndBackAgrees();
};

void TestTitleSearch::finds_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("found");
    const QStringList everything = titlesOf({0, 1, 2, 3, 4, 5, 6, 7});
    QTest::newRow("wordsInDifferentFields")
        << "big lebowski" << QStringList{"The Big Lebowski", "A Big Night"};
    QTest::newRow("everyWordRequired") << "ann horror" << QStringList{"Les \u00c9toiles"};
    QTest::newRow("anyOrderYearAndGenre") << "1954 horror" << QStringList{"Les \u00c9toiles"};
    QTest::newRow("sharedFieldsAfterEmptyOnes")
        << "comedy" << QStringList{"Am\u00e9lie", "The Big Lebowski", "A Big Night"};
    QTest::newRow("accentsIgnored") << "amelie" << QStringList{"Am\u00e9lie"};
    QTest::newRow("caseAndAccentsIgnored") << "ETOILES" << QStringList{"Les \u00c9toiles"};
    QTest::newRow("accentTyped") << "L\u00c9BOWSKI"
                                 << QStringList{"The Big Lebowski", "A Big Night"};
    QTest::newRow("compatibilityForms") << "\ufb01sh" << QStringList{"Big Fish"};
    QTest::newRow("partOfWord") << "owsk" << QStringList{"The Big Lebowski", "A Big Night"};
    QTest::newRow("quotedPhrase") << "\"big lebowski\"" << QStringList{"The Big Lebowski"};
    QTest::newRow("phraseAndWord") << "1954 \"ann lee\"" << QStringList{"Les \u00c9toiles"};
    QTest::newRow("phraseWithinOneField") << "\"fish ewan\"" << QStringList{};
    QTest::newRow("phraseWithinOneGenre") << "\"comedy horror\"" << QStringList{};
    QTest::newRow("wordWithinOneField") << "lebowskijeff" << QStringList{};
    QTest::newRow("loneQuoteLiteral") << "12\"" << QStringList{"The 12\" Cut"};
    QTest::newRow("loneQuoteBeforeWord") << "\"big" << QStringList{};
    QTest::newRow("reviewsNotSearched") << "sublime" << QStringList{};
    QTest::newRow("controlCharactersSeparate")
        << "big\x01\tlebowski" << QStringList{"The Big Lebowski", "A Big Night"};
    QTest::newRow("invisibleCharactersLeftOut") << "summer zodiac" << titlesOf({6});
    QTest::newRow("invisibleCharactersTyped") << "zo\u200bdiac sum\u00admer" << titlesOf({6});
    QTest::newRow("everyAsciiLetterFolded")
        << "\"the quick brown fox jumps over a lazy dog\"" << titlesOf({7});
    QTest::newRow("onlyBlanks") << " \t \u00a0 " << everything;
    QTest::newRow("emptyPhrase") << "\"  \"" << everything;
    QTest::newRow("tenThousandLetters") << QString(10000, u'x') << QStringList{};
    QTest::newRow("tenThousandWords") << QString("big ").repeated(2500)
                                      << QStringList{"The Big Lebowski", "Big Fish", "A Big Night"};
    QTest::newRow("tenThousandQuotes") << QString(10000, u'"') << everything;
}

void TestTitleSearch::finds()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, found);
    TitleSearch search = searchOverCatalogue();
    QCOMPARE(titlesOf(search.find(typed)), found);
}

// The answers kept from earlier queries give the same titles as a search from scratch.
void TestTitleSearch::typingForwardAndBackAgrees()
{
    const QString full = QStringLiteral("\"big lebowski\" R");
    QStringList sequence;
    for (qsizetype n = 1; n <= full.size(); ++n)
        sequence << full.left(n);
    for (qsizetype n = full.size() - 1; n >= 1; --n)
        sequence << full.left(n);
    sequence << "ann"
             << "ann lee"
             << "ann"
             << "an"
             << "ann horror"
             << "horror";
    TitleSearch typing = searchOverCatalogue();
    for (const QString& typed : sequence) {
        TitleSearch fresh = searchOverCatalogue();
        QCOMPARE(titlesOf(typing.find(typed)), titlesOf(fresh.find(typed)));
    }
}

QTEST_GUILESS_MAIN(TestTitleSearch)
#include "tst_titlesearch.moc"

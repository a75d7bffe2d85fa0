#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <vector>

// What the user typed into the find field, read as the texts a title must all contain: every
// blank-separated word, and every "quoted phrase" as it stands. A quote without a partner is an
// ordinary character. Only blanks (or nothing) ask for every title.
//
// Texts are compared folded: letter case and accents do not count. The titles' own texts go
// through the same fold before they are searched, so both sides always agree.
class SearchQuery {
public:
    SearchQuery() = default;
    explicit SearchQuery(QStringView typed);

    // Compatibility decomposition, combining marks and invisible format characters (a soft hyphen)
    // dropped, case folded; every blank and control character becomes one plain space. Never longer
    // in characters than the decomposed text.
    static QString fold(QStringView text);
    // The same fold on UTF-8, with a quick path for text that is all ASCII.
    static QByteArray foldUtf8(QByteArrayView text);

    // Folded UTF-8, longest first, no two alike; none holds a control character.
    const std::vector<QByteArray>& needles() const { return texts; }
    bool findsEverything() const { return texts.empty(); }
    // True when every title this query finds is among those broader finds: each of broader's
    // needles lies inside one of ours. Conservative: false when unsure.
    bool narrows(const SearchQuery& broader) const;
    bool operator==(const SearchQuery& other) const { return texts == other.texts; }

private:
    void addNeedle(QStringView folded);
    void dropRedundantNeedles();

    std::vector<QByteArray> texts;
};

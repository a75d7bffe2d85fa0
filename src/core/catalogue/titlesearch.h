#pragma once

#include "core/catalogue/cataloguerow.h"
#include "core/catalogue/searchquery.h"

#include <QByteArray>

#include <deque>
#include <vector>

// Finds the titles whose searched fields hold every word of a query (see SearchQuery). Rows are
// added once, in any order, and are then known by their entry number, counted from 0 in the
// order they were added, so that sorting the list changes nothing here.
//
// The index is the folded text of the searched fields, one block for all rows; a field's text
// never runs into the next one's. Recent answers are kept, so that typing forward only checks the
// titles the previous query found, and deleting back finds its answer again.
class TitleSearch {
public:
    // The reviews are most of a catalogue's text, and would make almost every word match.
    static constexpr bool isSearched(TitleField field)
    {
        return field != TitleField::CustomerReviews;
    }

    void addRow(const CatalogueRow& row);
    int entryCount() const { return int(starts.size()) - 1; }

    // The entries that hold every needle of the query, in ascending order.
    std::vector<int> find(const QString& typed);

    // The bytes the index takes, and the bytes of the searched fields it was made from.
    qsizetype indexBytes() const;
    qsizetype searchedBytes() const { return sourceBytes; }

private:
    struct Answer {
        SearchQuery query;
        std::vector<int> entries;
    };

    const Answer* narrowestAnswerFor(const SearchQuery& query) const;
    std::vector<int> everyEntry() const;
    std::vector<int> entriesHolding(const QByteArray& needle) const;
    std::vector<int> entriesHolding(const QByteArray& needle,
                                    const std::vector<int>& candidates) const;
    void remember(const SearchQuery& query, const std::vector<int>& entries);

    QByteArray text;                // each field's folded text, followed by a separator
    std::vector<quint32> starts{0}; // where each entry begins, and where the text ends
    qsizetype sourceBytes = 0;
    std::deque<Answer> answers; // the most recent first
};

#pragma once

#include "core/catalogue/cataloguerow.h"
#include "core/catalogue/searchquery.h"
#include "core/catalogue/valuepool.h"

#include <QByteArray>

#include <array>
#include <deque>
#include <vector>

// The reviews are most of a catalogue's text, and would make almost every word match.
constexpr bool isSearchedField(TitleField field)
{
    return field != TitleField::CustomerReviews;
}

// Fields whose texts come from a short list that many titles share.
constexpr bool isSharedField(TitleField field)
{
    return field == TitleField::Manufacturer || field == TitleField::Genre ||
           field == TitleField::Features || field == TitleField::MpaaRating ||
           field == TitleField::CustomerRating;
}

constexpr int sharedFieldCount()
{
    int count = 0;
    for (const TitleFieldInfo& field : titleFields)
        count += isSharedField(field.field) ? 1 : 0;
    return count;
}

// Finds the titles whose searched fields hold every word of a query (see SearchQuery). Rows are
// added once, in any order, and are then known by their entry number, counted from 0 in the
// order they were added, so that sorting the list changes nothing here.
//
// The index is the folded text of the searched fields: the fields that differ from title to
// title in one block, and those that titles share (a studio, a genre) once each in a pool, so
// that the index stays smaller than the text it was made from. A field's text never runs into the
// next one's. Recent answers are kept, so that typing forward only checks the titles the previous
// query found, and deleting back finds its answer again.
class TitleSearch {
public:
    void addRow(const CatalogueRow& row);
    int entryCount() const { return int(starts.size()) - 1; }

    // The entries that hold every needle of the query, in ascending order.
    std::vector<int> find(const SearchQuery& query);
    std::vector<int> find(const QString& typed) { return find(SearchQuery(typed)); }

    // The bytes the index takes, and the bytes of the searched fields it was made from.
    qsizetype indexBytes() const;
    qsizetype searchedBytes() const { return sourceBytes; }

private:
    static constexpr int sharedCount = sharedFieldCount();

    struct Answer {
        SearchQuery query;
        std::vector<int> entries;
    };

    void compact();
    const Answer* narrowestAnswerFor(const SearchQuery& query) const;
    std::vector<int> everyEntry() const;
    // Candidates null: among every entry.
    std::vector<int> entriesHolding(const QByteArray& needle,
                                    const std::vector<int>* candidates) const;
    std::vector<int> entriesWithOwnText(const QByteArray& needle) const;
    std::vector<int> entriesWithOwnText(const QByteArray& needle,
                                        const std::vector<int>& candidates) const;
    void remember(const SearchQuery& query, const std::vector<int>& entries);

    QByteArray text;                // each title's own fields, folded, each followed by a separator
    std::vector<quint32> starts{0}; // where each entry begins in text, and where text ends
    std::array<ValuePool, sharedCount> shared;
    std::vector<quint16> sharedNumbers; // sharedCount per entry
    qsizetype sourceBytes = 0;
    std::deque<Answer> answers; // the most recent first
};

#pragma once

#include "core/catalogue/searchquery.h"
#include "core/catalogue/titlesearch.h"

#include <QString>

#include <vector>

class CatalogueModel;

// Which rows of the catalogue the find field lets through: every row while its query is blank,
// otherwise the rows whose searched fields hold every word of it (see SearchQuery). A row is known
// by its sequence number, the one identity it keeps wherever sorting moves it.
class CatalogueFilter {
public:
    // Takes the model's rows that the index does not know yet into it; quick when it knows them
    // all. The index is made only when something is to be found, as the find field first opens.
    void indexRows(const CatalogueModel& model);

    // Reads a query, once; true when it lets another set of rows through than the one before.
    bool setQuery(const QString& typed);
    bool findsEverything() const { return everything; }
    bool passes(int sequence) const;

private:
    bool evaluate();

    SearchQuery query;
    bool everything = true; // the rows passing are every row
    TitleSearch search;
    std::vector<int> sequenceOfEntry; // by the search's entry number
    std::vector<bool> indexed;        // by sequence number
    std::vector<bool> passing;        // by sequence number
};

#include "core/catalogue/cataloguefilter.h"

#include "core/catalogue/cataloguemodel.h"

void CatalogueFilter::indexRows(const CatalogueModel& model)
{
    if (search.entryCount() == model.rowCount())
        return;
    // The rows not known yet, wherever sorting has put them.
    for (int position = 0; position < model.rowCount(); ++position) {
        const CatalogueRow& row = model.row(position);
        const size_t sequence = size_t(qMax(0, row.sequenceNumber()));
        if (sequence >= indexed.size()) {
            indexed.resize(sequence + 1, false);
            passing.resize(sequence + 1, false);
        }
        if (indexed[sequence])
            continue;
        indexed[sequence] = true;
        search.addRow(row);
        sequenceOfEntry.push_back(int(sequence));
    }
    // A new row may hold what the query looks for.
    evaluate();
}

bool CatalogueFilter::setQuery(const QString& typed)
{
    SearchQuery next(typed);
    if (next == query)
        return false; // the same words find the same rows
    query = std::move(next);
    return evaluate();
}

bool CatalogueFilter::evaluate()
{
    const bool wasEverything = everything;
    everything = query.findsEverything();
    std::vector<bool> nowPassing(passing.size(), false);
    if (!everything) {
        for (int entry : search.find(query))
            nowPassing[size_t(sequenceOfEntry[size_t(entry)])] = true;
    }
    const bool changed = everything != wasEverything || (!everything && nowPassing != passing);
    passing = std::move(nowPassing);
    return changed;
}

bool CatalogueFilter::passes(int sequence) const
{
    if (everything)
        return true;
    return sequence >= 0 && size_t(sequence) < passing.size() && passing[size_t(sequence)];
}

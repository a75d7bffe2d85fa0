#pragma once

#include <QString>
#include <array>

// The nine fields of a title file, in the order the parser tests their markers. This is also the
// order of the catalogue's columns after the title.
enum class TitleField {
    Starring,
    Directors,
    ReleaseDate,
    Manufacturer,
    Genre,
    Features,
    MpaaRating,
    CustomerRating,
    CustomerReviews,
};

constexpr int titleFieldCount = 9;

// What one title file contributes to the catalogue: the title and the nine cell texts, exactly as
// they will be shown (the release date already normalised, reviews each ending in CR LF).
struct TitleRecord {
    QString title;
    std::array<QString, titleFieldCount> cells;

    QString& cell(TitleField field) { return cells[static_cast<size_t>(field)]; }
    const QString& cell(TitleField field) const { return cells[static_cast<size_t>(field)]; }
};

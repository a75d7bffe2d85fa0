#pragma once

#include <QByteArray>
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
// they will be shown (the release date already normalised, reviews each ending in CR LF). Text is
// QString, or for RawTitleRecord the file's own Windows-1252 bytes, which a caller that wants
// another encoding converts once.
template <typename Text> struct BasicTitleRecord {
    Text title;
    std::array<Text, titleFieldCount> cells;

    Text& cell(TitleField field) { return cells[static_cast<size_t>(field)]; }
    const Text& cell(TitleField field) const { return cells[static_cast<size_t>(field)]; }
};

using TitleRecord = BasicTitleRecord<QString>;
using RawTitleRecord = BasicTitleRecord<QByteArray>;

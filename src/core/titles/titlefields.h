#pragma once

#include <QLatin1String>

#include <array>

// The nine fields of a title file, in the order the parser tests their markers. This is also the
// order of the catalogue's columns after the title, and of the fields in the details box.
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

// How a field's value stands in a title file: the one line after its marker, a list of lines
// closed by an empty line, or every quoted line to the end of the file.
enum class ValueLayout { SingleLine, List, Reviews };

// Everything the program says about one field, wherever it shows.
struct TitleFieldInfo {
    TitleField field;
    QLatin1String marker; // as it stands in title files
    QLatin1String header; // the column header
    QLatin1String label;  // the details box's label
    ValueLayout layout;
};

// The header of the first column, which shows the title itself.
constexpr QLatin1String titleHeader("Title");

// In marker test order. Note the three spellings of the release date: "Release date:" in files,
// "Release date" as a header, "Release Date:" in the details box.
constexpr std::array<TitleFieldInfo, titleFieldCount> titleFields = {{
    {TitleField::Starring, QLatin1String("Starring:"), QLatin1String("Starring"),
     QLatin1String("Starring:"), ValueLayout::List},
    {TitleField::Directors, QLatin1String("Directors:"), QLatin1String("Directors"),
     QLatin1String("Directors:"), ValueLayout::List},
    {TitleField::ReleaseDate, QLatin1String("Release date:"), QLatin1String("Release date"),
     QLatin1String("Release Date:"), ValueLayout::SingleLine},
    {TitleField::Manufacturer, QLatin1String("Manufacturer:"), QLatin1String("Manufacturer"),
     QLatin1String("Manufacturer:"), ValueLayout::SingleLine},
    {TitleField::Genre, QLatin1String("Genre:"), QLatin1String("Genre"), QLatin1String("Genre:"),
     ValueLayout::SingleLine},
    {TitleField::Features, QLatin1String("Features:"), QLatin1String("Features"),
     QLatin1String("Features:"), ValueLayout::List},
    {TitleField::MpaaRating, QLatin1String("Mpaa Rating:"), QLatin1String("Mpaa Rating"),
     QLatin1String("Mpaa Rating:"), ValueLayout::SingleLine},
    {TitleField::CustomerRating, QLatin1String("Customer Rating:"),
     QLatin1String("Customer Rating"), QLatin1String("Customer Rating:"), ValueLayout::SingleLine},
    {TitleField::CustomerReviews, QLatin1String("Customer Reviews:"),
     QLatin1String("Customer Reviews"), QLatin1String("Customer Reviews:"), ValueLayout::Reviews},
}};

constexpr const TitleFieldInfo& fieldInfo(TitleField field)
{
    return titleFields[static_cast<size_t>(field)];
}

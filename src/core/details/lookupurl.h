#pragma once

#include <QString>

// The four web look-ups of the Query menu.
enum class LookUp { Amazon, IMDb, IMDbUK, Google };

// The address that searches for title: a fixed prefix, the title, and for the web search a
// closing quote. The title goes in as it is, spaces and all, except the characters that would
// change what the address means (% & # + ? /), which are percent-encoded; letters outside ASCII
// are sent as UTF-8.
QString lookUpUrl(LookUp service, const QString& title);

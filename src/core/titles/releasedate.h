#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Rewrites a release date such as "12 March, 2002" as year, month number and day run together
// ("20020312"), so that dates sort as text. A one-digit day is not padded, a date without a day
// gives year and month only, and text in any other shape still gives some result, taken from the
// same positions (see the tests for the exact outcomes). Works on a title file's own 8-bit text.
QByteArray normaliseReleaseDate(QByteArrayView date);

// "01" to "12" for the full English month name, written exactly so; empty for anything else.
QByteArray monthNumber(QByteArrayView monthName);

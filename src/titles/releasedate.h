#pragma once

#include <QByteArray>
#include <QString>

// Rewrites a release date such as "12 March, 2002" as year, month number and day run together
// ("20020312"), so that dates sort as text. A one-digit day is not padded, a date without a day
// gives year and month only, and text in any other shape still gives some result, taken from the
// same positions (see the tests for the exact outcomes). The byte form works on a title file's
// own 8-bit text and gives the same result.
QString normaliseReleaseDate(const QString& date);
QByteArray normaliseReleaseDate(const QByteArray& date);

// "01" to "12" for the full English month name, written exactly so; empty for anything else.
QString monthNumber(QStringView monthName);

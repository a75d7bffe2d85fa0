#pragma once

#include <QString>
#include <QStringList>

// The text of the details box: each of the nine fields under its label, separated by empty lines,
// every line ending in CR LF. cells holds sub-items 1 to 9 (Starring to Customer Reviews).
QString detailsText(const QStringList& cells);

#pragma once

#include <QString>
#include <QStringView>

// How two file names compare when letter case is not to count: the pattern matches of the
// database folder, its name order, and the pairing of covers with titles all fold case alike, so
// that a name that sorts beside its title also pairs with it.
namespace FileNameCase {

QString folded(const QString& name);

// Where pattern first occurs in name at or after from, letter case not counting as folded() does
// not count it; -1 where it does not. Quicker than Qt's own search for the short ASCII patterns of
// the database folder, with tens of thousands of names to look through.
qsizetype indexOf(QStringView name, QLatin1StringView pattern, qsizetype from = 0);
bool endsWith(QStringView name, QLatin1StringView pattern);

} // namespace FileNameCase

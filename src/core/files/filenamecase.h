#pragma once

#include <QString>

// How two file names compare when letter case is not to count: the pattern matches of the
// database folder, its name order, and the pairing of covers with titles all fold case alike, so
// that a name that sorts beside its title also pairs with it.
namespace FileNameCase {

QString folded(const QString& name);

} // namespace FileNameCase

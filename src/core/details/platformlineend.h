#pragma once

#include <QLatin1String>

// The line end that other programs of this platform expect in text taken from the clipboard:
// CR LF on Windows, LF elsewhere. One file per platform says which.
QLatin1String platformLineEnd();

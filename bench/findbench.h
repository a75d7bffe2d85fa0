#pragma once

#include <QString>

// movra-bench --find PROGRAM-FOLDER: how long each keystroke in the find field takes, from the key
// to the narrowed list on screen, typing a word forward and deleting it back, in both views; and
// what the search's index costs in time and memory.
int runFindBench(int argc, char** argv, const QString& programFolder);

#pragma once

#include <QString>

// The folders a start looks in for its catalogue.
struct StartFolders {
    QString program;       // the folder of the running program
    QString installedData; // where an installed program's data.rar is: <prefix>/share/movra
    QString perUser;       // the user's own data folder for Movra; empty when there is none
    bool programWritable = false;

    // The folders of the running program; needs the application object. One file per platform
    // says where a user's own data goes and how to tell whether the program's folder may be
    // written.
    static StartFolders ofRunningProgram();
};

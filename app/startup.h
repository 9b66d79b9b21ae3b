#pragma once

#include "programpaths.h"

// What every program that shows the diary's windows sets up first: its name
// for the message boxes, a CJK face standing in for Tahoma, the memory a
// picture may take to decode, and Qt's own words and calendars in Japanese.
void prepareApplication();

// Where the program started from exeDir keeps everything: the program folder
// findProgramFolder names. An installed program first lays out a folder that
// is not its own (a file already there is never written), so nothing is ever
// written beside it. The folder is handed down to the companions in
// TRIMBO_HOME. problem says why the folder could not be laid out.
ProgramPaths startingPaths(const QString &exeDir, DiaryFailure *problem);

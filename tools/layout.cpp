// Lays out a program folder for a new user from the starting files, as the
// installed program does on its first start; tools/layout.sh uses it for the
// checkout's program folder. A file already there is never written.
//   trimbo-layout STARTING_FOLDER PROGRAM_FOLDER
#include "problemwording.h"
#include "programfolder.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3) {
        std::fputs("usage: trimbo-layout STARTING_FOLDER PROGRAM_FOLDER\n", stderr);
        return 2;
    }
    if (const DiaryFailure problem = layOutProgramFolder(arguments.at(1), arguments.at(2))) {
        std::fprintf(stderr, "trimbo-layout: %s\n", qPrintable(problemText(*problem)));
        return 1;
    }
    return 0;
}

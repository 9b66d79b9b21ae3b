// trimbo-diary: the diary workbook from the command line, through the same
// store the program uses.
//   trimbo-diary new FILE
//   trimbo-diary show FILE
//   trimbo-diary put FILE --date YYYY/MM/DD [--weight T] [--fat T] [--intake 0|1|2]
//                [--burn 0|1|2] [--comment-in T] [--comment-out T] [--photo NAME] [--overwrite]
//                [--take-over-lock]
//   trimbo-diary import FILE CSV [--overwrite] [--take-over-lock]
// Every command answers --help. An argument that begins with "-" is an
// option, never a file name.
//   trimbo-diary where
//   trimbo-diary backups FILE
//   trimbo-diary restore FILE BACKUP
#include "backups.h"
#include "datetext.h"
#include "diarybook.h"
#include "diarycsv.h"
#include "diarylock.h"
#include "newworkbook.h"
#include "problemwording.h"
#include "programfolder.h"
#include "replacefile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <optional>

namespace {

int fail(const QString &message)
{
    std::fprintf(stderr, "trimbo-diary: %s\n", qPrintable(message));
    return 1;
}

// What a command takes, for its --help and for the line after a mistake.
struct Usage
{
    const char *synopsis; // after "trimbo-diary "
    const char *description;
};

const Usage NewUsage{"new FILE", "Makes FILE an empty diary workbook; an existing file is never replaced."};
const Usage ShowUsage{"show FILE", "Prints the days of the diary in FILE as CSV (UTF-8, RFC 4180)."};
const Usage PutUsage{
    "put FILE --date YYYY/MM/DD [--weight T] [--fat T] [--intake 0|1|2] [--burn 0|1|2] [--comment-in T] "
    "[--comment-out T] [--photo NAME] [--overwrite] [--take-over-lock]",
    "Saves one day into the diary in FILE as the program saves it. A comment is kept as given: \\n stays\n"
    "those two characters; for a second line pass a real line break (in bash: --comment-in $'one\\ntwo')."};
const Usage ImportUsage{"import FILE CSV [--overwrite] [--take-over-lock]",
                        "Saves the days of CSV, in the form show prints, into the diary in FILE."};
const Usage BackupsUsage{"backups FILE",
                         "Lists the backups of the diary in FILE, oldest first: name, time taken, size."};
const Usage RestoreUsage{"restore FILE BACKUP",
                         "Puts BACKUP (a name in the Backup folder, or a path) back as the diary in FILE,\n"
                         "keeping the diary it replaces as a backup first."};
const Usage WhereUsage{"where", "Prints the program folder the program and this tool would use, and why."};
const Usage *const Commands[] = {&NewUsage,     &ShowUsage,    &PutUsage,  &ImportUsage,
                                 &BackupsUsage, &RestoreUsage, &WhereUsage};

QString commandList()
{
    QString lines = QStringLiteral("usage:\n");
    for (const Usage *command : Commands)
        lines += QStringLiteral("  trimbo-diary %1\n").arg(QLatin1String(command->synopsis));
    return lines + QStringLiteral("  trimbo-diary COMMAND --help\n");
}

int failWithUsage(const QString &message, const Usage &usage)
{
    std::fprintf(stderr, "trimbo-diary: %s\nusage: trimbo-diary %s\n", qPrintable(message), usage.synopsis);
    return 1;
}

// Parses the arguments after the command's name. nullopt when the command
// is to run with the files it was given; otherwise its exit code: 0 once
// --help is answered, 1 after a mistake, said with the usage line.
std::optional<int> parseCommand(QCommandLineParser &parser, const QStringList &arguments, const Usage &usage,
                                qsizetype fileCount)
{
    const QCommandLineOption help({"h", "help"}, "shows this help");
    parser.addOption(help);
    if (!parser.parse(arguments))
        return failWithUsage(parser.errorText(), usage);
    if (parser.isSet(help)) {
        // Qt's own first line names the executable by its path.
        const QString options = parser.helpText().section(u'\n', 1);
        std::printf("usage: trimbo-diary %s\n%s\n%s", usage.synopsis, usage.description, qPrintable(options));
        return 0;
    }
    const QStringList files = parser.positionalArguments();
    for (const QString &file : files) {
        if (file.startsWith(u'-'))
            return failWithUsage(QStringLiteral("\"%1\" is no file name: it begins with \"-\"").arg(file), usage);
    }
    if (files.size() != fileCount) {
        const QString synopsis = QLatin1String(usage.synopsis);
        return failWithUsage(
            QStringLiteral("%1 needs %2").arg(synopsis.section(u' ', 0, 0), synopsis.section(u' ', 1, int(fileCount))),
            usage);
    }
    return std::nullopt;
}

int newWorkbook(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument("FILE", "the workbook to make");
    if (const std::optional<int> done = parseCommand(parser, arguments, NewUsage, 1))
        return *done;
    const QString path = parser.positionalArguments().first();
    if (QFileInfo::exists(path))
        return fail(QStringLiteral("\"%1\" already exists").arg(path));
    const QByteArray bytes = newDiaryWorkbook(DiarySheetName.toString());
    if (bytes.isEmpty())
        return fail(QStringLiteral("cannot write \"%1\": no workbook was made").arg(path));
    if (const std::optional<FileReason> why = replaceFile(path, bytes))
        return fail(QStringLiteral("cannot write \"%1\": %2").arg(path, problemText(*why)));
    return 0;
}

int show(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument("FILE", "the diary workbook");
    if (const std::optional<int> done = parseCommand(parser, arguments, ShowUsage, 1))
        return *done;
    DiaryBook book(parser.positionalArguments().first());
    if (const DiaryFailure unusable = book.open())
        return fail(problemText(*unusable));
    book.firstEmptyRow();
    std::fputs(diaryToCsv(book.table()).toUtf8().constData(), stdout);
    return 0;
}

// How long a save waits for the program or another save to let the diary go.
constexpr std::chrono::seconds lockWait{5};

const QCommandLineOption takeOverLock("take-over-lock", "take over a lock left on another computer");

// Who holds the diary and why nothing was saved; none once the lock is ours.
DiaryFailure lockProblem(DiaryLock &lock, const QString &path, bool takeOver)
{
    DiaryLock::Result result = lock.acquireWaiting(lockWait);
    if (result == DiaryLock::Result::HeldOnAnotherHost && takeOver)
        result = lock.takeOver();
    switch (result) {
    case DiaryLock::Result::Locked: return std::nullopt;
    case DiaryLock::Result::HeldByAnotherCopy: {
        DiaryProblem held = lock.held(DiaryError::SaveWaitedInUse, path);
        held.limit = lockWait.count();
        return held;
    }
    case DiaryLock::Result::HeldOnAnotherHost: return lock.held(DiaryError::SaveInUseElsewhere, path);
    case DiaryLock::Result::CannotLock: break;
    }
    return DiaryProblem{DiaryError::SaveNotLockable, path, {}, 0, 0, {}, {lock.whyNotLocked()}};
}

// The read-modify-save runs under the diary's lock, so that no other
// writer's day is lost between the read and the save.
int save(const QString &path, const std::vector<DayValues> &days, bool overwrite, bool takeOver)
{
    DiaryLock lock(path);
    if (const DiaryFailure problem = lockProblem(lock, path, takeOver))
        return fail(problemText(*problem));
    const SaveDaysResult result = saveDays(path, days, overwrite);
    if (!result.saved)
        return fail(problemText(*result.problem));
    for (const DiaryProblem &note : result.notes)
        std::fprintf(stderr, "trimbo-diary: %s\n", qPrintable(problemText(note)));
    return 0;
}

int put(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption date("date", "the day, YYYY/MM/DD", "YYYY/MM/DD");
    const QCommandLineOption weight("weight", "weight in kg", "T");
    const QCommandLineOption fat("fat", "body fat in %", "T");
    const QCommandLineOption intake("intake", "calorie intake level: 0 little, 1 standard, 2 much", "0|1|2", "1");
    const QCommandLineOption burn("burn", "calorie burn level: 0 little, 1 standard, 2 much", "0|1|2", "1");
    const QCommandLineOption commentIn("comment-in", "intake comment", "T");
    const QCommandLineOption commentOut("comment-out", "burn comment", "T");
    const QCommandLineOption photo("photo", "photo file name", "NAME");
    const QCommandLineOption overwrite("overwrite", "replace a day already recorded");
    parser.addOptions({date, weight, fat, intake, burn, commentIn, commentOut, photo, overwrite, takeOverLock});
    parser.addPositionalArgument("FILE", "the diary workbook");
    if (const std::optional<int> done = parseCommand(parser, arguments, PutUsage, 1))
        return *done;
    if (!parser.isSet(date))
        return failWithUsage(QStringLiteral("put needs --date"), PutUsage);
    bool intakeOk = false, burnOk = false;
    DayValues day{parser.value(date),
                  parser.value(weight),
                  parser.value(fat),
                  parser.value(intake).toInt(&intakeOk),
                  parser.value(burn).toInt(&burnOk),
                  parser.value(commentIn),
                  parser.value(commentOut),
                  parser.value(photo)};
    if (!intakeOk || !burnOk)
        return fail(QStringLiteral("a calorie level must be 0, 1 or 2"));
    if (const DiaryFailure tooLong = commentProblem(day))
        return fail(problemText(*tooLong));
    if (const QString problem = checkDay(day); !problem.isEmpty())
        return fail(problem);
    return save(parser.positionalArguments().first(), {day}, parser.isSet(overwrite), parser.isSet(takeOverLock));
}

int import(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption overwrite("overwrite", "replace days already recorded");
    parser.addOptions({overwrite, takeOverLock});
    parser.addPositionalArgument("FILE", "the diary workbook");
    parser.addPositionalArgument("CSV", "the days, in the form show prints");
    if (const std::optional<int> done = parseCommand(parser, arguments, ImportUsage, 2))
        return *done;
    QFile csvFile(parser.positionalArguments().at(1));
    if (!csvFile.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read \"%1\": %2").arg(csvFile.fileName(), csvFile.errorString()));
    const CsvDays csv = daysFromCsv(QString::fromUtf8(csvFile.readAll()));
    if (!csv.error.isEmpty())
        return fail(QStringLiteral("%1: %2").arg(csvFile.fileName(), csv.error));
    return save(parser.positionalArguments().first(), csv.days, parser.isSet(overwrite), parser.isSet(takeOverLock));
}

// The program folder the program and this tool would use, and why.
int where(const QStringList &arguments)
{
    QCommandLineParser parser;
    if (const std::optional<int> done = parseCommand(parser, arguments, WhereUsage, 0))
        return *done;
    const QString exeDir = QCoreApplication::applicationDirPath();
    const ProgramFolder folder = findProgramFolder(exeDir);
    std::printf("%s\n%s\n", qPrintable(folder.path), qPrintable(programFolderReason(folder, exeDir)));
    return 0;
}

// The backups of the diary, oldest first: name, time taken, size in bytes.
int listBackupsOf(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument("FILE", "the diary workbook");
    if (const std::optional<int> done = parseCommand(parser, arguments, BackupsUsage, 1))
        return *done;
    const QString path = parser.positionalArguments().first();
    for (const BackupFile &b : listBackups(path)) {
        const QString line = QStringLiteral("%1\t%2 %3\t%4\n")
                                 .arg(b.name, dateText(b.taken.date()), b.taken.time().toString(u"HH:mm:ss"))
                                 .arg(b.size);
        std::fputs(line.toUtf8().constData(), stdout);
    }
    return 0;
}

// Only a workbook the program can read is put back in the diary's place.
int restore(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument("FILE", "the diary workbook");
    parser.addPositionalArgument("BACKUP", "a backup's name in the Backup folder, or its path");
    if (const std::optional<int> done = parseCommand(parser, arguments, RestoreUsage, 2))
        return *done;
    const QString path = parser.positionalArguments().at(0);
    const QString backup = parser.positionalArguments().at(1);
    DiaryBook probe(backupPath(path, backup));
    if (const DiaryFailure unusable = probe.open())
        return fail(problemText(*unusable));
    if (const DiaryFailure failed = restoreBackup(path, backup, QDateTime::currentDateTime()))
        return fail(QStringLiteral("cannot restore \"%1\": %2").arg(backup, problemText(*failed)));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const QString command = arguments.value(1);
    if (command == u"--help" || command == u"-h" || command == u"help") {
        std::fputs(qPrintable(commandList()), stdout);
        return 0;
    }
    // A command's parser takes the program's name first, then what follows the command.
    const QStringList rest = QStringList{arguments.first()} + arguments.mid(2);
    if (command == u"new")
        return newWorkbook(rest);
    if (command == u"show")
        return show(rest);
    if (command == u"backups")
        return listBackupsOf(rest);
    if (command == u"restore")
        return restore(rest);
    if (command == u"where")
        return where(rest);
    if (command == u"put")
        return put(rest);
    if (command == u"import")
        return import(rest);
    if (!command.isEmpty())
        std::fprintf(stderr, "trimbo-diary: \"%s\" is no command\n", qPrintable(command));
    std::fputs(qPrintable(commandList()), stderr);
    return 1;
}

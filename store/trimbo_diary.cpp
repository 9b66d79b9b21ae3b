// trimbo-diary: the diary workbook from the command line, through the same
// store the program uses.
//   trimbo-diary new FILE
//   trimbo-diary show FILE
//   trimbo-diary put FILE --date YYYY/MM/DD [--weight T] [--fat T] [--intake 0|1|2]
//                [--burn 0|1|2] [--comment-in T] [--comment-out T] [--photo NAME] [--overwrite]
//   trimbo-diary import FILE CSV [--overwrite]
//   trimbo-diary backups FILE
//   trimbo-diary restore FILE BACKUP
#include "backups.h"
#include "datetext.h"
#include "diarybook.h"
#include "diarycsv.h"
#include "newworkbook.h"
#include "replacefile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace {

int fail(const QString &message)
{
    std::fprintf(stderr, "trimbo-diary: %s\n", qPrintable(message));
    return 1;
}

int usage()
{
    return fail(QStringLiteral("usage: trimbo-diary new|show|put|import|backups|restore FILE ... (see --help of each)"));
}

int newWorkbook(const QString &path)
{
    if (QFileInfo::exists(path))
        return fail(QStringLiteral("\"%1\" already exists").arg(path));
    const QByteArray bytes = newDiaryWorkbook(DiarySheetName.toString());
    QString why = QStringLiteral("no workbook was made");
    if (bytes.isEmpty() || !replaceFile(path, bytes, &why))
        return fail(QStringLiteral("cannot write \"%1\": %2").arg(path, why));
    return 0;
}

int show(const QString &path)
{
    DiaryBook book(path);
    if (!book.OpenExcelDate())
        return fail(book.errorText());
    book.GetExcelLastRow();
    if (book.isFull())
        return fail(diaryFullMessage());
    std::fputs(diaryToCsv(book.SetExcelArray()).toUtf8().constData(), stdout);
    return 0;
}

int save(const QString &path, const std::vector<DayValues> &days, bool overwrite)
{
    const SaveDaysResult result = saveDays(path, days, overwrite);
    if (!result.saved)
        return fail(result.error);
    for (const QString &note : result.notes)
        std::fprintf(stderr, "trimbo-diary: %s\n", qPrintable(note));
    return 0;
}

int put(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption date("date", "the day, YYYY/MM/DD", "YYYY/MM/DD");
    const QCommandLineOption weight("weight", "weight in kg", "T");
    const QCommandLineOption fat("fat", "body fat in %", "T");
    const QCommandLineOption intake("intake", "calorie intake level", "0|1|2", "1");
    const QCommandLineOption burn("burn", "calorie burn level", "0|1|2", "1");
    const QCommandLineOption commentIn("comment-in", "intake comment", "T");
    const QCommandLineOption commentOut("comment-out", "burn comment", "T");
    const QCommandLineOption photo("photo", "photo file name", "NAME");
    const QCommandLineOption overwrite("overwrite", "replace a day already recorded");
    parser.addOptions({date, weight, fat, intake, burn, commentIn, commentOut, photo, overwrite});
    parser.addPositionalArgument("FILE", "the workbook");
    if (!parser.parse(arguments))
        return fail(parser.errorText());
    if (parser.positionalArguments().size() != 1 || !parser.isSet(date))
        return fail(QStringLiteral("put needs FILE and --date"));
    bool intakeOk = false, burnOk = false;
    DayValues day{parser.value(date), parser.value(weight), parser.value(fat),
                  parser.value(intake).toInt(&intakeOk), parser.value(burn).toInt(&burnOk),
                  parser.value(commentIn), parser.value(commentOut), parser.value(photo)};
    if (!intakeOk || !burnOk)
        return fail(QStringLiteral("a calorie level must be 0, 1 or 2"));
    if (const QString problem = checkDay(day); !problem.isEmpty())
        return fail(problem);
    return save(parser.positionalArguments().first(), {day}, parser.isSet(overwrite));
}

int import(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption overwrite("overwrite", "replace days already recorded");
    parser.addOption(overwrite);
    if (!parser.parse(arguments))
        return fail(parser.errorText());
    if (parser.positionalArguments().size() != 2)
        return fail(QStringLiteral("import needs FILE and CSV"));
    QFile csvFile(parser.positionalArguments().at(1));
    if (!csvFile.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read \"%1\": %2").arg(csvFile.fileName(), csvFile.errorString()));
    const CsvDays csv = daysFromCsv(QString::fromUtf8(csvFile.readAll()));
    if (!csv.error.isEmpty())
        return fail(QStringLiteral("%1: %2").arg(csvFile.fileName(), csv.error));
    return save(parser.positionalArguments().first(), csv.days, parser.isSet(overwrite));
}

// The backups of the diary, oldest first: name, time taken, size in bytes.
int listBackupsOf(const QString &path)
{
    for (const BackupFile &b : listBackups(path)) {
        const QString line = QStringLiteral("%1\t%2 %3\t%4\n")
                                 .arg(b.name, dateText(b.taken.date()), b.taken.time().toString(u"HH:mm:ss"))
                                 .arg(b.size);
        std::fputs(line.toUtf8().constData(), stdout);
    }
    return 0;
}

// Only a workbook the program can read is put back in the diary's place.
int restore(const QString &path, const QString &backup)
{
    DiaryBook probe(backupPath(path, backup));
    if (!probe.OpenExcelDate())
        return fail(probe.errorText());
    QString why;
    if (!restoreBackup(path, backup, QDateTime::currentDateTime(), &why))
        return fail(QStringLiteral("cannot restore \"%1\": %2").arg(backup, why));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 3)
        return usage();
    const QString command = arguments.at(1);
    const QStringList rest = QStringList{arguments.first()} + arguments.mid(2);
    if (command == u"new" && arguments.size() == 3)
        return newWorkbook(arguments.at(2));
    if (command == u"show" && arguments.size() == 3)
        return show(arguments.at(2));
    if (command == u"backups" && arguments.size() == 3)
        return listBackupsOf(arguments.at(2));
    if (command == u"restore" && arguments.size() == 4)
        return restore(arguments.at(2), arguments.at(3));
    if (command == u"put")
        return put(rest);
    if (command == u"import")
        return import(rest);
    return usage();
}

// trimbo-diary: the diary workbook from the command line, through the same
// store the program uses.
//   trimbo-diary new FILE
//   trimbo-diary show FILE
//   trimbo-diary put FILE --date YYYY/MM/DD [--weight T] [--fat T] [--intake 0|1|2]
//                [--burn 0|1|2] [--comment-in T] [--comment-out T] [--photo NAME] [--overwrite]
//                [--take-over-lock]
//   trimbo-diary import FILE CSV [--overwrite] [--take-over-lock]
#include "diarybook.h"
#include "diarycsv.h"
#include "diarylock.h"
#include "newworkbook.h"
#include "replacefile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
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
    return fail(QStringLiteral("usage: trimbo-diary new|show|put|import FILE ... (see --help of each)"));
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
    std::fputs(diaryToCsv(book.SetExcelArray()).toUtf8().constData(), stdout);
    return 0;
}

// How long a save waits for the program or another save to let the diary go.
constexpr std::chrono::seconds lockWait{5};

const QCommandLineOption takeOverLock("take-over-lock", "take over a lock left on another computer");

// Who holds the diary and why nothing was saved, or "" once the lock is ours.
QString lockProblem(DiaryLock &lock, const QString &path, bool takeOver)
{
    DiaryLock::Result result = lock.acquireWaiting(lockWait);
    if (result == DiaryLock::Result::HeldOnAnotherHost && takeOver)
        result = lock.takeOver();
    switch (result) {
    case DiaryLock::Result::Locked:
        return {};
    case DiaryLock::Result::HeldByAnotherCopy:
        return QStringLiteral("日記 \"%1\" は %2 が使用中のため、保存しません (%3 秒待ちました)。")
            .arg(path, lock.holder())
            .arg(lockWait.count());
    case DiaryLock::Result::HeldOnAnotherHost:
        return QStringLiteral("日記 \"%1\" は別のコンピューターの %2 が使用中です (\"%3\")。"
                              "そのトリンボが終わっている (使用中のままフォルダーを写してきた) なら、"
                              "--take-over-lock を付けると引き継いで保存します。")
            .arg(path, lock.holder(), lock.lockPath());
    case DiaryLock::Result::CannotLock:
        break;
    }
    return QStringLiteral("日記 \"%1\" を使用中にできないため、保存しません (%2)。").arg(path, lock.whyNotLocked());
}

// The read-modify-save runs under the diary's lock, so that no other
// writer's day is lost between the read and the save.
int save(const QString &path, const std::vector<DayValues> &days, bool overwrite, bool takeOver)
{
    DiaryLock lock(path);
    if (const QString problem = lockProblem(lock, path, takeOver); !problem.isEmpty())
        return fail(problem);
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
    parser.addOptions({date, weight, fat, intake, burn, commentIn, commentOut, photo, overwrite, takeOverLock});
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
    return save(parser.positionalArguments().first(), {day}, parser.isSet(overwrite), parser.isSet(takeOverLock));
}

int import(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption overwrite("overwrite", "replace days already recorded");
    parser.addOptions({overwrite, takeOverLock});
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
    return save(parser.positionalArguments().first(), csv.days, parser.isSet(overwrite), parser.isSet(takeOverLock));
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
    if (command == u"put")
        return put(rest);
    if (command == u"import")
        return import(rest);
    return usage();
}

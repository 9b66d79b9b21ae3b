#include "diarybook.h"
#include "exchange.h"
#include "helpers.h"
#include "inifile.h"
#include "newworkbook.h"
#include "numbertext.h"
#include "photofile.h"
#include "photostore.h"
#include "problemwording.h"
#include "startup.h"
#include "systemreason.h"
#include "setupdialog.h"
#include "mainwindow.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QCalendarWidget>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <cerrno>
#include <cstring>

Q_DECLARE_METATYPE(FileProblem)

namespace {

// The words of every code of every area, for a problem naming a file, four
// names, a number 5 and a limit 9, the system's "missing" and one part.
const std::pair<DiaryError, const char *> DiaryWords[] = {
    {DiaryError::NotAFile, "日記ファイル \"/p/Bk.xls\" を使えません: ファイルがありません"},
    {DiaryError::Unreadable, "日記ファイル \"/p/Bk.xls\" を使えません: 読み込めません (ファイルがありません)"},
    {DiaryError::OpenDocument, "日記ファイル \"/p/Bk.xls\" を使えません: OpenDocument 形式 (.ods など、LibreOffice "
                               "の形式) のファイルです。Excel 97-2003 形式 (.xls) で保存し直してください"},
    {DiaryError::NewerExcel, "日記ファイル \"/p/Bk.xls\" を使えません: Excel 2007 以降の形式 (.xlsx) "
                             "のファイルです。Excel 97-2003 形式 (.xls) で保存し直してください"},
    {DiaryError::CutShort, "日記ファイル \"/p/Bk.xls\" を使えません: ファイルが途中で切れています (5 "
                           "バイト)。コピーや保存が終わる前に止まったファイルです"},
    {DiaryError::NotCompoundFile,
     "日記ファイル \"/p/Bk.xls\" を使えません: Excel 97-2003 のブック (.xls) ではありません"},
    {DiaryError::NotAWorkbook, "日記ファイル \"/p/Bk.xls\" を使えません: Excel のブックではありません"},
    {DiaryError::OldExcel, "日記ファイル \"/p/Bk.xls\" を使えません: Excel 95 以前の形式のブックです。Excel 97-2003 "
                           "形式で保存し直してください"},
    {DiaryError::BrokenStart, "日記ファイル \"/p/Bk.xls\" を使えません: ブックの先頭が壊れています"},
    {DiaryError::Truncated, "日記ファイル \"/p/Bk.xls\" を使えません: ファイルが途中で切れています"},
    {DiaryError::Password, "日記ファイル \"/p/Bk.xls\" を使えません: パスワードで保護されています"},
    {DiaryError::BrokenCellFormats, "日記ファイル \"/p/Bk.xls\" を使えません: セルの書式が壊れています"},
    {DiaryError::BrokenSheetList, "日記ファイル \"/p/Bk.xls\" を使えません: シートの一覧が壊れています"},
    {DiaryError::BrokenStrings, "日記ファイル \"/p/Bk.xls\" を使えません: 文字列の表が壊れています"},
    {DiaryError::BrokenCells, "日記ファイル \"/p/Bk.xls\" を使えません: シート \"N1\" のセルが壊れています"},
    {DiaryError::NoDiarySheet, "日記ファイル \"/p/Bk.xls\" を使えません: シート \"N1\" がありません"},
    {DiaryError::SheetOutside, "日記ファイル \"/p/Bk.xls\" を使えません: シート \"N1\" の中身がブックにありません"},
    {DiaryError::NoCellFormats, "日記ファイル \"/p/Bk.xls\" を使えません: ブックにセルの書式がありません"},
    {DiaryError::TooManyRows, "日記ファイル \"/p/Bk.xls\" を使えません: 日記の行数がシートに入りきりません"},
    {DiaryError::SharedFormula, "日記ファイル \"/p/Bk.xls\" を使えません: 日記の列 (A～H) のセル N1 "
                                "に他のセルと共有する数式があり、書き換えられません。Excel "
                                "などでその数式を値に置き換えるか、I 列より右へ移してから保存し直してください"},
    {DiaryError::TextTooLong, "日記ファイル \"/p/Bk.xls\" を使えません: 9 文字を超える文は保存できません"},
    {DiaryError::CannotAssemble, "日記ファイル \"/p/Bk.xls\" を使えません: ブックを組み立てられません"},
    {DiaryError::CannotSave, "日記ファイル \"/p/Bk.xls\" を使えません: 保存できません (ファイルがありません)"},
    {DiaryError::Full, "これ以上データを入力できません。\r\nExcelのデータを確認してください。"},
    {DiaryError::IntakeCommentTooLong, "コメント（摂取）が長すぎます: 5 文字あります。コメントは 9 文字までです。"},
    {DiaryError::BurnCommentTooLong, "コメント（消費）が長すぎます: 5 文字あります。コメントは 9 文字までです。"},
    {DiaryError::GapAboveDays,
     "日記の 5 行目に日付がなく、その下にも記録があります。一度に保存できるのは 1 日だけです"},
    {DiaryError::AlreadyRecorded, "N1 の記録はすでにあります"},
    {DiaryError::SaveNotes, "フォルダ \"/p/d\" に書き込めません"},
    {DiaryError::LinkSplit,
     "\"/p/Bk.xls\" は他の名前 (ハードリンク) "
     "とも同じファイルでしたが、保存で別のファイルになりました。他の名前のほうには保存前の内容が残っています。"},
    {DiaryError::SharedFormulaKept,
     "並べ替えで N1 "
     "へ移ったセルは、他のセルと共有する数式なので日付と一緒に数式のままでは動かせず、計算結果の値を残しました"},
    {DiaryError::FormulaLeavingKept,
     "並べ替えで N1 "
     "へ移ったセルは、動かすと参照がシートの外に出るので日付と一緒に数式のままでは動かせず、計算結果の値を残しました"},
    {DiaryError::OddFormulaKept,
     "並べ替えで N1 "
     "へ移ったセルは、読み取れない形の数式なので日付と一緒に数式のままでは動かせず、計算結果の値を残しました"},
    {DiaryError::LockFolderReadOnly, "フォルダ \"/p/Bk.xls\" に書き込めません"},
    {DiaryError::LockNotMade, "ファイルがありません"},
    {DiaryError::LockUnreadable, "読めない \"/p/Bk.xls\" を消せません"},
    {DiaryError::OpenedElsewhere, "日記 \"/p/Bk.xls\" は別のトリンボで開かれています (N1 (プロセス 5、コンピューター "
                                  "\"N2\"、N3 から))。\r\n同じ日記を二つのトリンボで同時に開くことはできません。"},
    {DiaryError::InUse, "日記 \"/p/Bk.xls\" は N1 (プロセス 5、コンピューター \"N2\"、N3 から) "
                        "が使用中です。\r\n日記は表示しますが、保存はできません。"},
    {DiaryError::NotLockable, "日記 \"/p/Bk.xls\" を使用中にできません (フォルダ \"/p/d\" "
                              "に書き込めません)。\r\n日記は表示しますが、保存はできません。"},
    {DiaryError::UnreadableAtOpen, "日記 \"/p/Bk.xls\" は開いたときに読めなかったため、保存しません。"},
    {DiaryError::SaveWaitedInUse, "日記 \"/p/Bk.xls\" は N1 (プロセス 5、コンピューター \"N2\"、N3 から) "
                                  "が使用中のため、保存しません (9 秒待ちました)。"},
    {DiaryError::SaveInUseElsewhere,
     "日記 \"/p/Bk.xls\" は別のコンピューターの N1 (プロセス 5、コンピューター \"N2\"、N3 から) が使用中です "
     "(\"N4\")。そのトリンボが終わっている (使用中のままフォルダーを写してきた) なら、--take-over-lock "
     "を付けると引き継いで保存します。"},
    {DiaryError::SaveNotLockable,
     "日記 \"/p/Bk.xls\" を使用中にできないため、保存しません (フォルダ \"/p/d\" に書き込めません)。"},
    {DiaryError::BackupSkipped,
     "保存の前の日記を /p/Bk.xls に残せませんでした (フォルダ \"/p/d\" に書き込めません)。\r\n日記の保存は続けます。"},
    {DiaryError::BackupFolderNotMade, "フォルダ /p/Bk.xls を作れません"},
    {DiaryError::BackupNotRead, "ファイルがありません"},
    {DiaryError::BackupNotWritten, "ファイルがありません"},
    {DiaryError::ProgramFolderNotReady,
     "プログラムフォルダ \"/p/Bk.xls\" を用意できません: フォルダ \"/p/d\" に書き込めません"},
    {DiaryError::FolderNotMade, "フォルダ \"/p/Bk.xls\" を作れません"},
    {DiaryError::StartingFileNotRead, "\"/p/Bk.xls\" を読めません (ファイルがありません)"},
    {DiaryError::StartingFileNotWritten, "\"/p/Bk.xls\" を書けません (ファイルがありません)"},
};
const std::pair<PhotoError, const char *> PhotoWords[] = {
    {PhotoError::BadName, "写真フォルダの中のファイル名ではありません"},
    {PhotoError::Link, "リンクです"},
    {PhotoError::NotAFile, "普通のファイルではありません (フォルダ、デバイス、パイプなど)"},
    {PhotoError::TooLarge, "ファイルが大きすぎます: 3 MB"},
    {PhotoError::FolderMissing, "写真フォルダがありません"},
    {PhotoError::Unreachable, "アクセスが許されていません"},
    {PhotoError::UnusableReferences,
     "日記の写真の欄に、写真フォルダ \"/p/Picture/\" の写真として開けないものがあります。\r\n2010/01/02: \"x.bmp\" "
     "リンクです\r\nこれらの日は写真なしとして表示します。日記の写真の欄はそのまま残します。"},
};
const std::pair<PictureError, const char *> PictureWords[] = {
    {PictureError::Unreadable, "画像を読み込めません: /p/a.png\r\n(アクセスが許されていません)"},
    {PictureError::TooLarge, "画像を読み込めません: /p/a.png\r\n(ファイルが大きすぎます: 3 MB)"},
    {PictureError::TooManyPixels, "画像を読み込めません: /p/a.png\r\n(画像が大きすぎます: 40000 × 30000 ピクセル)"},
    {PictureError::NotAFile,
     "画像を読み込めません: /p/a.png\r\n(普通のファイルではありません (フォルダ、デバイス、パイプなど))"},
    {PictureError::NotStorable,
     "この種類の画像は写真として保存できません: /p/a.png\r\n(使えるのは BMP, JPEG, GIF, PNG, ICO の画像です)"},
    {PictureError::NoRoom, "画像が大きすぎます: /p/a.png\r\n40000 × 30000 ピクセルの写真は保存すると 3 MB "
                           "になり、写真のフォルダー \"/p/Picture/\" のディスクの空き (1 MB) に入りません。"},
    {PictureError::IconUnreadable, "アイコンを読み込めません: /p/a.png"},
    {PictureError::NotStaged, "写真 /p/a.png を保存できません (アクセスが許されていません)"},
    {PictureError::NotDeleted, "写真 /p/a.png を削除できません"},
    {PictureError::NotCommitted, "写真 /p/a.png を保存できません"},
};
const std::pair<ExchangeError, const char *> ExchangeWords[] = {
    {ExchangeError::StartNotANumber, "設定の「ダイエット開始日の体脂肪率」が数値ではありません（abc）。"},
    {ExchangeError::GoalNotANumber, "設定の「到達目標の体脂肪率」が数値ではありません（abc）。"},
    {ExchangeError::NotRewritten, "data.txt を書き換えられません。"},
    {ExchangeError::LevelFileMissing, "data.txt が見つかりません。"},
    {ExchangeError::LevelFileUnreadable, "data.txt を読み込めません。"},
    {ExchangeError::LevelFileEmpty, "data.txt が空です。"},
    {ExchangeError::FirstLineEmpty, "data.txt の 1 行目が空です。"},
    {ExchangeError::NotALevel, "data.txt の「abc」は 0〜10 のレベルではありません。"},
};
const std::pair<SettingsError, const char *> SettingsWords[] = {
    {SettingsError::NotFound, "Not Found \"Trimbo.ini\""},
    {SettingsError::Unreadable, "設定ファイル \"/p/Trimbo.ini\" を読めません (アクセスが許されていません)"},
    {SettingsError::TooLarge, "設定ファイル \"/p/Trimbo.ini\" を読めません (ファイルが大きすぎます: 5 バイト)"},
    {SettingsError::Utf16,
     "設定ファイル \"/p/Trimbo.ini\" は UTF-16 で書かれています。トリンボは UTF-16 の設定ファイルを読み書きしません。"
     "UTF-8 か Shift-JIS で保存し直してください。"},
    {SettingsError::NotWritten, "設定ファイル \"/p/Trimbo.ini\" に書き込めません (5 行目: NUL 文字が入っています)"},
    {SettingsError::Damaged,
     "設定ファイル \"/p/Trimbo.ini\" に読めないところがあります。\r\n5 行目: NUL 文字が入っています\r\n"
     "読めない値は空または 0 "
     "として扱います。ファイルはそのまま残し、設定を保存したときにその設定の値だけを書き換えます。"},
    {SettingsError::NulInLine, "5 行目: NUL 文字が入っています"},
    {SettingsError::LineTooLong, "5 行目: 長すぎます (9 バイト)"},
    {SettingsError::SectionNotClosed, "5 行目: セクション名を閉じる「]」がありません"},
    {SettingsError::NotKeyValue, "5 行目: 「キー=値」の形ではありません"},
    {SettingsError::NotAnInteger, "[Trimbo.ini] K=v: 整数ではありません (0 として読みます)"},
    {SettingsError::ImpossibleLimit,
     "[Trimbo.ini] K=v: グラフの範囲にできない値です。体脂肪率は 0 から 100 % までの数値です。 (空として読みます)"},
};
const std::pair<FileProblem, const char *> FileWords[] = {
    {FileProblem::Missing, "ファイルがありません (sys)"},
    {FileProblem::Folder, "ファイルではなくフォルダーです (sys)"},
    {FileProblem::NoPermission, "アクセスが許されていません (sys)"},
    {FileProblem::ReadOnlyDisk, "読み取り専用のディスクです (sys)"},
    {FileProblem::DiskFull, "ディスクに空きがありません (sys)"},
    {FileProblem::OverQuota, "ディスクの使用量の上限を超えます (sys)"},
    {FileProblem::BeyondSizeLimit, "ファイルの大きさの上限を超えます (sys)"},
    {FileProblem::CutShort, "ファイルが途中で切れています (sys)"},
    {FileProblem::TooLarge, "ファイルが大きすぎます (sys)"},
    {FileProblem::NotAPicture, "画像ファイルとして読めません (sys)"},
    {FileProblem::Other, "システムのエラーです (sys)"},
};
const std::pair<Aftermath, const char *> AftermathWords[] = {
    {Aftermath::None, ""},
    {Aftermath::NotSaved, "保存できませんでした。"},
    {Aftermath::DiaryUnchanged, "日記は保存前のままです。"},
    {Aftermath::DiarySaved, "日記には保存しました。"},
    {Aftermath::OpensEmpty, "記録のない状態で開きます。このファイルには保存しません。"},
    {Aftermath::ShortenFirst, "短くしてから保存してください。"},
    {Aftermath::GraphNotKept, "グラフ設定は保存されていません。"},
    {Aftermath::SettingsNotSaved, "設定は保存されていません。"},
    {Aftermath::SwitchNotKept, "この切り替えは次の起動には残りません。"},
    {Aftermath::PhotoFileKept, "写真のファイルは消さずにそのまま残します。"},
};

// Each table holds every code of its area once, in order, up to End.
template<typename Code, size_t N>
bool everyCodeOnce(const std::pair<Code, const char *> (&words)[N], Code end)
{
    for (size_t i = 0; i < N; ++i) {
        if (words[i].first != Code(i))
            return false;
    }
    return N == size_t(end);
}

} // namespace

// Qt's own words and calendars, as the program sets them up at start-up;
// the reasons a file failed; numbers typed on a Japanese keyboard.
class TestJapanese : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { prepareApplication(); }
    void questionButtons();
    void fileDialog();
    void calendarsOfEveryWindow();
    void systemReasonsHaveJapaneseWords_data();
    void systemReasonsHaveJapaneseWords();
    void everyCodeHasItsWords_data();
    void everyCodeHasItsWords();
    void failingFilesSayWhyInJapanese_data();
    void failingFilesSayWhyInJapanese();
    void fullWidthNumbersBecomeASCII();
};

void TestJapanese::questionButtons()
{
    QMessageBox question(QMessageBox::Question, QString(), QStringLiteral("上書きしますか？"),
                         QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(question.button(QMessageBox::Yes)->text(), QString("はい(&Y)"));
    QCOMPARE(question.button(QMessageBox::No)->text(), QString("いいえ(&N)"));
    QMessageBox information(QMessageBox::Information, QString(), QStringLiteral("保存しました。"), QMessageBox::Ok);
    QCOMPARE(information.button(QMessageBox::Ok)->text(), QString("OK"));
}

void TestJapanese::fileDialog()
{
    QFileDialog dialog(nullptr, QStringLiteral("写真選択"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    QCOMPARE(control<QLabel>(dialog, "fileNameLabel")->text(), QString("ファイル名(&N):"));
    QCOMPARE(control<QLabel>(dialog, "fileTypeLabel")->text(), QString("ファイルの種類:"));
    const QDialogButtonBox *buttons = control<QDialogButtonBox>(dialog, "buttonBox");
    QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(), QString("キャンセル"));
}

// Every date picker of every window: weekdays 日 月 火 …, Sunday first,
// the month in Japanese and the year as a plain number.
void TestJapanese::calendarsOfEveryWindow()
{
    RecordingResponder messages;
    TempProgramFolder folder;
    folder.layOut(
        "[Graph]\r\nStartD=2026/11/01\r\nEndD=2026/11/30\r\nBckGrnd=1\r\n[Establish]\r\nDStartD=2026/11/01\r\n");
    MainWindow main(folder.path());
    main.show();
    SetupDialog setup({"2026/11/01", "80", "25", "70", "20", 0, 0}, [](const EstablishSettings &) { return true; });
    setup.show();
    QList<QDateEdit *> pickers = main.findChildren<QDateEdit *>() + setup.findChildren<QDateEdit *>();
    QCOMPARE(pickers.size(), 4);
    for (QDateEdit *picker : pickers) {
        picker->setDate(QDate(2026, 11, 1));
        QCalendarWidget *calendar = picker->calendarWidget();
        calendar->setSelectedDate(QDate(2026, 11, 1));
        calendar->show();
        const QString name = picker->objectName();
        QVERIFY2(calendar->firstDayOfWeek() == Qt::Sunday, qPrintable(name));
        const QAbstractItemModel *days = calendar->findChild<QTableView *>()->model();
        QStringList weekdays;
        for (int column = 0; column < 7; ++column)
            weekdays << days->data(days->index(0, column)).toString();
        QCOMPARE(weekdays, QStringList({"日", "月", "火", "水", "木", "金", "土"}));
        // 1 November 2026 is a Sunday: the first column, in the second week shown.
        QCOMPARE(days->data(days->index(2, 0)).toString(), QString("1"));
        QCOMPARE(days->data(days->index(2, 6)).toString(), QString("7"));
        QCOMPARE(calendar->findChild<QToolButton *>("qt_calendar_monthbutton")->text(), QString("11月"));
        QCOMPARE(calendar->findChild<QToolButton *>("qt_calendar_yearbutton")->text(), QString("2026年"));
        QCOMPARE(picker->text(), QString("2026/11/01")); // the date itself keeps the diary's form
    }
}

void TestJapanese::systemReasonsHaveJapaneseWords_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<FileProblem>("problem");
    QTest::newRow("missing") << ENOENT << FileProblem::Missing;
    QTest::newRow("a folder") << EISDIR << FileProblem::Folder;
    QTest::newRow("no permission") << EACCES << FileProblem::NoPermission;
    QTest::newRow("not permitted") << EPERM << FileProblem::NoPermission;
    QTest::newRow("read-only disk") << EROFS << FileProblem::ReadOnlyDisk;
    QTest::newRow("disk full") << ENOSPC << FileProblem::DiskFull;
    QTest::newRow("over quota") << EDQUOT << FileProblem::OverQuota;
    QTest::newRow("file size limit") << EFBIG << FileProblem::BeyondSizeLimit;
    QTest::newRow("unknown") << EHOSTUNREACH << FileProblem::Other;
}

// Only a reason without words of its own carries the system's text.
void TestJapanese::systemReasonsHaveJapaneseWords()
{
    QFETCH(int, error);
    QFETCH(FileProblem, problem);
    const FileReason reason = reasonOfError(error);
    QCOMPARE(reason.problem, problem);
    QCOMPARE(reason.systemText,
             problem == FileProblem::Other ? QString::fromLocal8Bit(std::strerror(error)) : QString());
}

void TestJapanese::everyCodeHasItsWords_data()
{
    QVERIFY(everyCodeOnce(DiaryWords, DiaryError::End));
    QVERIFY(everyCodeOnce(PhotoWords, PhotoError::End));
    QVERIFY(everyCodeOnce(PictureWords, PictureError::End));
    QVERIFY(everyCodeOnce(ExchangeWords, ExchangeError::End));
    QVERIFY(everyCodeOnce(SettingsWords, SettingsError::End));
    QVERIFY(everyCodeOnce(FileWords, FileProblem(int(FileProblem::Other) + 1)));
    QVERIFY(everyCodeOnce(AftermathWords, Aftermath::End));
    QTest::addColumn<QString>("said");
    QTest::addColumn<QString>("words");
    for (const auto &[code, words] : DiaryWords) {
        const DiaryProblem problem(code, "/p/Bk.xls", {"N1", "N2", "N3", "N4"}, 5, 9, FileReason(FileProblem::Missing),
                                   {DiaryProblem(DiaryError::LockFolderReadOnly, "/p/d")});
        QTest::addRow("diary %d", int(code)) << problemText(problem) << QString::fromUtf8(words);
    }
    for (const auto &[code, words] : PhotoWords) {
        const PhotoProblem problem(code, "/p/Picture/", {}, 3 * 1024 * 1024, 0, FileReason(FileProblem::NoPermission),
                                   {PhotoProblem(PhotoError::Link, {}, {"2010/01/02", "x.bmp"})});
        QTest::addRow("photo %d", int(code)) << problemText(problem) << QString::fromUtf8(words);
    }
    for (const auto &[code, words] : PictureWords) {
        const PictureProblem problem(code, "/p/a.png", {"40000", "30000", "/p/Picture/"}, 3 * 1024 * 1024,
                                     1024 * 1024 + 5, FileReason(FileProblem::NoPermission));
        QTest::addRow("picture %d", int(code)) << problemText(problem) << QString::fromUtf8(words);
    }
    for (const auto &[code, words] : ExchangeWords) {
        const ExchangeProblem problem(code, "data.txt", {"abc"}, int(Measure::Fat));
        QTest::addRow("exchange %d", int(code)) << problemText(problem) << QString::fromUtf8(words);
    }
    for (const auto &[code, words] : SettingsWords) {
        const SettingsProblem problem(code, "/p/Trimbo.ini", {"Trimbo.ini", "K", "v"}, 5, 9,
                                      FileReason(FileProblem::NoPermission),
                                      {SettingsProblem(SettingsError::NulInLine, {}, {}, 5)});
        QTest::addRow("settings %d", int(code)) << problemText(problem) << QString::fromUtf8(words);
    }
    QTest::newRow("settings not written, with the system's reason")
        << problemText(
               SettingsProblem(SettingsError::NotWritten, "/p/Trimbo.ini", {}, 0, 0, FileReason(FileProblem::DiskFull)))
        << "設定ファイル \"/p/Trimbo.ini\" に書き込めません (ディスクに空きがありません)";
    for (const auto &[code, words] : FileWords)
        QTest::addRow("file %d", int(code)) << problemText(FileReason(code, "sys")) << QString::fromUtf8(words);
    for (const auto &[after, words] : AftermathWords)
        QTest::addRow("aftermath %d", int(after)) << aftermathText(after) << QString::fromUtf8(words);
    QTest::newRow("disk full, with its room") << problemText(FileReason(FileProblem::DiskFull, {}, "/mnt", 2048, 5000))
                                              << "ディスク \"/mnt\" がいっぱいです: 空き 2 KB、必要 5 KB";
}

void TestJapanese::everyCodeHasItsWords()
{
    QFETCH(QString, said);
    QFETCH(QString, words);
    QCOMPARE(said, words);
}

namespace {

enum class Reader { Diary, Settings, Picture, StoredPhoto, PhotoWrite };

// What the program says when reader meets the file at path.
QString messageOf(Reader reader, const QString &path)
{
    switch (reader) {
    case Reader::Diary: {
        DiaryBook book(path);
        const DiaryFailure unusable = book.open();
        return unusable ? problemText(*unusable) : QString();
    }
    case Reader::Settings: {
        const SettingsFailure unusable = IniFile::load(path).problem;
        return unusable ? problemText(*unusable) : QString();
    }
    case Reader::Picture: return problemText(*loadPicture(path).error);
    case Reader::StoredPhoto:
        return problemText(*readPhotoFile(QFileInfo(path).path() + u'/', QFileInfo(path).fileName(), 16).check.problem);
    case Reader::PhotoWrite:
        return problemText(*PhotoWriter({PhotoChange::Write, path, QByteArray("BM"), {}, {}}).stage());
    }
    return {};
}

} // namespace

void TestJapanese::failingFilesSayWhyInJapanese_data()
{
    QTest::addColumn<int>("reader");
    QTest::addColumn<QString>("made"); // "folder", "missing", or a file of the content
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("words");
    const QByteArray diary = newDiaryWorkbook("St_Trimbo");
    QTest::newRow("missing diary") << int(Reader::Diary) << "missing" << QByteArray() << "ファイルがありません";
    QTest::newRow("diary a folder") << int(Reader::Diary) << "folder" << QByteArray() << "フォルダーです";
    QTest::newRow("diary cut short") << int(Reader::Diary) << "file" << diary.left(diary.size() / 2)
                                     << "途中で切れています";
    QTest::newRow("missing settings") << int(Reader::Settings) << "missing" << QByteArray() << "ファイルがありません";
    QTest::newRow("settings a folder") << int(Reader::Settings) << "folder" << QByteArray() << "フォルダーです";
    QTest::newRow("settings too large") << int(Reader::Settings) << "file" << QByteArray(2 * 1024 * 1024, ';')
                                        << "大きすぎます";
    QTest::newRow("photo not a picture") << int(Reader::Picture) << "file" << QByteArray("not a picture at all")
                                         << "画像ファイルとして読めません";
    QTest::newRow("missing photo") << int(Reader::Picture) << "missing" << QByteArray() << "ファイルがありません";
    QTest::newRow("photo a folder") << int(Reader::Picture) << "folder" << QByteArray() << "フォルダーです";
    QTest::newRow("stored photo too large")
        << int(Reader::StoredPhoto) << "file" << QByteArray(64, 'B') << "大きすぎます";
    QTest::newRow("photo written onto a folder")
        << int(Reader::PhotoWrite) << "folder" << QByteArray() << "フォルダーです";
}

// Each reason in the words of its row, and no English beside the path.
void TestJapanese::failingFilesSayWhyInJapanese()
{
    QFETCH(int, reader);
    QFETCH(QString, made);
    QFETCH(QByteArray, content);
    QFETCH(QString, words);
    TempProgramFolder folder;
    const QString path = folder.filePath("target");
    if (made == "folder")
        QVERIFY(QDir().mkpath(path));
    else if (made == "file")
        folder.write("target", content);

    const QString message = messageOf(Reader(reader), path);
    QVERIFY2(message.contains(words), qPrintable(message));
    QVERIFY2(!QString(message).remove(path).contains(QRegularExpression("[A-Za-z]{3,}")), qPrintable(message));
}

// Full-width digits, signs and blanks from a Japanese keyboard; other text stays.
void TestJapanese::fullWidthNumbersBecomeASCII()
{
    const std::pair<const char *, const char *> typedAndAscii[] = {
        {"７８．５", "78.5"}, {"－０．５", "-0.5"},       {"\u22120.5", "-0.5"},
        {"＋１", "+1"},       {"\u3000６５\u3000", "65"}, {" 65.5 ", "65.5"},
        {"6５.５", "65.5"},   {"７８，５kg", "78，5kg"},  {"", ""},
    };
    for (const auto &[typed, ascii] : typedAndAscii)
        QCOMPARE(typedNumberText(QString::fromUtf8(typed)), QString::fromUtf8(ascii));
}

QTEST_MAIN(TestJapanese)
#include "tst_japanese.moc"

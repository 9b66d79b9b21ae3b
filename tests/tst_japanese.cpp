#include "diarybook.h"
#include "helpers.h"
#include "inifile.h"
#include "newworkbook.h"
#include "numbertext.h"
#include "photofile.h"
#include "photostore.h"
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
    void failingFilesSayWhyInJapanese_data();
    void failingFilesSayWhyInJapanese();
    void fullWidthNumbersBecomeASCII_data();
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
    QTest::addColumn<QString>("words");
    QTest::newRow("missing") << ENOENT << "ファイルがありません";
    QTest::newRow("a folder") << EISDIR << "フォルダーです";
    QTest::newRow("no permission") << EACCES << "アクセスが許されていません";
    QTest::newRow("not permitted") << EPERM << "アクセスが許されていません";
    QTest::newRow("read-only disk") << EROFS << "読み取り専用";
    QTest::newRow("disk full") << ENOSPC << "空きがありません";
    QTest::newRow("over quota") << EDQUOT << "使用量の上限";
    QTest::newRow("file size limit") << EFBIG << "大きさの上限";
    // Only a reason without words of its own carries the system's text.
    QTest::newRow("unknown")
        << EHOSTUNREACH
        << QStringLiteral("システムのエラーです (%1)").arg(QString::fromLocal8Bit(std::strerror(EHOSTUNREACH)));
}

void TestJapanese::systemReasonsHaveJapaneseWords()
{
    QFETCH(int, error);
    QFETCH(QString, words);
    QVERIFY2(systemReason(error).contains(words), qPrintable(systemReason(error)));
    if (error != EHOSTUNREACH)
        QVERIFY2(!systemReason(error).contains(u'('), qPrintable(systemReason(error)));
}

namespace {

enum class Reader { Diary, Settings, Picture, StoredPhoto, PhotoWrite };

// What the program says when reader meets the file at path.
QString messageOf(Reader reader, const QString &path)
{
    switch (reader) {
    case Reader::Diary: {
        DiaryBook book(path);
        return book.OpenExcelDate() ? QString() : book.errorText();
    }
    case Reader::Settings: return IniFile::load(path).error;
    case Reader::Picture: return loadPicture(path).error;
    case Reader::StoredPhoto:
        return readPhotoFile(QFileInfo(path).path() + u'/', QFileInfo(path).fileName(), 16).check.problem;
    case Reader::PhotoWrite: {
        QString error;
        PhotoWriter({PhotoChange::Write, path, QByteArray("BM"), {}, {}}).stage(&error);
        return error;
    }
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

void TestJapanese::fullWidthNumbersBecomeASCII_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("ascii");
    QTest::newRow("full-width digits and point") << "７８．５"
                                                 << "78.5";
    QTest::newRow("full-width minus") << "－０．５"
                                      << "-0.5";
    QTest::newRow("minus sign") << "\u22120.5"
                                << "-0.5";
    QTest::newRow("full-width plus") << "＋１"
                                     << "+1";
    QTest::newRow("full-width blanks") << "\u3000６５\u3000"
                                       << "65";
    QTest::newRow("ASCII blanks") << " 65.5 "
                                  << "65.5";
    QTest::newRow("mixed widths") << "6５.５"
                                  << "65.5";
    QTest::newRow("other text stays") << "７８，５kg"
                                      << "78，5kg";
    QTest::newRow("empty") << ""
                           << "";
}

void TestJapanese::fullWidthNumbersBecomeASCII()
{
    QFETCH(QString, typed);
    QFETCH(QString, ascii);
    QCOMPARE(typedNumberText(typed), ascii);
}

QTEST_MAIN(TestJapanese)
#include "tst_japanese.moc"

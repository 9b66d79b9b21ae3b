#include "problemwording.h"

#include "measurebounds.h"

namespace {

QString fileProblemText(FileProblem problem)
{
    switch (problem) {
    case FileProblem::Missing: return QStringLiteral("ファイルがありません");
    case FileProblem::Folder: return QStringLiteral("ファイルではなくフォルダーです");
    case FileProblem::NoPermission: return QStringLiteral("アクセスが許されていません");
    case FileProblem::ReadOnlyDisk: return QStringLiteral("読み取り専用のディスクです");
    case FileProblem::DiskFull: return QStringLiteral("ディスクに空きがありません");
    case FileProblem::OverQuota: return QStringLiteral("ディスクの使用量の上限を超えます");
    case FileProblem::BeyondSizeLimit: return QStringLiteral("ファイルの大きさの上限を超えます");
    case FileProblem::CutShort: return QStringLiteral("ファイルが途中で切れています");
    case FileProblem::TooLarge: return QStringLiteral("ファイルが大きすぎます");
    case FileProblem::NotAPicture: return QStringLiteral("画像ファイルとして読めません");
    case FileProblem::Other: break;
    }
    return {};
}

QString reasonOf(const DiaryProblem &problem)
{
    return problem.reason ? problemText(*problem.reason) : QString();
}

QString firstPart(const DiaryProblem &problem)
{
    return problem.parts.empty() ? QString() : problemText(problem.parts.front());
}

QString holder(const DiaryProblem &held)
{
    return QStringLiteral("%1 (プロセス %2、コンピューター \"%3\"、%4 から)")
        .arg(held.names.value(0))
        .arg(held.number)
        .arg(held.names.value(1), held.names.value(2));
}

QString keptFormula(const DiaryProblem &note, const QString &why)
{
    return QStringLiteral(
               "並べ替えで %1 へ移ったセルは、%2日付と一緒に数式のままでは動かせず、計算結果の値を残しました")
        .arg(note.names.value(0), why);
}

QString commentTooLong(const DiaryProblem &problem, const QString &caption)
{
    return QStringLiteral("%1が長すぎます: %2 文字あります。コメントは %3 文字までです。")
        .arg(caption)
        .arg(problem.number)
        .arg(problem.limit);
}

const QString NotSavedHere = QStringLiteral("\r\n日記は表示しますが、保存はできません。");

// What is wrong with the workbook file itself, or "" for the other problems.
QString workbookText(const DiaryProblem &problem)
{
    const QString name = problem.names.value(0);
    const QString saveAgain = QStringLiteral("。Excel 97-2003 形式 (.xls) で保存し直してください");
    switch (problem.code) {
    case DiaryError::NotAFile: return reasonOf(problem);
    case DiaryError::Unreadable: return QStringLiteral("読み込めません (%1)").arg(reasonOf(problem));
    case DiaryError::OpenDocument:
        return QStringLiteral("OpenDocument 形式 (.ods など、LibreOffice の形式) のファイルです") + saveAgain;
    case DiaryError::NewerExcel: return QStringLiteral("Excel 2007 以降の形式 (.xlsx) のファイルです") + saveAgain;
    case DiaryError::CutShort:
        return fileProblemText(FileProblem::CutShort)
               + QStringLiteral(" (%1 バイト)。コピーや保存が終わる前に止まったファイルです").arg(problem.number);
    case DiaryError::NotCompoundFile: return QStringLiteral("Excel 97-2003 のブック (.xls) ではありません");
    case DiaryError::NotAWorkbook: return QStringLiteral("Excel のブックではありません");
    case DiaryError::OldExcel:
        return QStringLiteral("Excel 95 以前の形式のブックです。Excel 97-2003 形式で保存し直してください");
    case DiaryError::BrokenStart: return QStringLiteral("ブックの先頭が壊れています");
    case DiaryError::Truncated: return fileProblemText(FileProblem::CutShort);
    case DiaryError::Password: return QStringLiteral("パスワードで保護されています");
    case DiaryError::BrokenCellFormats: return QStringLiteral("セルの書式が壊れています");
    case DiaryError::BrokenSheetList: return QStringLiteral("シートの一覧が壊れています");
    case DiaryError::BrokenStrings: return QStringLiteral("文字列の表が壊れています");
    case DiaryError::BrokenCells: return QStringLiteral("シート \"%1\" のセルが壊れています").arg(name);
    case DiaryError::NoDiarySheet: return QStringLiteral("シート \"%1\" がありません").arg(name);
    case DiaryError::SheetOutside: return QStringLiteral("シート \"%1\" の中身がブックにありません").arg(name);
    case DiaryError::NoCellFormats: return QStringLiteral("ブックにセルの書式がありません");
    case DiaryError::TooManyRows: return QStringLiteral("日記の行数がシートに入りきりません");
    case DiaryError::SharedFormula:
        return QStringLiteral("日記の列 (A～H) のセル %1 に他のセルと共有する数式があり、書き換えられません。"
                              "Excel などでその数式を値に置き換えるか、I 列より右へ移してから保存し直してください")
            .arg(name);
    case DiaryError::TextTooLong: return QStringLiteral("%1 文字を超える文は保存できません").arg(problem.limit);
    case DiaryError::CannotAssemble: return QStringLiteral("ブックを組み立てられません");
    case DiaryError::CannotSave: return QStringLiteral("保存できません (%1)").arg(reasonOf(problem));
    default: return {};
    }
}

// What keeps a day out of the diary, or what a save could not keep.
QString dayText(const DiaryProblem &problem)
{
    const QString name = problem.names.value(0);
    switch (problem.code) {
    case DiaryError::Full:
        return QStringLiteral("これ以上データを入力できません。\r\nExcelのデータを確認してください。");
    case DiaryError::IntakeCommentTooLong: return commentTooLong(problem, QStringLiteral("コメント（摂取）"));
    case DiaryError::BurnCommentTooLong: return commentTooLong(problem, QStringLiteral("コメント（消費）"));
    case DiaryError::GapAboveDays:
        return QStringLiteral("日記の %1 行目に日付がなく、その下にも記録があります。一度に保存できるのは 1 日だけです")
            .arg(problem.number);
    case DiaryError::AlreadyRecorded: return QStringLiteral("%1 の記録はすでにあります").arg(name);
    case DiaryError::SaveNotes: {
        QStringList lines;
        for (const DiaryProblem &part : problem.parts)
            lines.append(problemText(part));
        return lines.join(QStringLiteral("\r\n"));
    }
    case DiaryError::LinkSplit:
        return QStringLiteral(
                   "\"%1\" は他の名前 (ハードリンク) とも同じファイルでしたが、保存で別のファイルになりました。"
                   "他の名前のほうには保存前の内容が残っています。")
            .arg(problem.path);
    case DiaryError::SharedFormulaKept: return keptFormula(problem, QStringLiteral("他のセルと共有する数式なので"));
    case DiaryError::FormulaLeavingKept:
        return keptFormula(problem, QStringLiteral("動かすと参照がシートの外に出るので"));
    case DiaryError::OddFormulaKept: return keptFormula(problem, QStringLiteral("読み取れない形の数式なので"));
    default: return {};
    }
}

// Who holds the diary, why it cannot be held, and its backups and folder.
QString lockText(const DiaryProblem &problem)
{
    const QString &path = problem.path;
    switch (problem.code) {
    case DiaryError::LockFolderReadOnly: return QStringLiteral("フォルダ \"%1\" に書き込めません").arg(path);
    case DiaryError::LockNotMade:
        return problem.reason ? reasonOf(problem) : QStringLiteral("\"%1\" を作れません").arg(path);
    case DiaryError::LockUnreadable: return QStringLiteral("読めない \"%1\" を消せません").arg(path);
    case DiaryError::OpenedElsewhere:
        return QStringLiteral("日記 \"%1\" は別のトリンボで開かれています (%2)。\r\n"
                              "同じ日記を二つのトリンボで同時に開くことはできません。")
            .arg(path, holder(problem));
    case DiaryError::InUse:
        return QStringLiteral("日記 \"%1\" は %2 が使用中です。").arg(path, holder(problem)) + NotSavedHere;
    case DiaryError::NotLockable:
        return QStringLiteral("日記 \"%1\" を使用中にできません (%2)。").arg(path, firstPart(problem)) + NotSavedHere;
    case DiaryError::UnreadableAtOpen:
        return QStringLiteral("日記 \"%1\" は開いたときに読めなかったため、保存しません。").arg(path);
    case DiaryError::SaveWaitedInUse:
        return QStringLiteral("日記 \"%1\" は %2 が使用中のため、保存しません (%3 秒待ちました)。")
            .arg(path, holder(problem))
            .arg(problem.limit);
    case DiaryError::SaveInUseElsewhere:
        return QStringLiteral("日記 \"%1\" は別のコンピューターの %2 が使用中です (\"%3\")。"
                              "そのトリンボが終わっている (使用中のままフォルダーを写してきた) なら、"
                              "--take-over-lock を付けると引き継いで保存します。")
            .arg(path, holder(problem), problem.names.value(3));
    case DiaryError::SaveNotLockable:
        return QStringLiteral("日記 \"%1\" を使用中にできないため、保存しません (%2)。").arg(path, firstPart(problem));
    case DiaryError::BackupSkipped:
        return QStringLiteral("保存の前の日記を %1 に残せませんでした (%2)。\r\n日記の保存は続けます。")
            .arg(path, firstPart(problem));
    case DiaryError::BackupFolderNotMade: return QStringLiteral("フォルダ %1 を作れません").arg(path);
    case DiaryError::BackupNotRead:
    case DiaryError::BackupNotWritten: return reasonOf(problem);
    case DiaryError::ProgramFolderNotReady:
        return QStringLiteral("プログラムフォルダ \"%1\" を用意できません: %2").arg(path, firstPart(problem));
    case DiaryError::FolderNotMade: return QStringLiteral("フォルダ \"%1\" を作れません").arg(path);
    case DiaryError::StartingFileNotRead:
        return QStringLiteral("\"%1\" を読めません (%2)").arg(path, reasonOf(problem));
    case DiaryError::StartingFileNotWritten:
        return QStringLiteral("\"%1\" を書けません (%2)").arg(path, reasonOf(problem));
    default: return {};
    }
}

QString lineText(const SettingsProblem &problem, const QString &what)
{
    return QStringLiteral("%1 行目: %2").arg(problem.number).arg(what);
}

QString valueText(const SettingsProblem &problem, const QString &what)
{
    return QStringLiteral("[%1] %2=%3: %4")
        .arg(problem.names.value(0), problem.names.value(1), problem.names.value(2), what);
}

QString damagedSettingsText(const SettingsProblem &problem)
{
    constexpr size_t shownAtMost = 10;
    QStringList lines{QStringLiteral("設定ファイル \"%1\" に読めないところがあります。").arg(problem.path)};
    for (size_t i = 0; i < problem.parts.size() && i < shownAtMost; ++i)
        lines.append(problemText(problem.parts[i]));
    if (problem.parts.size() > shownAtMost)
        lines.append(QStringLiteral("ほか %1 か所").arg(problem.parts.size() - shownAtMost));
    lines.append(QStringLiteral("読めない値は空または 0 として扱います。ファイルはそのまま残し、"
                                "設定を保存したときにその設定の値だけを書き換えます。"));
    return lines.join(QStringLiteral("\r\n"));
}

} // namespace

QString problemText(const FileReason &reason)
{
    if (reason.problem == FileProblem::DiskFull && !reason.disk.isEmpty())
        return QStringLiteral("ディスク \"%1\" がいっぱいです: 空き %2 KB、必要 %3 KB")
            .arg(reason.disk)
            .arg(reason.freeBytes / 1024)
            .arg((reason.neededBytes + 1023) / 1024);
    if (reason.problem == FileProblem::Other)
        return QStringLiteral("システムのエラーです (%1)").arg(reason.systemText);
    if (!reason.systemText.isEmpty())
        return QStringLiteral("%1 (%2)").arg(fileProblemText(reason.problem), reason.systemText);
    return fileProblemText(reason.problem);
}

QString problemText(const DiaryProblem &problem)
{
    if (const QString workbook = workbookText(problem); !workbook.isEmpty())
        return QStringLiteral("日記ファイル \"%1\" を使えません: %2").arg(problem.path, workbook);
    if (const QString day = dayText(problem); !day.isEmpty())
        return day;
    return lockText(problem);
}

QString problemText(const PhotoProblem &problem)
{
    switch (problem.code) {
    case PhotoError::BadName: return QStringLiteral("写真フォルダの中のファイル名ではありません");
    case PhotoError::Link: return QStringLiteral("リンクです");
    case PhotoError::NotAFile: return QStringLiteral("普通のファイルではありません (フォルダ、デバイス、パイプなど)");
    case PhotoError::TooLarge:
        return fileProblemText(FileProblem::TooLarge) + QStringLiteral(": %1 MB").arg(problem.number / (1024 * 1024));
    case PhotoError::FolderMissing: return QStringLiteral("写真フォルダがありません");
    case PhotoError::Unreachable: return problem.reason ? problemText(*problem.reason) : QString();
    case PhotoError::UnusableReferences: {
        constexpr int shownAtMost = 10;
        QStringList lines{QStringLiteral("日記の写真の欄に、写真フォルダ \"%1\" の写真として開けないものがあります。")
                              .arg(problem.path)};
        for (size_t i = 0; i < problem.parts.size() && i < shownAtMost; ++i) {
            const PhotoProblem &part = problem.parts[i];
            lines.append(
                QStringLiteral("%1: \"%2\" %3").arg(part.names.value(0), part.names.value(1), problemText(part)));
        }
        if (problem.parts.size() > shownAtMost)
            lines.append(QStringLiteral("ほか %1 件").arg(problem.parts.size() - shownAtMost));
        lines.append(QStringLiteral("これらの日は写真なしとして表示します。日記の写真の欄はそのまま残します。"));
        return lines.join(QStringLiteral("\r\n"));
    }
    case PhotoError::End: break;
    }
    return {};
}

QString problemText(const PictureProblem &problem)
{
    constexpr qint64 megabyte = 1024 * 1024;
    const QString unreadable = QStringLiteral("画像を読み込めません: %1\r\n(%2)");
    switch (problem.code) {
    case PictureError::Unreadable:
        return unreadable.arg(problem.path, problem.reason ? problemText(*problem.reason) : QString());
    case PictureError::TooLarge:
        return unreadable.arg(problem.path, problemText(PhotoProblem(PhotoError::TooLarge, {}, {}, problem.number)));
    case PictureError::TooManyPixels:
        return unreadable.arg(
            problem.path,
            QStringLiteral("画像が大きすぎます: %1 × %2 ピクセル").arg(problem.names.value(0), problem.names.value(1)));
    case PictureError::NotAFile: return unreadable.arg(problem.path, problemText(PhotoProblem(PhotoError::NotAFile)));
    case PictureError::NotStorable:
        return QStringLiteral("この種類の画像は写真として保存できません: %1\r\n"
                              "(使えるのは BMP, JPEG, GIF, PNG, ICO の画像です)")
            .arg(problem.path);
    case PictureError::NoRoom:
        return QStringLiteral("画像が大きすぎます: %1\r\n%2 × %3 ピクセルの写真は保存すると %4 MB になり、"
                              "写真のフォルダー \"%5\" のディスクの空き (%6 MB) に入りません。")
            .arg(problem.path, problem.names.value(0), problem.names.value(1))
            .arg((problem.number + megabyte - 1) / megabyte)
            .arg(problem.names.value(2))
            .arg(problem.limit / megabyte);
    case PictureError::IconUnreadable: return QStringLiteral("アイコンを読み込めません: %1").arg(problem.path);
    case PictureError::NotStaged:
        return QStringLiteral("写真 %1 を保存できません (%2)")
            .arg(problem.path, problem.reason ? problemText(*problem.reason) : QString());
    case PictureError::NotDeleted: return QStringLiteral("写真 %1 を削除できません").arg(problem.path);
    case PictureError::NotCommitted: return QStringLiteral("写真 %1 を保存できません").arg(problem.path);
    case PictureError::End: break;
    }
    return {};
}

QString problemText(const ExchangeProblem &problem)
{
    const bool weight = problem.number == 0;
    switch (problem.code) {
    case ExchangeError::StartNotANumber:
    case ExchangeError::GoalNotANumber: {
        const bool start = problem.code == ExchangeError::StartNotANumber;
        const QString setting =
            start ? (weight ? QStringLiteral("ダイエット開始日の体重") : QStringLiteral("ダイエット開始日の体脂肪率"))
                  : (weight ? QStringLiteral("到達目標の体重") : QStringLiteral("到達目標の体脂肪率"));
        return QStringLiteral("設定の「%1」が数値ではありません（%2）。").arg(setting, problem.names.value(0));
    }
    case ExchangeError::NotRewritten: return QStringLiteral("%1 を書き換えられません。").arg(problem.path);
    case ExchangeError::LevelFileMissing: return QStringLiteral("%1 が見つかりません。").arg(problem.path);
    case ExchangeError::LevelFileUnreadable: return QStringLiteral("%1 を読み込めません。").arg(problem.path);
    case ExchangeError::LevelFileEmpty: return QStringLiteral("%1 が空です。").arg(problem.path);
    case ExchangeError::FirstLineEmpty: return QStringLiteral("%1 の 1 行目が空です。").arg(problem.path);
    case ExchangeError::NotALevel:
        return QStringLiteral("%1 の「%2」は 0〜10 のレベルではありません。").arg(problem.path, problem.names.value(0));
    case ExchangeError::End: break;
    }
    return {};
}

QString problemText(const SettingsProblem &problem)
{
    const QString reason = problem.reason ? problemText(*problem.reason) : QString();
    switch (problem.code) {
    case SettingsError::NotFound: return QStringLiteral("Not Found \"%1\"").arg(problem.names.value(0));
    case SettingsError::Unreadable:
        return QStringLiteral("設定ファイル \"%1\" を読めません (%2)").arg(problem.path, reason);
    case SettingsError::TooLarge:
        return QStringLiteral("設定ファイル \"%1\" を読めません (%2: %3 バイト)")
            .arg(problem.path, fileProblemText(FileProblem::TooLarge))
            .arg(problem.number);
    case SettingsError::Utf16:
        return QStringLiteral("設定ファイル \"%1\" は UTF-16 で書かれています。トリンボは UTF-16 の設定ファイルを"
                              "読み書きしません。UTF-8 か Shift-JIS で保存し直してください。")
            .arg(problem.path);
    case SettingsError::NotWritten:
        return QStringLiteral("設定ファイル \"%1\" に書き込めません (%2)")
            .arg(problem.path, problem.parts.empty() ? reason : problemText(problem.parts.front()));
    case SettingsError::Damaged: return damagedSettingsText(problem);
    case SettingsError::NulInLine: return lineText(problem, QStringLiteral("NUL 文字が入っています"));
    case SettingsError::LineTooLong:
        return lineText(problem, QStringLiteral("長すぎます (%1 バイト)").arg(problem.limit));
    case SettingsError::SectionNotClosed:
        return lineText(problem, QStringLiteral("セクション名を閉じる「]」がありません"));
    case SettingsError::NotKeyValue: return lineText(problem, QStringLiteral("「キー=値」の形ではありません"));
    case SettingsError::NotAnInteger:
        return valueText(problem, QStringLiteral("整数ではありません (0 として読みます)"));
    case SettingsError::ImpossibleLimit:
        return valueText(problem, QStringLiteral("グラフの範囲にできない値です。%1 (空として読みます)")
                                      .arg((problem.number == 0 ? WeightBounds : FatBounds).rule()));
    case SettingsError::End: break;
    }
    return {};
}

QString takeOverQuestion(const DiaryProblem &held)
{
    return QStringLiteral("日記 \"%1\" は別のコンピューターの %2 が使用中にしています。\r\n"
                          "そのトリンボが終わっている (使用中のままフォルダーを写してきた) なら、"
                          "このトリンボで引き継いで使えます。\r\n引き継ぎますか？")
        .arg(held.path, holder(held));
}

QString aftermathText(Aftermath after)
{
    switch (after) {
    case Aftermath::None:
    case Aftermath::End: return {};
    case Aftermath::NotSaved: return QStringLiteral("保存できませんでした。");
    case Aftermath::DiaryUnchanged: return QStringLiteral("日記は保存前のままです。");
    case Aftermath::DiarySaved: return QStringLiteral("日記には保存しました。");
    case Aftermath::OpensEmpty: return QStringLiteral("記録のない状態で開きます。このファイルには保存しません。");
    case Aftermath::ShortenFirst: return QStringLiteral("短くしてから保存してください。");
    case Aftermath::GraphNotKept: return QStringLiteral("グラフ設定は保存されていません。");
    case Aftermath::SettingsNotSaved: return QStringLiteral("設定は保存されていません。");
    case Aftermath::SwitchNotKept: return QStringLiteral("この切り替えは次の起動には残りません。");
    case Aftermath::PhotoFileKept: return QStringLiteral("写真のファイルは消さずにそのまま残します。");
    }
    return {};
}

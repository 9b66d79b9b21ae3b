#include "recordlistdialog.h"

#include "ui_recordlistdialog.h"

#include "datetext.h"
#include "numbertext.h"
#include "photofile.h"

#include <QActionGroup>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

constexpr int TitleHeight = 20;
// Text keeps this far from a cell's left and right edges, so that a
// column's text never runs into the next one.
constexpr int TextInset = 2;
const QList<std::pair<QString, int>> dayColumns{
    {QStringLiteral("日"), 70},
    {QStringLiteral("体重"), 60},
    {QStringLiteral("体脂肪率"), 60},
    {QStringLiteral("摂取カロリー"), 70},
    {QStringLiteral("消費カロリー"), 70},
    {QStringLiteral("コメント（摂取）"), 170},
    {QStringLiteral("コメント（消費）"), 170},
    {QStringLiteral("写真"), PhotoBoxWidth},
};

// A period's summary: its days, weight and body fat, then its counts of
// each calorie level (from column FirstCountColumn on, intake first).
const QList<std::pair<QString, int>> summaryColumns{
    {QStringLiteral("期間"), 124},      {QStringLiteral("日数"), 40},       {QStringLiteral("体重平均"), 58},
    {QStringLiteral("最低"), 48},       {QStringLiteral("最高"), 48},       {QStringLiteral("増減"), 52},
    {QStringLiteral("体脂肪平均"), 62}, {QStringLiteral("最低"), 48},       {QStringLiteral("最高"), 48},
    {QStringLiteral("増減"), 52},       {QStringLiteral("摂取少ない"), 62}, {QStringLiteral("ふつう"), 46},
    {QStringLiteral("多い"), 46},       {QStringLiteral("消費少ない"), 62}, {QStringLiteral("ふつう"), 46},
    {QStringLiteral("多い"), 46},
};
constexpr int FirstCountColumn = 10;

// The list of days shows each diary column in the grid column of its place.
constexpr int IntakeLevelColumn = columnIndex(DiaryColumn::IntakeLevel);
constexpr int BurnLevelColumn = columnIndex(DiaryColumn::BurnLevel);
constexpr int IntakeCommentColumn = columnIndex(DiaryColumn::IntakeComment);
constexpr int BurnCommentColumn = columnIndex(DiaryColumn::BurnComment);
constexpr int PhotoColumn = columnIndex(DiaryColumn::Photo);
const QStringList levelWords{QStringLiteral("少ない"), QStringLiteral("ふつう"), QStringLiteral("多い")};

// "2026/03/01～03/07" for a week, "2026/03" for a month.
QString periodText(const PeriodSummary &summary, SummaryPeriod period)
{
    if (period == SummaryPeriod::Month)
        return summary.first.toString(QStringLiteral("yyyy/MM"));
    return dateText(summary.first) + u'～' + summary.last.toString(QStringLiteral("MM/dd"));
}

// Average, lowest, highest (as recorded) and the change of the average.
QStringList statsTexts(const std::optional<ValueStats> &stats, const std::optional<double> &change)
{
    if (!stats)
        return {{}, {}, {}, {}};
    const QString changeText =
        change ? QStringLiteral("%1%2").arg(*change > 0 ? QStringLiteral("+") : QString()).arg(*change, 0, 'f', 2)
               : QString();
    return {QString::number(stats->average, 'f', 2), generalNumberText(stats->lowest),
            generalNumberText(stats->highest), changeText};
}

QStringList summaryTexts(const PeriodSummary &s, SummaryPeriod period)
{
    QStringList texts{periodText(s, period), QString::number(s.daysRecorded)};
    texts << statsTexts(s.weight, s.weightChange) << statsTexts(s.fat, s.fatChange);
    for (const LevelCounts &counts : {s.intake, s.burn})
        texts << QString::number(counts.little) << QString::number(counts.standard) << QString::number(counts.many);
    return texts;
}

// The ink of Japanese text (kana, kanji, digits) in a font.
QRect japaneseInk(const QFont &font)
{
    return QFontMetrics(font).tightBoundingRect(QStringLiteral("多国鬱ぎ飯食分、0"));
}

// The grid's font, made a pixel smaller at a time until Japanese text fits a
// row with a pixel to spare (the grid's line takes a row's last pixel row).
QFont fittingFont(QFont font)
{
    while (japaneseInk(font).height() > OneLineHeight - 2 && font.pixelSize() > 9)
        font.setPixelSize(font.pixelSize() - 1);
    return font;
}

struct CellLook
{
    QColor background;
    QColor text;
};

// The colours of a level cell by its level; other cells by their column.
CellLook lookOf(int column, const std::optional<std::pair<bool, QString>> &level, const QPalette &palette,
                bool selected)
{
    static const QHash<QString, std::pair<QColor, QColor>> intake{
        {QStringLiteral("多い"), {QColor(255, 102, 102), Qt::white}},
        {QStringLiteral("ふつう"), {QColor(255, 196, 196), Qt::black}},
        {QStringLiteral("少ない"), {QColor(255, 215, 215), Qt::black}}};
    static const QHash<QString, std::pair<QColor, QColor>> burn{
        {QStringLiteral("多い"), {QColor(91, 91, 255), Qt::white}},
        {QStringLiteral("ふつう"), {QColor(140, 140, 255), Qt::black}},
        {QStringLiteral("少ない"), {QColor(179, 179, 255), Qt::black}}};
    if (level) {
        const auto &table = level->first ? intake : burn;
        if (table.contains(level->second))
            return {table.value(level->second).first, table.value(level->second).second};
    }
    if (column == 0)
        return {palette.color(QPalette::Button), Qt::black};
    return {selected ? palette.color(QPalette::Highlight) : palette.color(QPalette::Base), Qt::black};
}

// Draws every cell as the list has always looked: its colours, its text
// from the top-left corner broken only where the text breaks, or its photo.
class CellPainter final : public QStyledItemDelegate
{
public:
    explicit CellPainter(const RecordListDialog *list)
        : QStyledItemDelegate(const_cast<RecordListDialog *>(list)), m_list(list)
    {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        painter->save();
        painter->setFont(m_list->textFont());
        const QString text = index.data().toString();
        const bool selected = option.state & QStyle::State_Selected;
        const CellLook look = lookOf(index.column(), m_list->levelOf(index.column(), text), option.palette, selected);
        if (m_list->drawsPicture(index.row(), index.column()))
            paintPicture(painter, option.rect, index.row(), look);
        else
            paintText(painter, option.rect, text, look);
        painter->restore();
    }

private:
    static void paintText(QPainter *painter, const QRect &rect, const QString &text, const CellLook &look)
    {
        painter->fillRect(rect, look.background);
        painter->setPen(look.text);
        const QRect area = rect.adjusted(TextInset, 0, -TextInset, 0);
        painter->setClipRect(area);
        const QFontMetrics metrics = painter->fontMetrics();
        const int baseline = inkBaseline(painter->font());
        const QStringList lines = QString(text).remove(u'\r').split(u'\n');
        // Lines sit at the pitch the row heights are counted in, so every
        // line of a wrapped comment shows in its row.
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QString &line = lines.at(i);
            painter->save();
            painter->translate(area.left(), rect.top() + int(i) * OneLineHeight + baseline);
            // A line a little too wide for its column is narrowed to fit rather than cut off.
            const int width = metrics.horizontalAdvance(line);
            if (width > area.width())
                painter->scale(std::max(0.75, double(area.width()) / width), 1);
            painter->drawText(0, 0, line);
            painter->restore();
        }
    }

    // The baseline that centres the ink of Japanese text in a line of the
    // row pitch, less the grid line: the font's own line is taller than the
    // pitch, and glyphs set at its top lose their feet. (The tails of Latin
    // g, j, p, q and y may still lose a pixel.)
    static int inkBaseline(const QFont &font)
    {
        const QRect ink = japaneseInk(font);
        return std::max(0, OneLineHeight - 1 - ink.height()) / 2 - ink.top();
    }

    void paintPicture(QPainter *painter, const QRect &rect, int row, const CellLook &look) const
    {
        const QImage photo = m_list->photo(row);
        if (photo.isNull())
            return;
        const QRect box(rect.topLeft(), fitPhotoBox(photo.size()).size);
        painter->fillRect(box, look.background);
        painter->drawImage(box, photo);
    }

    const RecordListDialog *m_list;
};

} // namespace

RecordListDialog::RecordListDialog(const DiaryTable *diary, QDate start, QDate end, const QString &pictureDir,
                                   QWidget *parent)
    : QDialog(parent),
      m_ui(std::make_unique<Ui::RecordListDialog>()),
      m_diary(diary),
      m_start(start),
      m_end(end),
      m_pictureDir(pictureDir)
{
    m_ui->setupUi(this);
    setFixedSize(size());
    m_ui->StrGrd->setItemDelegate(new CellPainter(this));
    connect(m_ui->BtBtn_One, &QPushButton::clicked, this, &RecordListDialog::BtBtn_OneClick);
    connect(m_ui->BtBtn_Wrap, &QPushButton::clicked, this, &RecordListDialog::BtBtn_WrapClick);
    connect(m_ui->BtBtn_Picture, &QPushButton::clicked, this, &RecordListDialog::BtBtn_PictureClick);
    connect(m_ui->BtBtn_Close, &QPushButton::clicked, this, &QDialog::close);
    connect(m_ui->StrGrd, &QTableWidget::cellClicked, this, &RecordListDialog::StrGrdClick);
    auto *views = new QActionGroup(this);
    for (const auto &[view, name, text, keys] :
         {std::tuple{Days, "Act_Days", "日ごと", "Ctrl+1"}, std::tuple{Weeks, "Act_Weeks", "週ごとのまとめ", "Ctrl+2"},
          std::tuple{Months, "Act_Months", "月ごとのまとめ", "Ctrl+3"}}) {
        QAction *action = views->addAction(QString::fromUtf8(text));
        action->setObjectName(QString::fromUtf8(name));
        action->setShortcut(QKeySequence(QString::fromUtf8(keys)));
        action->setCheckable(true);
        action->setChecked(view == Days);
        connect(action, &QAction::triggered, this, [this, v = view] { showView(v); });
        m_viewActions.insert(view, action);
    }
    // Offered where the window is right-clicked; nothing of it is drawn until then.
    addActions(views->actions());
    m_ui->StrGrd->addActions(views->actions());
    setContextMenuPolicy(Qt::ActionsContextMenu);
    m_ui->StrGrd->setContextMenuPolicy(Qt::ActionsContextMenu);
    SetMLStrGrd();
}

RecordListDialog::~RecordListDialog() = default;

void RecordListDialog::setColumns(const QList<std::pair<QString, int>> &columns)
{
    QTableWidget *grid = m_ui->StrGrd;
    grid->setColumnCount(int(columns.size()));
    for (int c = 0; c < columns.size(); ++c) {
        grid->setHorizontalHeaderItem(c, new QTableWidgetItem(columns[c].first));
        grid->setColumnWidth(c, columns[c].second);
    }
}

void RecordListDialog::showView(View view)
{
    if (view == m_view)
        return;
    if (view == Days)
        DataToStrGrd(m_mode <= Pictures ? m_mode : OneLine);
    else
        DataToSummaries(view == Weeks ? SummaryPeriod::Week : SummaryPeriod::Month);
    m_view = view;
    m_viewActions.value(view)->setChecked(true);
}

void RecordListDialog::DataToSummaries(SummaryPeriod period)
{
    m_selectedPhotoRow = -1;
    m_photos.clear();
    m_rows.clear();
    QTableWidget *grid = m_ui->StrGrd;
    setColumns(summaryColumns);
    const std::vector<PeriodSummary> summaries = summarise(*m_diary, period, m_start, m_end);
    grid->setRowCount(int(summaries.size()));
    for (int g = 0; g < int(summaries.size()); ++g) {
        const QStringList texts = summaryTexts(summaries[size_t(g)], period);
        for (int c = 0; c < texts.size(); ++c)
            grid->setItem(g, c, new QTableWidgetItem(texts[c]));
        grid->setRowHeight(g, OneLineHeight);
    }
    grid->scrollToTop();
    grid->setFocus();
}

std::optional<std::pair<bool, QString>> RecordListDialog::levelOf(int column, const QString &text) const
{
    if (m_view == Days && (column == IntakeLevelColumn || column == BurnLevelColumn))
        return std::pair{column == IntakeLevelColumn, text};
    if (m_view != Days && column >= FirstCountColumn)
        return std::pair{column < FirstCountColumn + 3, levelWords.at((column - FirstCountColumn) % 3)};
    return std::nullopt;
}

void RecordListDialog::SetMLStrGrd()
{
    QTableWidget *grid = m_ui->StrGrd;
    setColumns(dayColumns);
    grid->horizontalHeader()->setFixedHeight(TitleHeight);
    grid->verticalHeader()->hide(); // no fixed columns
    grid->verticalHeader()->setMinimumSectionSize(1);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_ui->Edt_StartDay->setText(dateText(m_start));
    m_ui->Edt_EndDay->setText(dateText(m_end));
    DataToStrGrd(OneLine);
}

QFont RecordListDialog::textFont() const
{
    return fittingFont(m_ui->StrGrd->font());
}

Wrapped RecordListDialog::wrap(const QString &text, int column) const
{
    const QFontMetrics metrics(textFont());
    const auto measure = [&metrics](QStringView piece) { return metrics.horizontalAdvance(piece.toString()); };
    return WrapCell(text, m_ui->StrGrd->columnWidth(column) - 2 * TextInset, measure);
}

void RecordListDialog::DataToStrGrd(Mode mode)
{
    if (m_view != Days) {
        m_view = Days;
        m_viewActions.value(Days)->setChecked(true);
        setColumns(dayColumns);
    }
    m_mode = mode;
    m_selectedPhotoRow = -1;
    m_photos.clear();
    QTableWidget *grid = m_ui->StrGrd;
    m_rows = listedRows(*m_diary, m_start, m_end);
    grid->setRowCount(int(m_rows.size()));
    LevelCounts intake, burn;
    for (int g = 0; g < int(m_rows.size()); ++g) {
        const int r = m_rows[size_t(g)];
        int height = OneLineHeight;
        for (const DiaryColumn column : diaryColumns) {
            const int c = columnIndex(column);
            QString text = m_diary->cell(r, column).toText();
            if (c == IntakeLevelColumn || c == BurnLevelColumn) {
                (c == IntakeLevelColumn ? intake : burn).add(text);
                text = levelWord(text);
            } else if ((c == IntakeCommentColumn || c == BurnCommentColumn) && mode != OneLine && !text.isEmpty()) {
                const Wrapped wrapped = wrap(text, c);
                text = wrapped.text;
                height = std::max(height, wrapped.height);
            }
            grid->setItem(g, c, new QTableWidgetItem(text));
        }
        grid->setRowHeight(g, height);
        if (mode == Pictures && !grid->item(g, PhotoColumn)->text().isEmpty())
            grid->setRowHeight(g, photoRowHeight(g));
    }
    for (const auto &[edit, count] :
         {std::pair{m_ui->Edt_CalIn_Little, intake.little}, std::pair{m_ui->Edt_CalIn_Stand, intake.standard},
          std::pair{m_ui->Edt_CalIn_Many, intake.many}, std::pair{m_ui->Edt_CalOut_Little, burn.little},
          std::pair{m_ui->Edt_CalOut_Stand, burn.standard}, std::pair{m_ui->Edt_CalOut_Many, burn.many}})
        edit->setText(QString::number(count));
    grid->setFocus();
}

// A photo that is missing or does not read shows as an empty one-line cell,
// and so does a reference that is no photo file at all (named at start-up).
// Each is read once per fill; clicking it open again reuses it.
int RecordListDialog::photoRowHeight(int row)
{
    const QString name = m_ui->StrGrd->item(row, PhotoColumn)->text();
    QImage photo = m_photos.value(row);
    if (photo.isNull() && !name.isEmpty()) {
        const PhotoFileRead read = readPhotoFile(m_pictureDir, name, MaxPhotoBytes);
        if (read.check.status == PhotoFileCheck::Usable)
            photo.loadFromData(read.bytes);
    }
    if (photo.isNull()) {
        m_photos.remove(row);
        return OneLineHeight;
    }
    m_photos.insert(row, photo);
    return fitPhotoBox(photo.size()).rowHeight;
}

bool RecordListDialog::drawsPicture(int row, int column) const
{
    if (m_view != Days || column != PhotoColumn)
        return false;
    return m_mode == Pictures || (m_mode == OnePicture && row == m_selectedPhotoRow);
}

QString RecordListDialog::commentOf(int row, int column) const
{
    return m_diary->cell(m_rows[size_t(row)], diaryColumns[size_t(column)]).toText();
}

void RecordListDialog::StrGrdClick(int row, int column)
{
    if (m_view != Days)
        return;
    QTableWidget *grid = m_ui->StrGrd;
    m_selectedPhotoRow = -1;
    QTableWidgetItem *cell = grid->item(row, column);
    if (cell && !cell->text().isEmpty()) {
        const bool expanded = grid->rowHeight(row) > OneLineHeight;
        if (column == IntakeCommentColumn || column == BurnCommentColumn) {
            if (expanded) {
                cell->setText(commentOf(row, column));
                grid->setRowHeight(row, OneLineHeight);
            } else {
                const Wrapped wrapped = wrap(commentOf(row, column), column);
                cell->setText(wrapped.text);
                grid->setRowHeight(row, wrapped.height);
            }
        } else if (column == PhotoColumn) {
            m_mode = expanded ? OnePhotoText : OnePicture;
            m_selectedPhotoRow = row;
            grid->setRowHeight(row, expanded ? OneLineHeight : photoRowHeight(row));
        }
    }
    grid->viewport()->update();
}

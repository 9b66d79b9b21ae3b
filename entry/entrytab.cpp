#include "entrytab.h"

#include "ui_entrytab.h"

#include "datetext.h"
#include "entryrules.h"
#include "messages.h"
#include "photofile.h"
#include "photostore.h"
#include "radiogroup.h"

#include <QCalendarWidget>
#include <QFileDialog>
#include <QFileInfo>
#include <QPainter>
#include <QTimer>

namespace {

// Comments keep Windows line breaks in the diary, as the diary always had them.
QString commentForDiary(const QString &shown)
{
    return QString(shown).replace(u'\n', QStringLiteral("\r\n"));
}

QString commentForScreen(const QString &stored)
{
    return QString(stored).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// The decorations beside the level groups: a bowl for what is eaten, a
// runner for what is burnt.
QPixmap bowlPicture()
{
    QPixmap pixmap(25, 25);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(220, 80, 60));
    p.setPen(QPen(QColor(120, 40, 30), 1));
    p.drawChord(QRectF(2, 2, 21, 20), 180 * 16, 180 * 16);
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(4, 8, 17, 6));
    return pixmap;
}

QPixmap runnerPicture()
{
    QPixmap pixmap(48, 66);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(30, 60, 160), 4, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(QColor(30, 60, 160));
    p.drawEllipse(QPointF(28, 9), 6, 6);
    p.drawLine(QPointF(26, 18), QPointF(20, 38)); // body
    p.drawLine(QPointF(25, 22), QPointF(36, 30)); // arm forward
    p.drawLine(QPointF(25, 22), QPointF(12, 26)); // arm back
    p.drawLine(QPointF(20, 38), QPointF(32, 50)); // leg forward
    p.drawLine(QPointF(32, 50), QPointF(30, 62));
    p.drawLine(QPointF(20, 38), QPointF(10, 52)); // leg back
    p.drawLine(QPointF(10, 52), QPointF(2, 52));
    return pixmap;
}

} // namespace

EntryTab::EntryTab(QWidget *parent) : QWidget(parent), m_ui(std::make_unique<Ui::EntryTab>())
{
    m_ui->setupUi(this);
    setAttribute(Qt::WA_StyledBackground);
    setKeyboardOrder({m_ui->Edt_Weight, m_ui->Edt_Fat, m_ui->RcEdt_ComeIn, m_ui->RcEdt_ComeOut, m_ui->RdoGrp_Day,
                      m_ui->RdoGrp_Cal_In, m_ui->RdoGrp_Cal_Out, m_ui->BtBtn_Save_Today, m_ui->Dt_Enter_Day,
                      m_ui->BtBtn_PicSel, m_ui->BtBtn_PicClear});
    m_ui->Img_In->setPixmap(bowlPicture());
    m_ui->Img_Out->setPixmap(runnerPicture());
    m_choosePicture = [this] {
        return QFileDialog::getOpenFileName(this, QStringLiteral("写真選択"), QString(), pictureFilter());
    };
    connect(m_ui->RdoGrp_Day, &RadioGroup::clicked, this, &EntryTab::RdoGrp_DayClick);
    // A date picked in the drop-down calendar, with the mouse or with Enter,
    // closes it; the tab then shows that day.
    const auto closeUp = [this] { QTimer::singleShot(0, this, &EntryTab::Dt_Enter_DayCloseUp); };
    connect(m_ui->Dt_Enter_Day->calendarWidget(), &QCalendarWidget::clicked, this, closeUp);
    connect(m_ui->Dt_Enter_Day->calendarWidget(), &QCalendarWidget::activated, this, closeUp);
    connect(m_ui->Dt_Enter_Day, &QDateEdit::editingFinished, this, &EntryTab::Dt_Enter_DayExit);
    connect(m_ui->SpdBtn_Wup, &QToolButton::clicked, this, &EntryTab::SpdBtn_WupClick);
    connect(m_ui->SpdBtn_Wdwn, &QToolButton::clicked, this, &EntryTab::SpdBtn_WdwnClick);
    connect(m_ui->SpdBtn_Fup, &QToolButton::clicked, this, &EntryTab::SpdBtn_FupClick);
    connect(m_ui->SpdBtn_Fdwn, &QToolButton::clicked, this, &EntryTab::SpdBtn_FdwnClick);
    connect(m_ui->BtBtn_PicSel, &QPushButton::clicked, this, &EntryTab::BtBtn_PicSelClick);
    connect(m_ui->BtBtn_PicClear, &QPushButton::clicked, this, &EntryTab::BtBtn_PicClearClick);
    connect(m_ui->BtBtn_Save_Today, &QPushButton::clicked, this, &EntryTab::saveRequested);
}

EntryTab::~EntryTab() = default;

QDate EntryTab::day() const
{
    return m_ui->Dt_Enter_Day->date();
}

QString EntryTab::weightText() const
{
    return typedNumberText(m_ui->Edt_Weight->text());
}

QString EntryTab::fatText() const
{
    return typedNumberText(m_ui->Edt_Fat->text());
}

void EntryTab::attach(const DiaryTable *diary, const QString &pictureDir)
{
    m_diary = diary;
    m_pictureDir = pictureDir;
}

void EntryTab::SetEnter()
{
    m_ui->RdoGrp_Day->setItemIndex(0);
    m_ui->Dt_Enter_Day->setDate(QDate::currentDate());
    m_ui->Dt_Enter_Day->setEnabled(false);
    m_shownDay = day();
    resetForNewDay();
}

void EntryTab::resetForNewDay()
{
    m_ui->RdoGrp_Cal_In->setItemIndex(1);
    m_ui->RdoGrp_Cal_Out->setItemIndex(1);
    m_ui->RcEdt_ComeIn->clear();
    m_ui->RcEdt_ComeOut->clear();
    showPhoto({});
}

void EntryTab::ChangeDay()
{
    m_shownDay = day();
    const int row = m_diary->findDate(dateText(day()));
    if (row > 0)
        showRow(row);
    else
        resetForNewDay();
}

void EntryTab::showRow(int row)
{
    m_ui->Edt_Weight->setText(m_diary->cell(row, DiaryColumn::Weight).toText());
    m_ui->Edt_Fat->setText(m_diary->cell(row, DiaryColumn::Fat).toText());
    // A level that is neither 0 nor 1 (a 9 typed in the sheet, say) shows as "多い", and is saved so.
    m_ui->RdoGrp_Cal_In->setItemIndex(int(calorieLevel(m_diary->cell(row, DiaryColumn::IntakeLevel).toText())));
    m_ui->RdoGrp_Cal_Out->setItemIndex(int(calorieLevel(m_diary->cell(row, DiaryColumn::BurnLevel).toText())));
    m_ui->RcEdt_ComeIn->setPlainText(commentForScreen(m_diary->cell(row, DiaryColumn::IntakeComment).toText()));
    m_ui->RcEdt_ComeOut->setPlainText(commentForScreen(m_diary->cell(row, DiaryColumn::BurnComment).toText()));
    showStoredPhoto(m_diary->cell(row, DiaryColumn::Photo).toText());
}

// A stored photo that is gone shows as none. One whose file is there but
// does not read, or cannot be reached, is named in a message and kept, so
// that saving the day neither deletes it nor drops the day's reference. A
// reference that is no photo file at all (a path, a link, a pipe) shows as
// none too and is kept as it is; the start-up has named it once already.
void EntryTab::showStoredPhoto(const QString &name)
{
    const PhotoFileCheck check = checkPhotoFile(m_pictureDir, name, MaxPhotoBytes);
    if (name.isEmpty() || check.status == PhotoFileCheck::Missing) {
        showPhoto({});
        return;
    }
    if (check.status == PhotoFileCheck::BadName || check.status == PhotoFileCheck::NotAFile) {
        showPhoto({}, name, true);
        return;
    }
    const LoadedPicture loaded = loadStoredPhoto(m_pictureDir, name);
    showPhoto(loaded.image, name, loaded.error.has_value());
    if (loaded.error)
        Messages::error(*loaded.error, Aftermath::PhotoFileKept);
}

void EntryTab::fillFromNewest()
{
    const int newest = m_diary->rowCount();
    if (newest < 1) {
        m_ui->Edt_Weight->setText(QStringLiteral("0"));
        m_ui->Edt_Fat->setText(QStringLiteral("0"));
        SetEnter();
        return;
    }
    m_ui->Edt_Weight->setText(m_diary->cell(newest, DiaryColumn::Weight).toText());
    m_ui->Edt_Fat->setText(m_diary->cell(newest, DiaryColumn::Fat).toText());
    SetEnter();
    if (m_diary->cell(newest, DiaryColumn::Date).equalsDateText(dateText(QDate::currentDate())))
        showRow(newest);
}

void EntryTab::showPhoto(const QImage &photo, const QString &reference, bool keepStoredFile)
{
    m_photo = photo;
    m_photoReference = reference;
    m_keepStoredFile = keepStoredFile;
    if (photo.isNull())
        m_ui->Img_PicSel->clear();
    else
        m_ui->Img_PicSel->setPixmap(QPixmap::fromImage(photo.scaled(m_ui->Img_PicSel->size())));
}

PhotoChange EntryTab::photoChange() const
{
    if (m_keepStoredFile)
        return keepPhoto(m_photoReference);
    return planPhotoChange(hasPhoto() ? 0 : 1, m_photoReference, m_photo, day(), m_pictureDir);
}

DayValues EntryTab::dayValues(const QString &photo) const
{
    return {dateText(day()),
            weightText(),
            fatText(),
            m_ui->RdoGrp_Cal_In->itemIndex(),
            m_ui->RdoGrp_Cal_Out->itemIndex(),
            commentForDiary(m_ui->RcEdt_ComeIn->toPlainText()),
            commentForDiary(m_ui->RcEdt_ComeOut->toPlainText()),
            photo};
}

void EntryTab::RdoGrp_DayClick(int index)
{
    if (index == 1) {
        m_ui->Dt_Enter_Day->setEnabled(true);
        return;
    }
    m_ui->Dt_Enter_Day->setDate(QDate::currentDate());
    ChangeDay();
    m_ui->Dt_Enter_Day->setEnabled(false);
}

void EntryTab::Dt_Enter_DayCloseUp()
{
    ChangeDay();
}

// A day typed into the picker is shown once the typing is done (Enter, or
// leaving the picker), so that the tab never offers one day's values under
// another day's date.
void EntryTab::Dt_Enter_DayExit()
{
    if (day() != m_shownDay)
        ChangeDay();
}

void EntryTab::step(QLineEdit *edit, bool up, bool ceilingAt100)
{
    if (const std::optional<QString> stepped = stepMeasurement(edit->text(), up ? Step::Up : Step::Down, ceilingAt100))
        edit->setText(*stepped);
}

void EntryTab::SpdBtn_WupClick()
{
    step(m_ui->Edt_Weight, true, false);
}

void EntryTab::SpdBtn_WdwnClick()
{
    step(m_ui->Edt_Weight, false, false);
}

void EntryTab::SpdBtn_FupClick()
{
    step(m_ui->Edt_Fat, true, true);
}

void EntryTab::SpdBtn_FdwnClick()
{
    step(m_ui->Edt_Fat, false, true);
}

void EntryTab::BtBtn_PicSelClick()
{
    const QString path = m_choosePicture();
    if (path.isEmpty())
        return;
    if (!isStorablePicture(path)) {
        Messages::error(PictureProblem(PictureError::NotStorable, path));
        return;
    }
    if (const PictureFailure problem = photoRoomProblem(path, m_pictureDir)) {
        Messages::error(*problem);
        return;
    }
    const LoadedPicture loaded = loadPicture(path);
    if (loaded.error) {
        Messages::error(*loaded.error);
        return;
    }
    showPhoto(loaded.image, path);
}

void EntryTab::BtBtn_PicClearClick()
{
    showPhoto({});
}

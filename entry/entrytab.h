#pragma once

#include "diarybook.h"
#include "diarytable.h"
#include "numbertext.h"
#include "photostore.h"

#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>

class QLineEdit;

namespace Ui {
class EntryTab;
}

// The entry tab: one day's weight, body fat, calorie levels, comments and
// photo. It holds nothing beyond its controls and the photo reference; a
// save reads them at the moment of saving.
class EntryTab : public QWidget
{
    Q_OBJECT

public:
    explicit EntryTab(QWidget *parent = nullptr);
    ~EntryTab() override;

    // The diary whose days the tab shows, and the folder of the day photos.
    void attach(const DiaryTable *diary, const QString &pictureDir);
    // How a picture file is chosen (the file dialog, unless a test says otherwise).
    void setPictureChooser(std::function<QString()> chooser) { m_choosePicture = std::move(chooser); }

    // Ready for a new day on today; weight and body fat stay as they are.
    void SetEnter();
    // Shows the day of the picker: its recorded values, or new-day defaults.
    void ChangeDay();
    // At start-up: the newest day's weight and body fat, and all of today's
    // values when the newest day is today.
    void fillFromNewest();

    QDate day() const;
    QString weightText() const;
    QString fatText() const;
    bool hasPhoto() const { return !m_photo.isNull(); }
    // What saving the day does to its photo file.
    PhotoChange photoChange() const;
    void setPhotoReference(const QString &reference) { m_photoReference = reference; }
    // The day as the tab shows it, ready to be written; photo is the given reference.
    DayValues dayValues(const QString &photo) const;

Q_SIGNALS:
    void saveRequested();

private:
    void RdoGrp_DayClick(int index);
    void Dt_Enter_DayCloseUp();
    void Dt_Enter_DayExit();
    void SpdBtn_WupClick();
    void SpdBtn_WdwnClick();
    void SpdBtn_FupClick();
    void SpdBtn_FdwnClick();
    void BtBtn_PicSelClick();
    void BtBtn_PicClearClick();

    void showRow(int row);
    // The photo the day is saved with: the picture shown, what it refers to
    // (a chosen file, or the day's stored name), and whether a stored file
    // that did not read is to be left as it is.
    void showPhoto(const QImage &photo, const QString &reference = {}, bool keepStoredFile = false);
    void showStoredPhoto(const QString &name);
    void resetForNewDay();
    void step(QLineEdit *edit, bool up, bool ceilingAt100);

    std::unique_ptr<Ui::EntryTab> m_ui;
    const DiaryTable *m_diary = nullptr;
    QString m_pictureDir;
    QImage m_photo;
    QString m_photoReference;
    QDate m_shownDay; // the day the tab was last filled for
    bool m_keepStoredFile = false;
    std::function<QString()> m_choosePicture;
};

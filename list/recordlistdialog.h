#pragma once

#include "diarytable.h"
#include "listrules.h"
#include "summaries.h"

#include <QDialog>
#include <QHash>
#include <QImage>
#include <memory>

namespace Ui {
class RecordListDialog;
}

// The record list: the days of the graph's date window as a table, with the
// calorie levels coloured and counted, comments on one line or wrapped, and
// the photos; or, switched from its context menu (or Ctrl+2, Ctrl+3), the
// weekly or monthly summaries of those days. It reads the diary and never
// changes it.
class RecordListDialog : public QDialog
{
    Q_OBJECT

public:
    enum Mode { OneLine = 0, WrappedComments = 1, Pictures = 2, OnePicture = 3, OnePhotoText = 4 };
    enum View { Days, Weeks, Months };

    RecordListDialog(const DiaryTable *diary, QDate start, QDate end, const QString &pictureDir,
                     QWidget *parent = nullptr);
    ~RecordListDialog() override;

    void SetMLStrGrd();
    void DataToStrGrd(Mode mode);
    void StrGrdClick(int row, int column);
    // The days as the display mode last showed them, or the summaries.
    void showView(View view);

    Mode mode() const { return m_mode; }
    View view() const { return m_view; }
    int selectedPhotoRow() const { return m_selectedPhotoRow; }
    // The photo of a listed row as shown, or none.
    QImage photo(int row) const { return m_photos.value(row); }
    // How a cell is drawn: the photo cells of the shown photos draw pictures.
    bool drawsPicture(int row, int column) const;
    Wrapped wrap(const QString &text, int column) const;
    // The font of the cells' text: the grid's, as large as lets Japanese
    // text fit a one-line row whole.
    QFont textFont() const;
    // The calorie level a cell's colours show: whether of intake, and its word.
    std::optional<std::pair<bool, QString>> levelOf(int column, const QString &text) const;

private:
    void BtBtn_OneClick() { DataToStrGrd(OneLine); }
    void BtBtn_WrapClick() { DataToStrGrd(WrappedComments); }
    void BtBtn_PictureClick() { DataToStrGrd(Pictures); }
    QString commentOf(int row, int column) const;
    int photoRowHeight(int row);
    void setColumns(const QList<std::pair<QString, int>> &columns);
    void DataToSummaries(SummaryPeriod period);

    std::unique_ptr<Ui::RecordListDialog> m_ui;
    const DiaryTable *m_diary;
    QDate m_start;
    QDate m_end;
    QString m_pictureDir;
    Mode m_mode = OneLine;
    View m_view = Days;
    QHash<View, QAction *> m_viewActions;
    int m_selectedPhotoRow = -1;
    std::vector<int> m_rows;     // the diary row of each list row
    QHash<int, QImage> m_photos; // by list row, loaded once per fill
};

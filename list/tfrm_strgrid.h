#pragma once

#include "diarytable.h"
#include "listrules.h"

#include <QDialog>
#include <QHash>
#include <QImage>
#include <memory>

namespace Ui {
class TFrm_StrGrid;
}

// The record list: the days of the graph's date window as a table, with the
// calorie levels coloured and counted, comments on one line or wrapped, and
// the photos. It reads the diary and never changes it.
class TFrm_StrGrid : public QDialog
{
    Q_OBJECT

public:
    enum Mode { OneLine = 0, WrappedComments = 1, Pictures = 2, OnePicture = 3, OnePhotoText = 4 };

    TFrm_StrGrid(const DiaryTable *diary, QDate start, QDate end, const QString &pictureDir, QWidget *parent = nullptr);
    ~TFrm_StrGrid() override;

    void SetMLStrGrd();
    void DataToStrGrd(Mode mode);
    void StrGrdClick(int row, int column);

    Mode mode() const { return m_mode; }
    int selectedPhotoRow() const { return m_selectedPhotoRow; }
    // The photo of a listed row as shown, or none.
    QImage photo(int row) const { return m_photos.value(row); }
    // How a cell is drawn: the photo cells of the shown photos draw pictures.
    bool drawsPicture(int row, int column) const;
    Wrapped wrap(const QString &text, int column) const;
    // The font of the cells' text: the grid's, as large as lets Japanese
    // text fit a one-line row whole.
    QFont textFont() const;

private:
    void BtBtn_OneClick() { DataToStrGrd(OneLine); }
    void BtBtn_WrapClick() { DataToStrGrd(WrappedComments); }
    void BtBtn_PictureClick() { DataToStrGrd(Pictures); }
    QString commentOf(int row, int column) const;
    int photoRowHeight(int row);

    std::unique_ptr<Ui::TFrm_StrGrid> m_ui;
    const DiaryTable *m_diary;
    QDate m_start;
    QDate m_end;
    QString m_pictureDir;
    Mode m_mode = OneLine;
    int m_selectedPhotoRow = -1;
    std::vector<int> m_rows;     // the diary row of each list row
    QHash<int, QImage> m_photos; // by list row, loaded once per fill
};

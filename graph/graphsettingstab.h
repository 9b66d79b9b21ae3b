#pragma once

#include "graphwindow.h"
#include "limitrules.h"
#include "settings.h"

#include <QImage>
#include <QLineEdit>
#include <QWidget>
#include <memory>

class QDateEdit;

namespace Ui {
class GraphSettingsTab;
}

// The graph settings tab: limits, dates, line choice, colours and the
// background. Each control edits one field of the tab's copy of the Graph
// settings; nothing here redraws the graph until they are saved.
class GraphSettingsTab : public QWidget
{
    Q_OBJECT

public:
    explicit GraphSettingsTab(QWidget *parent = nullptr);
    ~GraphSettingsTab() override;

    // The fields this tab starts from, and the background folder.
    void attach(const GraphSettings &fields, const QString &bkGrndDir);
    // The fields as the controls have edited them.
    const GraphSettings &fields() const { return m_fields; }

    // Puts the fields into the controls and loads the background.
    void SetGraph();
    // What the graph covers, as the controls show it now.
    GraphWindow graphWindow() const;
    QImage background() const { return m_background; }
    void BckGrndEstb(int number);

Q_SIGNALS:
    // "保存" was pressed: the fields are to be saved and drawn.
    void saveRequested();

private:
    void Edt_UpWlimitExit();
    void Edt_DwnWlimitExit();
    void Edt_UpFlimitExit();
    void Edt_DwnFlimitExit();
    void SpdBtn_WupupClick();
    void SpdBtn_WupDwnClick();
    void SpdBtn_WDwnupClick();
    void SpdBtn_WDwndwnClick();
    void SpdBtn_FupupClick();
    void SpdBtn_FupDwnClick();
    void SpdBtn_FDwnupClick();
    void SpdBtn_FDwndwnClick();
    void Dt_Grph_StartDExit();
    void Dt_Grph_EndDExit();
    void RdoGrp_WorFClick(int index);
    void RdoGrp_TrimboVisClick(int index);
    void ClrBx_WClick();
    void ClrBx_FClick();
    void CmbBx_BkGrndClick(int index);
    void BtBtn_Save_GraphClick();

    void connectHandlers();
    void limitExit(QLineEdit *edit, QString &field, const LimitExit &result);
    void stepped(QLineEdit *edit, QString &field, const QString &limit);
    void show(QLineEdit *edit, const QString &field) { edit->setText(field); }
    std::optional<ValueRange> limits(const QLineEdit *lower, const QLineEdit *upper, const QString &lowerField,
                                     const QString &upperField, const MeasureBounds &bounds) const;
    void dateExit(DateSide side);

    std::unique_ptr<Ui::GraphSettingsTab> m_ui;
    GraphSettings m_fields;
    QString m_bkGrndDir;
    QImage m_background;
};

// The background pictures, numbered from 1 as the list shows them: the
// file name of each without ".bmp"; empty for a number outside 1 to 15.
QString backgroundName(int number);

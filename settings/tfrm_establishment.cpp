#include "tfrm_establishment.h"

#include "datetext.h"
#include "establishrules.h"
#include "focusexit.h"
#include "messages.h"

TFrm_Establishment::TFrm_Establishment(EstablishSettings *fields, const QString &iniPath, QWidget *parent)
    : QDialog(parent), m_fields(fields), m_iniPath(iniPath)
{
    m_ui.setupUi(this);
    setFixedSize(size());
    onExit(m_ui.Edt_W_DStrtDy, [this] { Edt_W_DStrtDyExit(); });
    onExit(m_ui.Edt_F_DStrtDy, [this] { Edt_F_DStrtDyExit(); });
    onExit(m_ui.Edt_W_Goal, [this] { Edt_W_GoalExit(); });
    onExit(m_ui.Edt_F_Goal, [this] { Edt_F_GoalExit(); });
    connect(m_ui.Btn_Save, &QPushButton::clicked, this, &TFrm_Establishment::Btn_SaveClick);
    connect(m_ui.Btn_Cancel, &QPushButton::clicked, this, &TFrm_Establishment::Btn_CancelClick);
    FormShow();
}

void TFrm_Establishment::FormShow()
{
    m_ui.Dt_DStrtD->setDate(dateOrToday(m_fields->DStartD));
    m_ui.Edt_W_DStrtDy->setText(m_fields->DStartW);
    m_ui.Edt_F_DStrtDy->setText(m_fields->DStartF);
    m_ui.Edt_W_Goal->setText(m_fields->GoalW);
    m_ui.Edt_F_Goal->setText(m_fields->GoalF);
    m_ui.RdoGrp_W->setItemIndex(m_fields->FloatW);
    m_ui.RdoGrp_F->setItemIndex(m_fields->FloatF);
}

void TFrm_Establishment::Btn_SaveClick()
{
    const EstablishSettings chosen{dateText(m_ui.Dt_DStrtD->date()), m_ui.Edt_W_DStrtDy->text(),
                                   m_ui.Edt_F_DStrtDy->text(),       m_ui.Edt_W_Goal->text(),
                                   m_ui.Edt_F_Goal->text(),          m_ui.RdoGrp_W->itemIndex(),
                                   m_ui.RdoGrp_F->itemIndex()};
    // Not written, nothing changes: the dialog stays open with what was typed.
    if (QString error; !WriteIni_Establish(m_iniPath, chosen, &error)) {
        Messages::error(error + QStringLiteral("\r\n設定は保存されていません。"));
        return;
    }
    *m_fields = chosen;
    accept();
}

void TFrm_Establishment::Btn_CancelClick()
{
    reject();
}

void TFrm_Establishment::Edt_W_DStrtDyExit()
{
    m_ui.Edt_W_DStrtDy->setText(startValueExit(m_ui.Edt_W_DStrtDy->text(), m_fields->DStartW));
}

void TFrm_Establishment::Edt_F_DStrtDyExit()
{
    m_ui.Edt_F_DStrtDy->setText(startValueExit(m_ui.Edt_F_DStrtDy->text(), m_fields->DStartF));
}

void TFrm_Establishment::goalExit(QLineEdit *goal, const QLineEdit *start, const QString &message)
{
    const GoalExit result = goalValueExit(goal->text(), start->text());
    if (!result.accepted)
        Messages::information(message);
    goal->setText(result.text);
}

void TFrm_Establishment::Edt_W_GoalExit()
{
    goalExit(m_ui.Edt_W_Goal, m_ui.Edt_W_DStrtDy,
             QStringLiteral("目標の体重はダイエット開始日の体重より\r\n小さくなければなりません。"));
}

void TFrm_Establishment::Edt_F_GoalExit()
{
    goalExit(m_ui.Edt_F_Goal, m_ui.Edt_F_DStrtDy,
             QStringLiteral("目標の体脂肪率はダイエット開始日の体脂肪率より\r\n小さくなければなりません。"));
}

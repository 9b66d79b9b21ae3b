#include "setupdialog.h"

#include "ui_setupdialog.h"

#include "datetext.h"
#include "establishrules.h"
#include "focusexit.h"
#include "messages.h"
#include "radiogroup.h"

SetupDialog::SetupDialog(const EstablishSettings &fields, Save save, QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::SetupDialog>()), m_fields(fields), m_save(std::move(save))
{
    m_ui->setupUi(this);
    setFixedSize(size());
    setKeyboardOrder({m_ui->Edt_W_DStrtDy, m_ui->Edt_F_DStrtDy, m_ui->Edt_W_Goal, m_ui->Edt_F_Goal, m_ui->Btn_Save,
                      m_ui->Btn_Cancel, m_ui->RdoGrp_W, m_ui->RdoGrp_F, m_ui->Dt_DStrtD});
    onExit(m_ui->Edt_W_DStrtDy, [this] { Edt_W_DStrtDyExit(); });
    onExit(m_ui->Edt_F_DStrtDy, [this] { Edt_F_DStrtDyExit(); });
    onExit(m_ui->Edt_W_Goal, [this] { Edt_W_GoalExit(); });
    onExit(m_ui->Edt_F_Goal, [this] { Edt_F_GoalExit(); });
    connect(m_ui->Btn_Save, &QPushButton::clicked, this, &SetupDialog::Btn_SaveClick);
    connect(m_ui->Btn_Cancel, &QPushButton::clicked, this, &SetupDialog::Btn_CancelClick);
    // The buttons take the focus by Tab only: a click on "保存/閉じる" leaves
    // the focus in the edit, so that the save checks it first, as Enter does.
    m_ui->Btn_Save->setFocusPolicy(Qt::TabFocus);
    m_ui->Btn_Cancel->setFocusPolicy(Qt::TabFocus);
    m_ui->Edt_W_DStrtDy->setFocus();
    FormShow();
}

SetupDialog::~SetupDialog() = default;

void SetupDialog::FormShow()
{
    m_ui->Dt_DStrtD->setDate(dateOrToday(m_fields.DStartD));
    m_ui->Edt_W_DStrtDy->setText(m_fields.DStartW);
    m_ui->Edt_F_DStrtDy->setText(m_fields.DStartF);
    m_ui->Edt_W_Goal->setText(m_fields.GoalW);
    m_ui->Edt_F_Goal->setText(m_fields.GoalF);
    m_ui->RdoGrp_W->setItemIndex(m_fields.FloatW);
    m_ui->RdoGrp_F->setItemIndex(m_fields.FloatF);
}

void SetupDialog::Btn_SaveClick()
{
    // A value its check refuses is never saved: the dialog stays open and
    // shows what the check put back.
    if (!checkFocusedEdit())
        return;
    const EstablishSettings chosen{dateText(m_ui->Dt_DStrtD->date()), m_ui->Edt_W_DStrtDy->text(),
                                   m_ui->Edt_F_DStrtDy->text(),       m_ui->Edt_W_Goal->text(),
                                   m_ui->Edt_F_Goal->text(),          m_ui->RdoGrp_W->itemIndex(),
                                   m_ui->RdoGrp_F->itemIndex()};
    // Not saved: the dialog stays open with what was typed.
    if (m_save(chosen))
        accept();
}

void SetupDialog::Btn_CancelClick()
{
    reject();
}

bool SetupDialog::checkFocusedEdit()
{
    const QWidget *focused = focusWidget();
    if (focused == m_ui->Edt_W_DStrtDy)
        return Edt_W_DStrtDyExit();
    if (focused == m_ui->Edt_F_DStrtDy)
        return Edt_F_DStrtDyExit();
    if (focused == m_ui->Edt_W_Goal)
        return Edt_W_GoalExit();
    if (focused == m_ui->Edt_F_Goal)
        return Edt_F_GoalExit();
    return true;
}

bool SetupDialog::Edt_W_DStrtDyExit()
{
    const ExitCheck result = startValueExit(m_ui->Edt_W_DStrtDy->text(), m_fields.DStartW);
    m_ui->Edt_W_DStrtDy->setText(result.text);
    return result.accepted;
}

bool SetupDialog::Edt_F_DStrtDyExit()
{
    const ExitCheck result = startValueExit(m_ui->Edt_F_DStrtDy->text(), m_fields.DStartF);
    m_ui->Edt_F_DStrtDy->setText(result.text);
    return result.accepted;
}

bool SetupDialog::goalExit(QLineEdit *goal, const QLineEdit *start, const QString &message)
{
    const ExitCheck result = goalValueExit(goal->text(), start->text());
    goal->setText(result.text);
    if (!result.accepted)
        Messages::information(message);
    return result.accepted;
}

bool SetupDialog::Edt_W_GoalExit()
{
    return goalExit(m_ui->Edt_W_Goal, m_ui->Edt_W_DStrtDy,
                    QStringLiteral("目標の体重はダイエット開始日の体重より\r\n小さくなければなりません。"));
}

bool SetupDialog::Edt_F_GoalExit()
{
    return goalExit(m_ui->Edt_F_Goal, m_ui->Edt_F_DStrtDy,
                    QStringLiteral("目標の体脂肪率はダイエット開始日の体脂肪率より\r\n小さくなければなりません。"));
}

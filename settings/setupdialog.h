#pragma once

#include "settings.h"

#include <QDialog>
#include <functional>

#include <memory>

class QLineEdit;

namespace Ui {
class SetupDialog;
}

// The setup dialog: the diet's start date, start values, goals and decimal
// places. It shows the fields it is given and hands the values chosen to
// save; it closes only once they are saved.
class SetupDialog : public QDialog
{
    Q_OBJECT

public:
    // Saves the values chosen; false when they were not saved (and the user told why).
    using Save = std::function<bool(const EstablishSettings &chosen)>;
    SetupDialog(const EstablishSettings &fields, Save save, QWidget *parent = nullptr);
    ~SetupDialog() override;

    void FormShow();
    void Btn_SaveClick();
    void Btn_CancelClick();

private:
    // Each check puts its verdict into the edit and says whether it accepted.
    bool Edt_W_DStrtDyExit();
    bool Edt_F_DStrtDyExit();
    bool Edt_W_GoalExit();
    bool Edt_F_GoalExit();
    bool goalExit(QLineEdit *goal, const QLineEdit *start, const QString &message);
    // The check of the edit the user is still in, as if it were left now;
    // true when there is none or it accepted.
    bool checkFocusedEdit();

    std::unique_ptr<Ui::SetupDialog> m_ui;
    EstablishSettings m_fields;
    Save m_save;
};

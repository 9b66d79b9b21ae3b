#include "messages.h"

#include <QApplication>
#include <QMessageBox>

namespace Messages {
namespace {

// Texts keep Windows line breaks ("\r\n"), as the diary's messages always had;
// a box shows them as plain line breaks.
QString boxText(const QString &text)
{
    QString shown = text;
    return shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

class BoxResponder final : public Responder
{
public:
    void show(Kind kind, const QString &text) override
    {
        const QString title = QApplication::applicationDisplayName();
        if (kind == Kind::Error)
            QMessageBox::critical(QApplication::activeWindow(), title, boxText(text));
        else
            QMessageBox::information(QApplication::activeWindow(), title, boxText(text));
    }

    bool ask(const QString &question) override
    {
        return QMessageBox::question(QApplication::activeWindow(), QApplication::applicationDisplayName(),
                                     boxText(question), QMessageBox::Yes | QMessageBox::No)
               == QMessageBox::Yes;
    }
};

BoxResponder boxes;
Responder *current = &boxes;

} // namespace

void information(const QString &text)
{
    current->show(Kind::Information, text);
}

void error(const QString &text)
{
    current->show(Kind::Error, text);
}

bool askYesNo(const QString &question)
{
    return current->ask(question);
}

void setResponder(Responder *responder)
{
    current = responder ? responder : &boxes;
}

} // namespace Messages

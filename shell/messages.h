#pragma once

#include <QString>

// Every message box of the program goes through here, so that a test can
// read what would have been shown and answer the questions itself.
namespace Messages {

enum class Kind { Information, Error };

class Responder
{
public:
    virtual ~Responder() = default;
    virtual void show(Kind kind, const QString &text) = 0;
    // A question with Yes and No; true for Yes.
    virtual bool ask(const QString &question) = 0;
};

void information(const QString &text);
void error(const QString &text);
bool askYesNo(const QString &question);

// Replaces the message boxes with a responder (nullptr restores the boxes).
// The caller keeps ownership.
void setResponder(Responder *responder);

} // namespace Messages

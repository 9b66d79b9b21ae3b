#pragma once

#include "problemwording.h"

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

// A problem of any area, in its words, with what became of it.
template<typename... Areas>
void information(const std::variant<Areas...> &problem, Aftermath after = Aftermath::None)
{
    information(problemText(problem, after));
}
template<typename... Areas>
void error(const std::variant<Areas...> &problem, Aftermath after = Aftermath::None)
{
    error(problemText(problem, after));
}

// A problem of one area.
template<typename Code>
void error(const Problem<Code> &problem, Aftermath after = Aftermath::None)
{
    error(std::variant<Problem<Code>>(problem), after);
}

// Replaces the message boxes with a responder (nullptr restores the boxes).
// The caller keeps ownership.
void setResponder(Responder *responder);

} // namespace Messages

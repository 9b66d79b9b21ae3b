#pragma once

#include "diaryproblem.h"
#include "exchangeproblem.h"
#include "photoproblem.h"
#include "pictureproblem.h"
#include "settingsproblem.h"

#include <QString>
#include <variant>

// The words the user reads for every problem the program can meet, made
// here alone from the problem's code and what it names.

QString problemText(const FileReason &reason);
QString problemText(const DiaryProblem &problem);
QString problemText(const PhotoProblem &problem);
QString problemText(const PictureProblem &problem);
QString problemText(const SettingsProblem &problem);
QString problemText(const ExchangeProblem &problem);
QString aftermathText(Aftermath after);

// The question put before a lock made on another computer is taken over.
QString takeOverQuestion(const DiaryProblem &held);

// A problem of any area with what became of it, as one message.
template<typename... Areas>
QString problemText(const std::variant<Areas...> &problem, Aftermath after)
{
    const QString said = std::visit([](const auto &p) { return problemText(p); }, problem);
    return after == Aftermath::None ? said : said + QStringLiteral("\r\n") + aftermathText(after);
}

// Text a message is made of already (the entry's checks) is shown as it is.
inline QString problemText(const QString &text)
{
    return text;
}

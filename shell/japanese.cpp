#include "japanese.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

void useJapanese()
{
    // Japanese dates and weekdays, Sunday first. A year is a plain number
    // ("2026", not "2,026"); the diary's own numbers and dates are written
    // in fixed forms that no locale changes.
    QLocale japanese(QLocale::Japanese, QLocale::Japan);
    japanese.setNumberOptions(QLocale::OmitGroupSeparator);
    QLocale::setDefault(japanese);

    auto *translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(japanese, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
}

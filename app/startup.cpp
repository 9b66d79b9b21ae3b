#include "startup.h"

#include "japanese.h"

#include <QApplication>
#include <QFont>

void prepareApplication()
{
    QApplication::setApplicationName(QStringLiteral("Trimbo"));
    // The windows are laid out for Tahoma; a CJK face stands in for it so the
    // Japanese captions render.
    QFont::insertSubstitution(QStringLiteral("Tahoma"), QStringLiteral("Noto Sans CJK JP"));
    useJapanese();
}

#include "startup.h"

#include <QApplication>
#include <QFont>
#include <QImageReader>

void prepareApplication()
{
    QApplication::setApplicationName(QStringLiteral("Trimbo"));
    // The windows are laid out for Tahoma; a CJK face stands in for it so the
    // Japanese captions render.
    QFont::insertSubstitution(QStringLiteral("Tahoma"), QStringLiteral("Noto Sans CJK JP"));
    // How large a day photo may be is set by the room its bitmap takes in the
    // photo folder; the memory a picture may take to decode only stops
    // pictures no camera makes (Qt's own limit refused 48-megapixel photos).
    QImageReader::setAllocationLimit(1024);
}

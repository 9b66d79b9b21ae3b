#pragma once

#include <QByteArrayView>
#include <QSize>

// What can be told of a picture file from its bytes before it is decoded.
// Qt's decoders turn a bitmap, JPEG or GIF that stops early into half a
// picture without complaint, and say nothing clear about a picture too
// large to hold; these checks let the user be told which it is.

// True when a bitmap is shorter than its header says, a JPEG stops before
// its end marker, or a GIF stops before its trailer. Other formats, and
// bytes that are no picture at all, are left to the decoder (false).
bool isCutShort(QByteArrayView bytes);

// The width and height a bitmap's header declares; an invalid size for
// anything else (Qt's reader tells the size of the other formats).
QSize bitmapHeaderSize(QByteArrayView bytes);

#pragma once

#include <QImage>

// The key pictures of the boxing legend: rows of key caps with the key of one
// action drawn white and the others orange.

// C V B N M, 125 x 25; highlighted is one of those letters.
QImage letterKeysPicture(QChar highlighted);

enum class ArrowKey { Left, Up, Down, Right };
// The four arrow keys, 100 x 25.
QImage arrowKeysPicture(ArrowKey highlighted);

// A single cap labelled Space, 71 x 25.
QImage spaceKeyPicture();

#pragma once

#include <QString>

// How a level is put to the user: "レベル 7 / 10" and a short phrase.
QString levelCaption(int level);
QString levelPhrase(int level);

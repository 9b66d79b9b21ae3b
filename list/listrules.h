#pragma once

#include "diarytable.h"

#include <QDate>
#include <QSize>
#include <QString>
#include <functional>
#include <vector>

// The arithmetic of the record list: which days it lists, the level words
// and counts, comment wrapping and the photo boxes.

inline constexpr int OneLineHeight = 16;
inline constexpr int PhotoBoxWidth = 220;
inline constexpr int PhotoBoxHeight = 123;

// "0" 少ない, "1" ふつう, anything else (an empty cell included) 多い.
QString levelWord(const QString &levelText);

struct LevelCounts
{
    int little = 0;
    int standard = 0;
    int many = 0;
    void add(const QString &levelText);
    bool operator==(const LevelCounts &) const = default;
};

// The diary rows (numbered from 1) dated from start to end, both included.
std::vector<int> listedRows(const DiaryTable &diary, QDate start, QDate end);

struct Wrapped
{
    QString text;
    int height;
};
// Breaks a comment into lines no wider than width, as measured: a carriage
// return always begins a new line, and every break adds a line's height.
// measure is given the text of a line without its line break.
Wrapped WrapCell(const QString &text, int width, const std::function<int(QStringView)> &measure);

// How a photo is shown: as large as fits 220 x 123 with its proportions.
struct PhotoBox
{
    enum Fit { None = -1, ByHeight = 0, ByWidth = 1 } fit = None;
    QSize size; // the box the picture is drawn into
    int rowHeight = OneLineHeight;
};
PhotoBox fitPhotoBox(QSize picture);

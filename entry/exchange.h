#pragma once

#include "diarytable.h"
#include "exchangeproblem.h"

#include <QDate>
#include <QString>
#include <optional>

// The progress level that the body-shape viewer shows, and the two one-line
// files it is handed over in.

// 0 to 10: how far current has come from start towards goal.
int levelForProgress(double start, double goal, double current);

enum class Measure { Weight = 0, Fat = 1 };

// A value for a day recorded without one: the newest recorded value on or
// before the day, else the diet's start value (nullopt when that is no number).
std::optional<double> ZeroValue(const DiaryTable &diary, Measure measure, QDate day, const QString &startSetting);

// Replaces an existing file's contents with the text and a CR LF; a file
// that is not there is not created, and a symbolic link in its place is
// replaced by a file of its own. False when an existing file could not be
// rewritten.
bool WriteText(const QString &text, const QString &path);

struct LevelInputs
{
    QString start; // the settings, as typed in the setup dialog
    QString goal;
    QString current; // the entry tab's field
};

struct Judgement
{
    std::optional<int> level; // nullopt: nothing to hand over
    ExchangeFailure problem;  // a setting that is not a number
};

// The level of a day, or none while the start or goal is not set yet.
Judgement judgeLevel(const LevelInputs &inputs, const DiaryTable &diary, Measure measure, QDate day);

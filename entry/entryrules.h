#pragma once

#include "measurebounds.h"

#include <QDate>
#include <QString>
#include <optional>

// The step buttons of weight and body fat: 0.1 up or down from the value the
// field shows; nullopt when the button does nothing (no number, 0, body fat
// at 100 or more going up, a value at 0 or less going down).
enum class Step { Up, Down };
std::optional<QString> stepMeasurement(const QString &text, Step step, bool ceilingAt100);

// What is wrong with a weight or body-fat text about to be saved, or "":
// empty and "0" save a blank cell, numbers within the bounds save as they are.
QString measurementProblem(const QString &text, const MeasureBounds &bounds);

// The question before a recorded day is overwritten, naming the day on a
// line of its own.
QString overwriteQuestion(QDate day);

#pragma once

#include <QString>

// A program folder as the set-up lays it out, with a diary of the given
// number of days (every day weighed, most with comments, a photo a week in
// the last year) ending on 2019/12/31 and a graph window over the last
// windowDays of them.
void makeProgramFolder(const QString &folder, int days, int windowDays);

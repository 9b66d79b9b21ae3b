#pragma once

#include "settingsproblem.h"

#include <QString>
#include <QStringList>

// The settings fields, one per key of Trimbo.ini, named after the keys.
// Text keys are kept exactly as read and converted only where they are used.

// Section [Graph]: the choices of the graph settings tab.
struct GraphSettings
{
    QString WUpper; // weight limits, kg
    QString WDown;
    QString FUpper; // body-fat limits, %
    QString FDown;
    int GraphVis = 0; // 0 weight only, 1 body fat only, 2 both
    QString StartD;   // graph window, YYYY/MM/DD
    QString EndD;
    int LineClW = 0; // line colours, 0x00BBGGRR
    int LineClF = 0;
    int BckGrnd = 0;   // background picture 1 to 15, 0 for none
    int TrimboVis = 0; // 0 start the body-shape viewer after a save, 1 don't

    bool operator==(const GraphSettings &) const = default;
};

// Section [Establish]: the diet's start and goal, from the setup dialog.
struct EstablishSettings
{
    QString DStartD; // diet start date, YYYY/MM/DD
    QString DStartW; // weight and body fat on the start date, as typed
    QString DStartF;
    QString GoalW; // goals, as typed
    QString GoalF;
    int FloatW = 0; // decimal places shown: 0 one, 1 two
    int FloatF = 0;

    bool operator==(const EstablishSettings &) const = default;
};

// Section [Trend], ours alone: the switches of the trend tab, each 0 off or
// 1 on. A file without the section (as the Windows version writes it) has
// them all off.
struct TrendSettings
{
    int Trend = 0;      // trend lines and the figures in words
    int GoalLines = 0;  // dashed lines at the goals
    int LatestDays = 0; // the graph's window ends today at every start
    int Backups = 0;    // keep the diary as it was in Backup/ before each save
    int ReadOut = 0;    // the day under the pointer on the graph, in words

    bool operator==(const TrendSettings &) const = default;
};

struct SettingsFields
{
    GraphSettings graph;
    EstablishSettings establish;
    TrendSettings trend;

    bool operator==(const SettingsFields &) const = default;
};

struct GetIniResult
{
    SettingsFields fields;
    SettingsFailure problem;               // nothing when the file was read
    std::vector<SettingsProblem> problems; // damaged lines and values of the wrong kind
};

// Reads the three sections. An absent key, or an integer key whose text is not
// a whole number, reads as its default ("" or 0); so does a graph limit beyond
// what a body can weigh or a percentage can be, which is named in problems.
GetIniResult GetIni(const QString &iniPath);
// The same from a file already read.
GetIniResult settingsFromIni(const class IniFile &ini);

// Each writes all keys of its section from the fields, replacing their lines
// in place and leaving every other line of the file as it was. When the
// file cannot be written it stays as it was and the problem says why.
SettingsFailure WriteIni_Graph(const QString &iniPath, const GraphSettings &graph);
SettingsFailure WriteIni_Establish(const QString &iniPath, const EstablishSettings &establish);
SettingsFailure WriteIni_Trend(const QString &iniPath, const TrendSettings &trend);

#include "settings.h"

#include "inifile.h"
#include "measurebounds.h"
#include "numbertext.h"

#include <algorithm>
#include <array>
#include <tuple>
#include <variant>

namespace {

template<typename Section>
struct Key
{
    const char16_t *name;
    std::variant<QString Section::*, int Section::*> field;
};

// The keys in file order, which is also the order they are written in.
const std::array<Key<GraphSettings>, 11> graphKeys{{
    {u"WUpper", &GraphSettings::WUpper},
    {u"WDown", &GraphSettings::WDown},
    {u"FUpper", &GraphSettings::FUpper},
    {u"FDown", &GraphSettings::FDown},
    {u"GraphVis", &GraphSettings::GraphVis},
    {u"StartD", &GraphSettings::StartD},
    {u"EndD", &GraphSettings::EndD},
    {u"LineClW", &GraphSettings::LineClW},
    {u"LineClF", &GraphSettings::LineClF},
    {u"BckGrnd", &GraphSettings::BckGrnd},
    {u"TrimboVis", &GraphSettings::TrimboVis},
}};

const std::array<Key<EstablishSettings>, 7> establishKeys{{
    {u"DStartD", &EstablishSettings::DStartD},
    {u"DStartW", &EstablishSettings::DStartW},
    {u"DStartF", &EstablishSettings::DStartF},
    {u"GoalW", &EstablishSettings::GoalW},
    {u"GoalF", &EstablishSettings::GoalF},
    {u"FloatW", &EstablishSettings::FloatW},
    {u"FloatF", &EstablishSettings::FloatF},
}};

const std::array<Key<TrendSettings>, 5> trendKeys{{
    {u"Trend", &TrendSettings::Trend},
    {u"GoalLines", &TrendSettings::GoalLines},
    {u"LatestDays", &TrendSettings::LatestDays},
    {u"Backups", &TrendSettings::Backups},
    {u"ReadOut", &TrendSettings::ReadOut},
}};

// A decimal integer with an optional minus sign, and nothing else.
std::optional<int> integerText(const QString &text)
{
    const QString digits = text.startsWith(u'-') ? text.mid(1) : text;
    if (digits.isEmpty()
        || !std::all_of(digits.begin(), digits.end(), [](QChar c) { return c.isDigit() && c.unicode() < 128; }))
        return std::nullopt;
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? std::optional(value) : std::nullopt;
}

template<typename Section, size_t N>
Section readSection(const IniFile &ini, QStringView name, const std::array<Key<Section>, N> &keys,
                    std::vector<SettingsProblem> *problems)
{
    Section section;
    for (const Key<Section> &key : keys) {
        const QString text = ini.value(name, key.name).value_or(QString());
        if (auto textField = std::get_if<QString Section::*>(&key.field)) {
            section.*(*textField) = text; // judged where it is used
            continue;
        }
        const std::optional<int> integer = integerText(text);
        section.*std::get<int Section::*>(key.field) = integer.value_or(0);
        if (!integer && !text.isEmpty())
            problems->push_back(SettingsProblem(SettingsError::NotAnInteger, {},
                                                {name.toString(), QStringView(key.name).toString(), text}));
    }
    return section;
}

template<typename Section, size_t N>
SettingsFailure writeSection(const QString &iniPath, QStringView name, const Section &section,
                             const std::array<Key<Section>, N> &keys)
{
    IniLoadResult loaded = IniFile::load(iniPath);
    if (!loaded.file) // never replace a file that could not be read
        return SettingsProblem(SettingsError::NotWritten, iniPath, {}, 0, 0, {}, {*loaded.problem});
    for (const Key<Section> &key : keys) {
        const QString text = std::visit(
            [&](auto field) {
                if constexpr (std::is_same_v<decltype(field), QString Section::*>)
                    return section.*field;
                else
                    return QString::number(section.*field);
            },
            key.field);
        loaded.file->setValue(name, key.name, text);
    }
    if (const std::optional<FileReason> why = loaded.file->save(iniPath))
        return SettingsProblem(SettingsError::NotWritten, iniPath, {}, 0, 0, why);
    return std::nullopt;
}

// A stored limit no body or percentage can reach would make the graph
// useless (and, far enough out, its captions endless): it reads as empty,
// the program's default, and is named.
void dropImpossibleLimits(GraphSettings &graph, std::vector<SettingsProblem> *problems)
{
    // The measure each limit is of: 0 weight, 1 body fat.
    const std::tuple<const char16_t *, QString GraphSettings::*, int> limits[] = {
        {u"WUpper", &GraphSettings::WUpper, 0},
        {u"WDown", &GraphSettings::WDown, 0},
        {u"FUpper", &GraphSettings::FUpper, 1},
        {u"FDown", &GraphSettings::FDown, 1},
    };
    for (const auto &[name, field, measure] : limits) {
        const std::optional<double> value = parseNumberText(graph.*field);
        if (!value || (measure == 0 ? WeightBounds : FatBounds).contains(*value))
            continue;
        problems->push_back(SettingsProblem(SettingsError::ImpossibleLimit, {},
                                            {QStringLiteral("Graph"), QStringView(name).toString(), graph.*field},
                                            measure));
        graph.*field = QString();
    }
}

} // namespace

GetIniResult GetIni(const QString &iniPath)
{
    const IniLoadResult loaded = IniFile::load(iniPath);
    if (!loaded.file)
        return {{}, loaded.problem, {}};
    return settingsFromIni(*loaded.file);
}

GetIniResult settingsFromIni(const IniFile &ini)
{
    GetIniResult result;
    result.problems = ini.problems();
    result.fields.graph = readSection(ini, u"Graph", graphKeys, &result.problems);
    dropImpossibleLimits(result.fields.graph, &result.problems);
    result.fields.establish = readSection(ini, u"Establish", establishKeys, &result.problems);
    result.fields.trend = readSection(ini, u"Trend", trendKeys, &result.problems);
    return result;
}

SettingsFailure WriteIni_Graph(const QString &iniPath, const GraphSettings &graph)
{
    return writeSection(iniPath, u"Graph", graph, graphKeys);
}

SettingsFailure WriteIni_Establish(const QString &iniPath, const EstablishSettings &establish)
{
    return writeSection(iniPath, u"Establish", establish, establishKeys);
}

SettingsFailure WriteIni_Trend(const QString &iniPath, const TrendSettings &trend)
{
    return writeSection(iniPath, u"Trend", trend, trendKeys);
}

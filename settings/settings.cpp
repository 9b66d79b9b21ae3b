#include "settings.h"

#include "inifile.h"

#include <algorithm>
#include <array>
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

// A decimal integer with an optional minus sign, and nothing else.
int integerOrZero(const QString &text)
{
    const QString digits = text.startsWith(u'-') ? text.mid(1) : text;
    if (digits.isEmpty() || !std::all_of(digits.begin(), digits.end(), [](QChar c) { return c.isDigit() && c.unicode() < 128; }))
        return 0;
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? value : 0;
}

template<typename Section, size_t N>
Section readSection(const IniFile &ini, QStringView name, const std::array<Key<Section>, N> &keys)
{
    Section section;
    for (const Key<Section> &key : keys) {
        const QString text = ini.value(name, key.name).value_or(QString());
        if (auto textField = std::get_if<QString Section::*>(&key.field))
            section.*(*textField) = text;
        else
            section.*std::get<int Section::*>(key.field) = integerOrZero(text);
    }
    return section;
}

template<typename Section, size_t N>
bool writeSection(const QString &iniPath, QStringView name, const Section &section,
                  const std::array<Key<Section>, N> &keys)
{
    IniLoadResult loaded = IniFile::load(iniPath);
    if (!loaded.file)
        return false; // never replace a file we could not read
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
    return loaded.file->save(iniPath);
}

} // namespace

GetIniResult GetIni(const QString &iniPath)
{
    const IniLoadResult loaded = IniFile::load(iniPath);
    if (!loaded.file)
        return {{}, loaded.error};
    return {{readSection(*loaded.file, u"Graph", graphKeys),
             readSection(*loaded.file, u"Establish", establishKeys)},
            {}};
}

bool WriteIni_Graph(const QString &iniPath, const GraphSettings &graph)
{
    return writeSection(iniPath, u"Graph", graph, graphKeys);
}

bool WriteIni_Establish(const QString &iniPath, const EstablishSettings &establish)
{
    return writeSection(iniPath, u"Establish", establish, establishKeys);
}

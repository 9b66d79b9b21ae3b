// libFuzzer target for the settings reader: any bytes must be read without a
// crash, kept byte for byte, and a key written into them must read back.
#include "inifile.h"
#include "measurebounds.h"
#include "numbertext.h"
#include "settings.h"

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool holds)
{
    if (!holds)
        std::abort();
}

bool limitWithin(const QString &text, const MeasureBounds &bounds)
{
    const std::optional<double> value = parseNumberText(text);
    return !value || bounds.contains(*value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    IniFile ini(bytes);
    check(ini.content() == bytes);
    const GetIniResult read = settingsFromIni(ini);
    const GraphSettings &graph = read.fields.graph;
    check(limitWithin(graph.WUpper, WeightBounds) && limitWithin(graph.WDown, WeightBounds));
    check(limitWithin(graph.FUpper, FatBounds) && limitWithin(graph.FDown, FatBounds));

    ini.setValue(u"Graph", u"WUpper", QStringLiteral("85"));
    ini.setValue(u"Establish", u"GoalW", QStringLiteral("６５"));
    const IniFile written(ini.content());
    check(written.encoding() == ini.encoding());
    check(written.value(u"Graph", u"WUpper") == QStringLiteral("85"));
    check(written.value(u"Establish", u"GoalW") == QStringLiteral("６５"));
    return 0;
}

#include "newworkbook.h"

#include "biff.h"
#include "compoundfile.h"

using namespace biff;

namespace {

constexpr uint16_t CodePage = 0x0042;
constexpr uint16_t Font = 0x0031;
constexpr uint16_t Style = 0x0293;
constexpr uint16_t Window2 = 0x023E;
constexpr uint16_t StyleXfs = 15;
constexpr uint16_t DateFormatId = 164;

} // namespace

QByteArray biff::dateFormatData(uint16_t formatId)
{
    QByteArray data;
    putU16(data, formatId);
    data.append(unicodeString(QStringLiteral("yyyy/mm/dd")));
    return data;
}

QByteArray biff::bofData(uint16_t substream)
{
    QByteArray data;
    putU16(data, 0x0600);
    putU16(data, substream);
    putU16(data, 0x0DBB); // build
    putU16(data, 0x07CC); // year
    putU32(data, 0);
    putU32(data, 0x0006);
    return data;
}

QByteArray biff::fontData()
{
    QByteArray data;
    putU16(data, 200); // 10 points
    putU16(data, 0);
    putU16(data, 0x7FFF); // automatic colour
    putU16(data, 400);    // normal weight
    putU32(data, 0);      // no escapement or underline, family and character set 0
    putU16(data, 0);
    const QByteArray name = unicodeString(QStringLiteral("Arial"));
    data.append(char(name.at(0))); // one-byte length for font names
    data.append(name.mid(2));
    return data;
}

QByteArray biff::xfData(uint16_t format, bool style)
{
    QByteArray data;
    putU16(data, 0); // font
    putU16(data, format);
    putU16(data, style ? 0xFFF5 : 0x0001); // style: locked, no parent; cell: locked, parent style 0
    data.append(char(0x20));               // bottom aligned
    data.append(char(0));
    data.append(char(0));
    data.append(char(style ? 0x00 : (format ? 0x04 : 0x00)));
    putU32(data, 0);
    putU32(data, 0);
    putU16(data, 0x20C0); // automatic pattern colours
    return data;
}

QByteArray biff::window2Data()
{
    QByteArray data;
    putU16(data, 0x06B6); // grid, headers, zeros, selected and shown
    putU16(data, 0);
    putU16(data, 0);
    putU32(data, 64);
    putU16(data, 0);
    putU16(data, 0);
    putU32(data, 0);
    return data;
}

QByteArray newDiaryWorkbook(const QString &sheetName)
{
    QByteArray globals;
    appendRecord(globals, Bof, bofData(0x0005));
    appendRecord(globals, CodePage, QByteArray("\xB0\x04", 2)); // UTF-16
    QByteArray window;
    for (uint16_t value : {0, 0, 0x3000, 0x2000, 0x0038, 0, 0, 1, 0x0258})
        putU16(window, value);
    appendRecord(globals, Window1, window);
    appendRecord(globals, DateMode, QByteArray(2, '\0'));
    for (int i = 0; i < 4; ++i)
        appendRecord(globals, Font, fontData());
    appendRecord(globals, Format, dateFormatData(DateFormatId));
    for (int i = 0; i < StyleXfs; ++i)
        appendRecord(globals, Xf, xfData(0, true));
    appendRecord(globals, Xf, xfData(0, false));            // 15: the default cell format
    appendRecord(globals, Xf, xfData(DateFormatId, false)); // 16: dates
    appendRecord(globals, Style, QByteArray("\x00\x80\x00\xFF", 4));

    QByteArray boundSheet;
    putU32(boundSheet, 0); // set below
    putU16(boundSheet, 0);
    const QByteArray name = unicodeString(sheetName);
    boundSheet.append(char(name.at(0)));
    boundSheet.append(name.mid(2));
    const qsizetype boundSheetAt = globals.size();
    appendRecord(globals, BoundSheet, boundSheet);
    QByteArray sst;
    putU32(sst, 0);
    putU32(sst, 0);
    appendRecord(globals, Sst, sst);
    appendRecord(globals, ExtSst, QByteArray("\x08\x00", 2));
    appendRecord(globals, Eof, {});
    setU32(globals, boundSheetAt + 4, uint32_t(globals.size()));

    QByteArray sheet;
    appendRecord(sheet, Bof, bofData(0x0010));
    appendRecord(sheet, Dimensions, QByteArray(14, '\0'));
    appendRecord(sheet, Window2, window2Data());
    appendRecord(sheet, Eof, {});

    CompoundEntry root;
    root.isStorage = true;
    root.children.push_back({"Workbook", false, globals + sheet, {}, {}});
    return writeCompoundFile(root).value_or(QByteArray());
}

#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

// The record layer of a BIFF8 workbook stream: little-endian records of a
// 16-bit id and a 16-bit length, strings in Excel's Unicode string forms.
namespace biff {

enum RecordId : uint16_t {
    Formula = 0x0006,
    Eof = 0x000A,
    DateMode = 0x0022,
    FilePass = 0x002F,
    Continue = 0x003C,
    Window1 = 0x003D,
    WsBool = 0x0081,
    BoundSheet = 0x0085,
    MulRk = 0x00BD,
    MulBlank = 0x00BE,
    RString = 0x00D6,
    DbCell = 0x00D7,
    Xf = 0x00E0,
    Sst = 0x00FC,
    LabelSst = 0x00FD,
    ExtSst = 0x00FF,
    Dimensions = 0x0200,
    Blank = 0x0201,
    Number = 0x0203,
    Label = 0x0204,
    BoolErr = 0x0205,
    String = 0x0207,
    Row = 0x0208,
    Index = 0x020B,
    Array = 0x0221,
    Table = 0x0236,
    Rk = 0x027E,
    DefaultRowHeight = 0x0225,
    Format = 0x041E,
    SharedFormula = 0x04BC,
    Bof = 0x0809,
    XfCrc = 0x087C,
    XfExt = 0x087D,
};

inline constexpr int MaxRecordData = 8224;

// A record holding one or more cells of a worksheet.
bool isCellRecord(uint16_t id);
// Records that belong to the formula cell before them.
bool isAttachedRecord(uint16_t id);

inline uint16_t u16(const char *p)
{
    return uint16_t(uint8_t(p[0]) | uint8_t(p[1]) << 8);
}
inline uint32_t u32(const char *p)
{
    return uint32_t(u16(p)) | uint32_t(u16(p + 2)) << 16;
}
double f64(const char *p);
// The number an RK value stands for.
double rkValue(uint32_t rk);

void putU16(QByteArray &out, uint16_t value);
void putU32(QByteArray &out, uint32_t value);
void putF64(QByteArray &out, double value);
void setU16(QByteArray &data, qsizetype at, uint16_t value);
void setU32(QByteArray &data, qsizetype at, uint32_t value);

// One record, pointing into the stream it was read from.
struct Record
{
    uint16_t id = 0;
    const char *data = nullptr;
    uint16_t size = 0;
    qsizetype offset = 0; // of the record header in the stream

    qsizetype end() const { return offset + 4 + size; }
    QByteArray bytes() const { return QByteArray(data - 4, size + 4); } // header included
};

// Walks the records of a stream; stops at the end or at a record that runs
// past it (a truncated stream).
class RecordReader
{
public:
    RecordReader(const QByteArray &stream, qsizetype start = 0) : m_stream(stream), m_pos(start) {}
    std::optional<Record> next();
    bool truncated() const { return m_truncated; }

private:
    const QByteArray &m_stream;
    qsizetype m_pos;
    bool m_truncated = false;
};

void appendRecord(QByteArray &out, uint16_t id, QByteArrayView data);
// The data every cell record starts with: its row, column and cell format.
QByteArray cellHeader(uint16_t row, uint16_t col, uint16_t xf);

// The 32-bit CRC that Office files keep of some of their parts (XFCRC over
// the cell formats): polynomial 0xAF, most significant bit first, no final
// inversion; crc carries on from an earlier part.
uint32_t officeCrc(QByteArrayView data, uint32_t crc = 0);

// The data of a record and of the CONTINUE records after it.
struct Segment
{
    const char *data;
    int size;
};

// Reads strings that may run on from a record into the CONTINUE records after
// it; where the characters of a string continue, the new record opens with a
// fresh option byte.
class ContinuedReader
{
public:
    explicit ContinuedReader(const std::vector<Segment> &segments, size_t segment = 0, int position = 0)
        : m_segments(segments), m_segment(segment), m_pos(position)
    {}

    size_t segment() const { return m_segment; }
    int position() const { return m_pos; }
    bool atEnd() const;
    bool ok() const { return m_ok; }
    uint8_t u8();
    uint16_t u16();
    uint32_t u32();
    QString chars(int count, bool highByte);
    void skipChars(int count, bool highByte);
    void skip(qsizetype count);
    QByteArray bytes(qsizetype count);

private:
    bool ensure();
    void readChars(int count, bool highByte, QString *text);

    const std::vector<Segment> &m_segments;
    size_t m_segment;
    int m_pos;
    bool m_ok = true;
};

// The characters of a cell text or format: 16-bit count, option byte, characters.
// nullopt when the record is too short for it.
std::optional<QString> readUnicodeString(const char *data, int size, int *consumed = nullptr);
QByteArray unicodeString(const QString &text); // the same form, for writing
bool fitsCompressed(const QString &text);

} // namespace biff

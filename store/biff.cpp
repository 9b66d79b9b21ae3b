#include "biff.h"

#include <array>
#include <cstring>

namespace biff {

double f64(const char *p)
{
    uint64_t bits = uint64_t(u32(p)) | uint64_t(u32(p + 4)) << 32;
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

double rkValue(uint32_t rk)
{
    double value;
    if (rk & 0x02) {
        value = double(int32_t(rk) >> 2);
    } else {
        const uint64_t bits = uint64_t(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    return (rk & 0x01) ? value / 100.0 : value;
}

void putU16(QByteArray &out, uint16_t value)
{
    out.append(char(value & 0xFF));
    out.append(char(value >> 8));
}

void putU32(QByteArray &out, uint32_t value)
{
    putU16(out, uint16_t(value & 0xFFFF));
    putU16(out, uint16_t(value >> 16));
}

void putF64(QByteArray &out, double value)
{
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    putU32(out, uint32_t(bits));
    putU32(out, uint32_t(bits >> 32));
}

void setU16(QByteArray &data, qsizetype at, uint16_t value)
{
    data[at] = char(value & 0xFF);
    data[at + 1] = char(value >> 8);
}

void setU32(QByteArray &data, qsizetype at, uint32_t value)
{
    setU16(data, at, uint16_t(value & 0xFFFF));
    setU16(data, at + 2, uint16_t(value >> 16));
}

std::optional<Record> RecordReader::next()
{
    if (m_pos + 4 > m_stream.size()) {
        m_truncated = m_pos < m_stream.size();
        return std::nullopt;
    }
    const char *header = m_stream.constData() + m_pos;
    Record record{u16(header), header + 4, u16(header + 2), m_pos};
    if (record.end() > m_stream.size()) {
        m_truncated = true;
        return std::nullopt;
    }
    m_pos = record.end();
    return record;
}

void appendRecord(QByteArray &out, uint16_t id, QByteArrayView data)
{
    putU16(out, id);
    putU16(out, uint16_t(data.size()));
    out.append(data.data(), data.size());
}

QByteArray cellHeader(uint16_t row, uint16_t col, uint16_t xf)
{
    QByteArray data;
    putU16(data, row);
    putU16(data, col);
    putU16(data, xf);
    return data;
}

uint32_t officeCrc(QByteArrayView data, uint32_t crc)
{
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> entries{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t value = i << 24;
            for (int bit = 0; bit < 8; ++bit)
                value = (value & 0x80000000u) ? (value << 1) ^ 0xAFu : value << 1;
            entries[i] = value;
        }
        return entries;
    }();
    for (const char byte : data)
        crc = (crc << 8) ^ table[(crc >> 24) ^ uint8_t(byte)];
    return crc;
}

bool ContinuedReader::atEnd() const
{
    for (size_t s = m_segment; s < m_segments.size(); ++s) {
        if ((s == m_segment ? m_segments[s].size - m_pos : m_segments[s].size) > 0)
            return false;
    }
    return true;
}

bool ContinuedReader::ensure()
{
    while (m_segment < m_segments.size() && m_pos >= m_segments[m_segment].size) {
        ++m_segment;
        m_pos = 0;
    }
    if (m_segment >= m_segments.size())
        m_ok = false;
    return m_ok;
}

uint8_t ContinuedReader::u8()
{
    if (!ensure())
        return 0;
    return uint8_t(m_segments[m_segment].data[m_pos++]);
}

uint16_t ContinuedReader::u16()
{
    const uint8_t low = u8();
    return uint16_t(low | u8() << 8);
}

uint32_t ContinuedReader::u32()
{
    const uint16_t low = u16();
    return uint32_t(low) | uint32_t(u16()) << 16;
}

QString ContinuedReader::chars(int count, bool highByte)
{
    QString text;
    text.reserve(count);
    readChars(count, highByte, &text);
    return text;
}

void ContinuedReader::skipChars(int count, bool highByte)
{
    readChars(count, highByte, nullptr);
}

void ContinuedReader::readChars(int count, bool highByte, QString *text)
{
    int done = 0;
    while (done < count && m_ok) {
        if (m_segment < m_segments.size() && m_pos >= m_segments[m_segment].size) {
            // The characters go on in the next record, behind a new option byte.
            ++m_segment;
            m_pos = 0;
            highByte = u8() & 0x01;
            continue;
        }
        if (!ensure())
            break;
        const Segment &segment = m_segments[m_segment];
        const int width = highByte ? 2 : 1;
        const int available = (segment.size - m_pos) / width;
        if (available == 0) { // half a character before a record boundary
            m_ok = false;
            break;
        }
        const int take = std::min(available, count - done);
        if (text) {
            const char *p = segment.data + m_pos;
            if (highByte) {
                for (int i = 0; i < take; ++i)
                    text->append(QChar(biff::u16(p + 2 * i)));
            } else {
                text->append(QLatin1String(p, take));
            }
        }
        m_pos += take * width;
        done += take;
    }
}

QByteArray ContinuedReader::bytes(qsizetype count)
{
    QByteArray out;
    while (count > 0 && ensure()) {
        const qsizetype take = std::min<qsizetype>(count, m_segments[m_segment].size - m_pos);
        out.append(m_segments[m_segment].data + m_pos, take);
        m_pos += int(take);
        count -= take;
    }
    return out;
}

void ContinuedReader::skip(qsizetype count)
{
    while (count > 0 && ensure()) {
        const qsizetype take = std::min<qsizetype>(count, m_segments[m_segment].size - m_pos);
        m_pos += int(take);
        count -= take;
    }
}

std::optional<QString> readUnicodeString(const char *data, int size, int *consumed)
{
    if (size < 3)
        return std::nullopt;
    const int count = u16(data);
    const bool highByte = uint8_t(data[2]) & 0x01;
    const int bytes = count * (highByte ? 2 : 1);
    if (3 + bytes > size)
        return std::nullopt;
    if (consumed)
        *consumed = 3 + bytes;
    if (!highByte)
        return QString(QLatin1String(data + 3, count));
    QString text(count, Qt::Uninitialized);
    for (int i = 0; i < count; ++i)
        text[i] = QChar(u16(data + 3 + 2 * i));
    return text;
}

bool fitsCompressed(const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() > 0xFF)
            return false;
    }
    return true;
}

QByteArray unicodeString(const QString &text)
{
    QByteArray out;
    putU16(out, uint16_t(text.size()));
    const bool compressed = fitsCompressed(text);
    out.append(char(compressed ? 0x00 : 0x01));
    for (QChar c : text) {
        if (compressed)
            out.append(char(c.unicode()));
        else
            putU16(out, c.unicode());
    }
    return out;
}

bool isCellRecord(uint16_t id)
{
    switch (id) {
    case Blank:
    case BoolErr:
    case Formula:
    case Label:
    case LabelSst:
    case MulBlank:
    case MulRk:
    case Number:
    case Rk:
    case RString: return true;
    default: return false;
    }
}

// Records that belong to the formula cell before them.
bool isAttachedRecord(uint16_t id)
{
    return id == String || id == SharedFormula || id == Array || id == Table;
}

} // namespace biff

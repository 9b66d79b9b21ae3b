#include "sst.h"

namespace biff {

bool SharedStrings::parse(const std::vector<Record> &records)
{
    for (const Record &record : records)
        m_segments.push_back({record.data, record.size});
    ContinuedReader reader(m_segments);
    reader.u32(); // references in the workbook
    const uint32_t unique = reader.u32();
    m_starts.reserve(std::min<uint32_t>(unique, 1u << 20));
    for (uint32_t i = 0; i < unique && reader.ok() && !reader.atEnd(); ++i) {
        const Start start{uint32_t(reader.segment()), uint32_t(reader.position())};
        const uint16_t count = reader.u16();
        const uint8_t options = reader.u8();
        const uint16_t runCount = (options & 0x08) ? reader.u16() : 0;
        const uint32_t phoneticSize = (options & 0x04) ? reader.u32() : 0;
        reader.skipChars(count, options & 0x01);
        reader.skip(4 * qsizetype(runCount) + phoneticSize);
        if (reader.ok())
            m_starts.push_back(start);
    }
    return reader.ok();
}

SstEntry SharedStrings::entry(size_t index) const
{
    ContinuedReader reader(m_segments, m_starts[index].segment, int(m_starts[index].position));
    const uint16_t count = reader.u16();
    const uint8_t options = reader.u8();
    const uint16_t runCount = (options & 0x08) ? reader.u16() : 0;
    const uint32_t phoneticSize = (options & 0x04) ? reader.u32() : 0;
    SstEntry entry;
    entry.text = reader.chars(count, options & 0x01);
    entry.runs = reader.bytes(4 * qsizetype(runCount));
    entry.phonetic = reader.bytes(phoneticSize);
    return entry;
}

QString SharedStrings::text(size_t index) const
{
    ContinuedReader reader(m_segments, m_starts[index].segment, int(m_starts[index].position));
    const uint16_t count = reader.u16();
    const uint8_t options = reader.u8();
    reader.skip(((options & 0x08) ? 2 : 0) + ((options & 0x04) ? 4 : 0));
    return reader.chars(count, options & 0x01);
}

int SstBuilder::useOld(uint32_t oldIndex)
{
    if (oldIndex >= m_old.size())
        return -1;
    ++m_uses;
    int &mapped = m_oldToNew[oldIndex];
    if (mapped < 0) {
        mapped = int(m_entries.size());
        m_entries.push_back(m_old.entry(oldIndex));
        const SstEntry &entry = m_entries.back();
        if (entry.runs.isEmpty() && entry.phonetic.isEmpty())
            m_plain.insert(entry.text, mapped);
    }
    return mapped;
}

int SstBuilder::useText(const QString &text)
{
    ++m_uses;
    const auto found = m_plain.constFind(text);
    if (found != m_plain.cend())
        return *found;
    const int index = int(m_entries.size());
    m_entries.push_back({text, {}, {}});
    m_plain.insert(text, index);
    return index;
}

namespace {

// Lays strings into an SST record and as many CONTINUE records as they need.
class SstWriter
{
public:
    explicit SstWriter(qsizetype streamOffset) : m_streamOffset(streamOffset) {}

    int room() const { return MaxRecordData - int(m_current.size()); }
    void startContinue()
    {
        m_done.push_back(m_current);
        m_doneBytes += 4 + m_current.size();
        m_current.clear();
    }
    QByteArray &current() { return m_current; }
    // Where the next byte will lie: in the stream, and within its record.
    qsizetype streamPosition() const { return m_streamOffset + m_doneBytes + 4 + m_current.size(); }
    uint16_t recordOffset() const { return uint16_t(4 + m_current.size()); }

    // A string's header and its first character never split: when they do
    // not fit, the string starts in a new record.
    void makeRoomFor(const SstEntry &entry)
    {
        const int headerSize = 3 + (entry.runs.isEmpty() ? 0 : 2) + (entry.phonetic.isEmpty() ? 0 : 4);
        const int firstChar = entry.text.isEmpty() ? 0 : (fitsCompressed(entry.text) ? 1 : 2);
        if (room() < headerSize + firstChar)
            startContinue();
    }

    void write(const SstEntry &entry)
    {
        makeRoomFor(entry);
        const bool compressed = fitsCompressed(entry.text);
        const uint8_t options = uint8_t((compressed ? 0 : 0x01) | (entry.runs.isEmpty() ? 0 : 0x08)
                                        | (entry.phonetic.isEmpty() ? 0 : 0x04));
        QByteArray header;
        putU16(header, uint16_t(entry.text.size()));
        header.append(char(options));
        if (!entry.runs.isEmpty())
            putU16(header, uint16_t(entry.runs.size() / 4));
        if (!entry.phonetic.isEmpty())
            putU32(header, uint32_t(entry.phonetic.size()));
        m_current.append(header);
        writeChars(entry.text, compressed);
        for (qsizetype run = 0; run < entry.runs.size(); run += 4) {
            if (room() < 4)
                startContinue();
            m_current.append(entry.runs.mid(run, 4));
        }
        for (qsizetype at = 0; at < entry.phonetic.size();) {
            if (room() == 0)
                startContinue();
            const qsizetype take = std::min<qsizetype>(room(), entry.phonetic.size() - at);
            m_current.append(entry.phonetic.mid(at, take));
            at += take;
        }
    }

    QByteArray finish()
    {
        QByteArray out;
        for (size_t i = 0; i < m_done.size(); ++i)
            appendRecord(out, i == 0 ? Sst : Continue, m_done[i]);
        appendRecord(out, m_done.empty() ? Sst : Continue, m_current);
        return out;
    }

private:
    void writeChars(const QString &text, bool compressed)
    {
        const int width = compressed ? 1 : 2;
        for (qsizetype at = 0; at < text.size();) {
            if (room() < width) {
                startContinue();
                m_current.append(char(compressed ? 0x00 : 0x01));
            }
            const qsizetype take = std::min<qsizetype>(room() / width, text.size() - at);
            for (qsizetype i = at; i < at + take; ++i) {
                if (compressed)
                    m_current.append(char(text[i].unicode()));
                else
                    putU16(m_current, text[i].unicode());
            }
            at += take;
        }
    }

    qsizetype m_streamOffset;
    std::vector<QByteArray> m_done;
    qsizetype m_doneBytes = 0;
    QByteArray m_current;
};

} // namespace

QByteArray SstBuilder::records(qsizetype streamOffset) const
{
    const uint16_t perBucket = uint16_t(std::max<size_t>(8, (m_entries.size() + 127) / 128));
    SstWriter writer(streamOffset);
    putU32(writer.current(), m_uses);
    putU32(writer.current(), uint32_t(m_entries.size()));
    QByteArray extSst;
    putU16(extSst, perBucket);
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (i % perBucket == 0) {
            // The bucket points at the string's first byte, which may open the next record.
            writer.makeRoomFor(m_entries[i]);
            putU32(extSst, uint32_t(writer.streamPosition()));
            putU16(extSst, writer.recordOffset());
            putU16(extSst, 0);
        }
        writer.write(m_entries[i]);
    }
    QByteArray out = writer.finish();
    appendRecord(out, ExtSst, extSst);
    return out;
}

} // namespace biff

#pragma once

#include "biff.h"

#include <QHash>
#include <vector>

// The shared string table: every text cell of a BIFF8 workbook names its
// text by an index into it.
namespace biff {

struct SstEntry
{
    QString text;
    QByteArray runs;     // formatting runs, 4 bytes each, kept as read
    QByteArray phonetic; // East Asian phonetic block, kept as read
};

// The entries of an SST record and the CONTINUE records after it, decoded
// when asked for: a diary of many years holds a great many of them, and
// only the few a save moves or a load shows are ever needed.
class SharedStrings
{
public:
    // Indexes the entries; false when the table is damaged.
    bool parse(const std::vector<Record> &records);
    size_t size() const { return m_starts.size(); }
    QString text(size_t index) const;
    SstEntry entry(size_t index) const;

private:
    struct Start
    {
        uint32_t segment;
        uint32_t position;
    };
    std::vector<Segment> m_segments;
    std::vector<Start> m_starts;
};

// Builds the table of a workbook being written: entries come in the order
// they are first used, so strings no longer used drop out.
class SstBuilder
{
public:
    explicit SstBuilder(const SharedStrings &old) : m_old(old), m_oldToNew(old.size(), -1) {}

    // The new index of an old entry; -1 for an index the old table lacks.
    int useOld(uint32_t oldIndex);
    // The index of a plain text, shared with an equal plain entry.
    int useText(const QString &text);

    // The SST and CONTINUE records, then EXTSST, for a table whose SST
    // record header lies at streamOffset.
    QByteArray records(qsizetype streamOffset) const;

private:
    const SharedStrings &m_old;
    std::vector<int> m_oldToNew;
    std::vector<SstEntry> m_entries;
    QHash<QString, int> m_plain;
    uint32_t m_uses = 0;
};

} // namespace biff

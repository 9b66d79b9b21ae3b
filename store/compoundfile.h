#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <optional>
#include <vector>

// An OLE2 compound file (the container of an .xls workbook) held whole in
// memory: every storage and stream with its name, data and class id, so that
// a workbook can be written back with one stream replaced and every other
// stream (summaries, macros, anything a spreadsheet program put there) kept.
struct CompoundEntry
{
    QByteArray name; // as stored, e.g. "\x05SummaryInformation"
    bool isStorage = false;
    QByteArray data; // streams only
    std::array<unsigned char, 16> classId{};
    std::vector<CompoundEntry> children; // storages only

    CompoundEntry *findStream(QByteArrayView streamName); // top level, any case
};

// The root storage; nullopt when the bytes are no compound file or a stream
// of it cannot be read.
std::optional<CompoundEntry> readCompoundFile(const QByteArray &bytes);
// Whether bytes are the start of a compound file whose end is missing: the
// header is there, but the file stops before sectors it says are in use.
bool isCutShortCompoundFile(const QByteArray &bytes);
// nullopt when the container could not be built.
std::optional<QByteArray> writeCompoundFile(const CompoundEntry &root);

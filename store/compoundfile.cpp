#include "compoundfile.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>
#include <gsf/gsf-utils.h>

#include <QtEndian>

#include <memory>
#include <mutex>

namespace {

struct GObjectUnref
{
    void operator()(gpointer object) const
    {
        if (object)
            g_object_unref(object);
    }
};
template<typename T>
using GsfPtr = std::unique_ptr<T, GObjectUnref>;

void initGsf()
{
    static std::once_flag once;
    std::call_once(once, [] {
        gsf_init();
        // A damaged file makes libgsf complain on stderr before it gives up;
        // the caller reports the failure to the user in its own words.
        const auto quiet = [](const gchar *, GLogLevelFlags, const gchar *, gpointer) {};
        const auto levels = GLogLevelFlags(G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING);
        g_log_set_handler("libgsf:msole", levels, quiet, nullptr);
        g_log_set_handler(nullptr, levels, quiet, nullptr); // libgsf's reader logs without a domain
    });
}

bool readEntry(GsfInfile *storage, CompoundEntry &entry)
{
    const int count = gsf_infile_num_children(storage);
    for (int i = 0; i < count; ++i) {
        GsfPtr<GsfInput> child(gsf_infile_child_by_index(storage, i));
        if (!child)
            return false;
        CompoundEntry item;
        item.name = gsf_infile_name_by_index(storage, i);
        // Streams answer -1; a storage (even an empty one) answers 0 or more.
        item.isStorage = GSF_IS_INFILE(child.get()) && gsf_infile_num_children(GSF_INFILE(child.get())) >= 0;
        if (item.isStorage) {
            gsf_infile_msole_get_class_id(GSF_INFILE_MSOLE(child.get()), item.classId.data());
            if (!readEntry(GSF_INFILE(child.get()), item))
                return false;
        } else {
            const gsf_off_t size = gsf_input_size(child.get());
            item.data.resize(static_cast<qsizetype>(size));
            if (size > 0 && !gsf_input_read(child.get(), size, reinterpret_cast<guint8 *>(item.data.data())))
                return false;
        }
        entry.children.push_back(std::move(item));
    }
    return true;
}

bool writeChildren(GsfOutfile *storage, const CompoundEntry &entry)
{
    for (const CompoundEntry &item : entry.children) {
        GsfPtr<GsfOutput> child(gsf_outfile_new_child(storage, item.name.constData(), item.isStorage));
        if (!child)
            return false;
        bool ok = true;
        if (item.isStorage) {
            gsf_outfile_msole_set_class_id(GSF_OUTFILE_MSOLE(child.get()), item.classId.data());
            ok = writeChildren(GSF_OUTFILE(child.get()), item);
        } else if (!item.data.isEmpty()) {
            ok = gsf_output_write(child.get(), static_cast<size_t>(item.data.size()),
                                  reinterpret_cast<const guint8 *>(item.data.constData()));
        }
        if (!gsf_output_close(child.get()) || !ok)
            return false;
    }
    return true;
}

} // namespace

CompoundEntry *CompoundEntry::findStream(QByteArrayView streamName)
{
    for (CompoundEntry &child : children) {
        if (!child.isStorage && child.name.compare(streamName, Qt::CaseInsensitive) == 0)
            return &child;
    }
    return nullptr;
}

std::optional<CompoundEntry> readCompoundFile(const QByteArray &bytes)
{
    initGsf();
    GsfPtr<GsfInput> input(
        gsf_input_memory_new(reinterpret_cast<const guint8 *>(bytes.constData()), bytes.size(), FALSE));
    GError *error = nullptr;
    GsfPtr<GsfInfile> ole(gsf_infile_msole_new(input.get(), &error));
    if (error)
        g_error_free(error);
    if (!ole)
        return std::nullopt;
    CompoundEntry root;
    root.isStorage = true;
    gsf_infile_msole_get_class_id(GSF_INFILE_MSOLE(ole.get()), root.classId.data());
    if (!readEntry(ole.get(), root))
        return std::nullopt;
    return root;
}

std::optional<QByteArray> writeCompoundFile(const CompoundEntry &root)
{
    initGsf();
    GsfPtr<GsfOutput> memory(gsf_output_memory_new());
    {
        GsfPtr<GsfOutfile> ole(gsf_outfile_msole_new(memory.get()));
        gsf_outfile_msole_set_class_id(GSF_OUTFILE_MSOLE(ole.get()), root.classId.data());
        const bool written = writeChildren(ole.get(), root);
        if (!gsf_output_close(GSF_OUTPUT(ole.get())) || !written)
            return std::nullopt;
    }
    const guint8 *bytes = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(memory.get()));
    return QByteArray(reinterpret_cast<const char *>(bytes), static_cast<qsizetype>(gsf_output_size(memory.get())));
}

bool isCutShortCompoundFile(const QByteArray &bytes)
{
    static constexpr char magic[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
    constexpr qsizetype headerSize = 512;
    if (!bytes.startsWith(QByteArrayView(magic, 8)))
        return false;
    if (bytes.size() < headerSize)
        return true;
    const auto u32 = [&](qsizetype at) { return qFromLittleEndian<quint32>(bytes.constData() + at); };
    const quint16 shift = qFromLittleEndian<quint16>(bytes.constData() + 0x1E);
    if (shift != 9 && shift != 12)
        return false; // no sector size a writer uses: damaged, not cut short
    const qsizetype sectorSize = qsizetype(1) << shift;
    const qsizetype sectorsInFile = (bytes.size() - headerSize) / sectorSize;
    // The allocation table's sectors named in the header (the first 109),
    // and the sectors they mark as in use, must all lie within the file.
    constexpr quint32 unused = 0xFFFFFFFF;
    for (qsizetype slot = 0; slot < 109; ++slot) {
        const quint32 tableSector = u32(0x4C + slot * 4);
        if (tableSector == unused)
            continue;
        if (qsizetype(tableSector) >= sectorsInFile)
            return true;
        const qsizetype entries = sectorSize / 4;
        for (qsizetype e = 0; e < entries; ++e) {
            const qsizetype sector = slot * entries + e;
            if (u32(headerSize + qsizetype(tableSector) * sectorSize + e * 4) != unused && sector >= sectorsInFile)
                return true;
        }
    }
    return false;
}

#include "picturecheck.h"

#include <QtEndian>
#include <optional>
#include <cstdint>
#include <cstdlib>

namespace {

uint8_t byteAt(QByteArrayView bytes, qsizetype pos)
{
    return static_cast<uint8_t>(bytes[pos]);
}

template<typename T>
T littleEndianAt(QByteArrayView bytes, qsizetype pos)
{
    return qFromLittleEndian<T>(bytes.data() + pos);
}

template<typename T>
T bigEndianAt(QByteArrayView bytes, qsizetype pos)
{
    return qFromBigEndian<T>(bytes.data() + pos);
}

// --- Windows bitmaps ---

struct BitmapHeader
{
    int64_t width = 0;
    int64_t height = 0;
    int bitsPerPixel = 0;
    bool uncompressed = false;
    uint32_t pixelOffset = 0;
};

bool isBitmap(QByteArrayView bytes)
{
    return bytes.startsWith("BM");
}

// nullopt when the headers themselves are cut off.
std::optional<BitmapHeader> bitmapHeader(QByteArrayView bytes)
{
    if (bytes.size() < 26)
        return std::nullopt;
    BitmapHeader header;
    header.pixelOffset = littleEndianAt<uint32_t>(bytes, 10);
    const uint32_t infoSize = littleEndianAt<uint32_t>(bytes, 14);
    if (infoSize == 12) { // OS/2 core header
        header.width = littleEndianAt<uint16_t>(bytes, 18);
        header.height = littleEndianAt<uint16_t>(bytes, 20);
        header.bitsPerPixel = littleEndianAt<uint16_t>(bytes, 24);
        header.uncompressed = true;
        return header;
    }
    if (bytes.size() < 34)
        return std::nullopt;
    header.width = littleEndianAt<int32_t>(bytes, 18);
    header.height = std::abs(int64_t(littleEndianAt<int32_t>(bytes, 22))); // negative: top-down rows
    header.bitsPerPixel = littleEndianAt<uint16_t>(bytes, 28);
    const uint32_t compression = littleEndianAt<uint32_t>(bytes, 30);
    header.uncompressed = compression == 0 || compression == 3 || compression == 6; // RGB, bit fields
    return header;
}

bool bitmapIsCutShort(QByteArrayView bytes)
{
    const std::optional<BitmapHeader> header = bitmapHeader(bytes);
    if (!header)
        return true;
    if (!header->uncompressed || header->width <= 0)
        return false; // run-length rows have no size to check against
    const int64_t rowBytes = (header->width * header->bitsPerPixel + 31) / 32 * 4;
    const int64_t pixelBytes = bytes.size() - int64_t(header->pixelOffset);
    if (pixelBytes < 0)
        return true;
    // Rows times row size may not fit in 64 bits; their quotient always does.
    return rowBytes > 0 && header->height > pixelBytes / rowBytes;
}

// --- JPEG ---

bool isJpeg(QByteArrayView bytes)
{
    return bytes.size() >= 3 && byteAt(bytes, 0) == 0xFF && byteAt(bytes, 1) == 0xD8 && byteAt(bytes, 2) == 0xFF;
}

bool isStandaloneMarker(uint8_t marker)
{
    return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);
}

// From the start of entropy-coded data to the 0xFF of the next marker, or
// the end of the bytes when there is none.
qsizetype skipEntropyCodedData(QByteArrayView bytes, qsizetype pos)
{
    for (; pos + 1 < bytes.size(); ++pos) {
        if (byteAt(bytes, pos) != 0xFF)
            continue;
        const uint8_t next = byteAt(bytes, pos + 1);
        if (next != 0x00 && next != 0xFF && !isStandaloneMarker(next))
            return pos;
    }
    return bytes.size();
}

// Walks the segments from the start-of-image marker to the end-of-image
// marker; anything after that (camera trailers, say) is not looked at.
bool jpegIsCutShort(QByteArrayView bytes)
{
    qsizetype pos = 2;
    while (pos < bytes.size()) {
        if (byteAt(bytes, pos) != 0xFF)
            return false; // not the layout of a JPEG: the decoder will say
        while (pos < bytes.size() && byteAt(bytes, pos) == 0xFF)
            ++pos;
        if (pos >= bytes.size())
            return true;
        const uint8_t marker = byteAt(bytes, pos++);
        if (marker == 0xD9)
            return false;
        if (isStandaloneMarker(marker))
            continue;
        if (pos + 2 > bytes.size())
            return true;
        const qsizetype segmentEnd = pos + bigEndianAt<uint16_t>(bytes, pos);
        if (segmentEnd > bytes.size())
            return true;
        pos = marker == 0xDA ? skipEntropyCodedData(bytes, segmentEnd) : segmentEnd;
    }
    return true;
}

// --- GIF ---

bool isGif(QByteArrayView bytes)
{
    return bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a");
}

qsizetype colourTableBytes(uint8_t packedFields)
{
    return (packedFields & 0x80) ? 3 << ((packedFields & 0x07) + 1) : 0;
}

// Past a chain of data sub-blocks and its terminator; -1 when it is cut off.
qsizetype skipSubBlocks(QByteArrayView bytes, qsizetype pos)
{
    while (pos < bytes.size()) {
        const uint8_t length = byteAt(bytes, pos++);
        if (length == 0)
            return pos;
        pos += length;
    }
    return -1;
}

bool gifIsCutShort(QByteArrayView bytes)
{
    if (bytes.size() < 13)
        return true;
    qsizetype pos = 13 + colourTableBytes(byteAt(bytes, 10));
    while (pos >= 0 && pos < bytes.size()) {
        switch (byteAt(bytes, pos)) {
        case 0x3B: // trailer
            return false;
        case 0x21: // extension: label, then sub-blocks
            pos = skipSubBlocks(bytes, pos + 2);
            break;
        case 0x2C: // image: descriptor, local colours, code size, sub-blocks
            if (pos + 10 > bytes.size())
                return true;
            pos = skipSubBlocks(bytes, pos + 10 + colourTableBytes(byteAt(bytes, pos + 9)) + 1);
            break;
        default: return false; // not the layout of a GIF: the decoder will say
        }
    }
    return true;
}

} // namespace

bool isCutShort(QByteArrayView bytes)
{
    if (isBitmap(bytes))
        return bitmapIsCutShort(bytes);
    if (isJpeg(bytes))
        return jpegIsCutShort(bytes);
    if (isGif(bytes))
        return gifIsCutShort(bytes);
    return false;
}

QSize bitmapHeaderSize(QByteArrayView bytes)
{
    if (!isBitmap(bytes))
        return {};
    const std::optional<BitmapHeader> header = bitmapHeader(bytes);
    if (!header || header->width > INT32_MAX || header->height > INT32_MAX)
        return {};
    return QSize(int(header->width), int(header->height));
}

// libFuzzer target for the picture checks that run on any file the user
// picks: any bytes must be judged without reading outside them.
#include "picturecheck.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    isCutShort(bytes);
    bitmapHeaderSize(bytes);
    return 0;
}

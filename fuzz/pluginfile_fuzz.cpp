// Any file offered as a plug-in: reading its version entries never fails,
// whatever the headers claim.
#include "plugin/PluginFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    QString error;
    const auto entries =
        ParseVersionEntries(QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)), error);
    if (entries)
        CheckVersionFit(*entries);
    return 0;
}

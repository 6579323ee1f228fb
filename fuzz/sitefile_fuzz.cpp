// Site files come from people and other tools. Whatever the text, reading it
// either refuses it with a message or yields a site that the host writes out
// and reads back unchanged.

#include "sitefile/SiteFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    TSite site;
    try {
        site = ReadSiteFile(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    } catch (const ESiteFile &e) {
        if (e.Message().isEmpty())
            std::abort();
        return 0;
    }
    const QByteArray written = WriteSiteFile(site);
    if (WriteSiteFile(ReadSiteFile(written)) != written)
        std::abort();
    return 0;
}

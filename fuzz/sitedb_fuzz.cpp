// A site file through the database: whatever the text, import either refuses
// it with a message or stores a site that export writes out and import reads
// back into the same rows, never one that the database itself refuses.

#include "commandline/Commands.h"
#include "sitefile/SiteFile.h"
#include "SiteSamples.h"

#include <QBuffer>

#include <cstdlib>

namespace {

QByteArray Export(TConfigDatabase &database) {
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    ExportSite(database, out, QStringLiteral("export"));
    return out.data();
}

// The rows as the host reads them back.
bool SameRows(TConfigDatabase &a, TConfigDatabase &b) {
    const TSite x = a.LoadSite(), y = b.LoadSite();
    const auto records = [](const TSite &site) {
        QStringList lines;
        for (const TProfileRecord &p : site.Profiles)
            lines << Describe(p);
        for (const TDeviceRecord &d : site.Devices)
            lines << Describe(d);
        return lines;
    };
    return x.System == y.System && records(x) == records(y);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    QBuffer file;
    file.setData(reinterpret_cast<const char *>(data), qsizetype(size));
    file.open(QIODevice::ReadOnly);
    // Made once: import replaces whatever the last input left.
    static TConfigDatabase first(QStringLiteral(":memory:")), second(QStringLiteral(":memory:"));
    try {
        ImportSite(first, file);
    } catch (const ESiteFile &e) {
        if (e.Message().isEmpty())
            std::abort();
        return 0;
    }
    const QByteArray exported = Export(first);
    QBuffer again;
    again.setData(exported);
    again.open(QIODevice::ReadOnly);
    ImportSite(second, again);
    if (Export(second) != exported || !SameRows(first, second))
        std::abort();
    return 0;
}

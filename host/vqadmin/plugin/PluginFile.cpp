#include "PluginFile.h"

#include "VersionInfo.h"

#include <QFile>
#include <QVersionNumber>

#include <elf.h>

#include <cstring>

namespace {

// A bounds-checked view of the file: every read says whether it fitted.
class TFileView {
public:
    explicit TFileView(const QByteArray &data) : FData(data) {}
    template <class T>
    bool Read(quint64 offset, T &out) const {
        if (offset > quint64(FData.size()) || sizeof(T) > quint64(FData.size()) - offset)
            return false;
        std::memcpy(&out, FData.constData() + offset, sizeof(T));
        return true;
    }
    bool Contains(quint64 offset, quint64 size) const {
        return offset <= quint64(FData.size()) && size <= quint64(FData.size()) - offset;
    }
    const char *At(quint64 offset) const { return FData.constData() + offset; }

private:
    const QByteArray &FData;
};

std::optional<QByteArray> FindSection(const QByteArray &data, const char *wanted, QString &Error) {
    const TFileView file(data);
    Elf64_Ehdr eh;
    if (!file.Read(0, eh) || std::memcmp(eh.e_ident, ELFMAG, SELFMAG) != 0) {
        Error = QStringLiteral("not a plug-in library (not an ELF file)");
        return std::nullopt;
    }
    if (eh.e_ident[EI_CLASS] != ELFCLASS64 || eh.e_ident[EI_DATA] != ELFDATA2LSB || eh.e_machine != EM_X86_64 ||
        eh.e_shentsize != sizeof(Elf64_Shdr)) {
        Error = QStringLiteral("not a plug-in library for this platform");
        return std::nullopt;
    }
    Elf64_Shdr names;
    if (!file.Read(eh.e_shoff + quint64(eh.e_shstrndx) * sizeof(Elf64_Shdr), names) ||
        !file.Contains(names.sh_offset, names.sh_size)) {
        Error = QStringLiteral("damaged library (section names)");
        return std::nullopt;
    }
    const quint64 wantedLen = std::strlen(wanted);
    for (quint64 i = 0; i < eh.e_shnum; ++i) {
        Elf64_Shdr sh;
        if (!file.Read(eh.e_shoff + i * sizeof(Elf64_Shdr), sh))
            break;
        if (sh.sh_name >= names.sh_size || names.sh_size - sh.sh_name <= wantedLen)
            continue;
        if (std::memcmp(file.At(names.sh_offset + sh.sh_name), wanted, wantedLen + 1) != 0)
            continue;
        if (sh.sh_type == SHT_NOBITS || !file.Contains(sh.sh_offset, sh.sh_size))
            break;
        return QByteArray(file.At(sh.sh_offset), qsizetype(sh.sh_size));
    }
    Error = QStringLiteral("not a plug-in (no version entries)");
    return std::nullopt;
}

int EntryNumber(const TVersionEntries &e, const char *key) {
    bool ok = false;
    const int n = e.value(QLatin1String(key)).toInt(&ok);
    return ok ? n : -1;
}

} // namespace

std::optional<TVersionEntries> ReadVersionEntries(const QString &Path, QString &Error) {
    QFile f(Path);
    if (!f.exists()) {
        Error = QStringLiteral("no such file");
        return std::nullopt;
    }
    if (!f.open(QIODevice::ReadOnly)) {
        Error = f.errorString();
        return std::nullopt;
    }
    return ParseVersionEntries(f.readAll(), Error);
}

std::optional<TVersionEntries> ParseVersionEntries(const QByteArray &Image, QString &Error) {
    const std::optional<QByteArray> section = FindSection(Image, VQ_VERSION_SECTION, Error);
    if (!section)
        return std::nullopt;
    // Key and value texts alternate; an empty key ends the list.
    const QList<QByteArray> parts = section->split('\0');
    TVersionEntries entries;
    for (qsizetype i = 0; i + 1 < parts.size() && !parts[i].isEmpty(); i += 2)
        entries.insert(QString::fromLatin1(parts[i]), QString::fromLatin1(parts[i + 1]));
    if (entries.isEmpty()) {
        Error = QStringLiteral("not a plug-in (empty version entries)");
        return std::nullopt;
    }
    return entries;
}

QString CheckVersionFit(const TVersionEntries &Entries) {
    const int dpInterface = EntryNumber(Entries, "Device Plugin Interface");
    const int minInterface = EntryNumber(Entries, "Min DP Interface");
    if (dpInterface < 0 || minInterface < 0)
        return QStringLiteral("the plug-in does not state its interface versions");
    if (dpInterface < HostMinDPInterface || minInterface > HostDPInterface)
        return QStringLiteral("plug-in interface %1 (oldest supported %2) does not fit host interface %3 "
                              "(oldest supported %4)")
            .arg(dpInterface)
            .arg(minInterface)
            .arg(HostDPInterface)
            .arg(HostMinDPInterface);
    const QString minSoftware = Entries.value(QStringLiteral("Min Software Version"));
    if (QVersionNumber::fromString(minSoftware) > QVersionNumber::fromString(QLatin1String(HostSoftwareVersion)))
        return QStringLiteral("the plug-in needs host software %1 or later; this host is %2")
            .arg(minSoftware, QLatin1String(HostSoftwareVersion));
    return {};
}

#include "IPAddressRec.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cstring>

EIP6NotSupported::EIP6NotSupported() : Exception(QStringLiteral("IP6 is not supported yet")) {}

TIPAddressRec IPRecFromIPv4(uint32_t ip) {
    TIPAddressRec rec{};
    if (ip != 0) {
        rec.version = 4;
        rec.ip4 = ip;
    }
    return rec;
}

uint32_t IPRecToIPv4(const TIPAddressRec &rec) {
    switch (rec.version) {
    case 0:
        return 0;
    case 4:
        return rec.ip4;
    default:
        throw EIP6NotSupported();
    }
}

bool AssignIPv4ToIPRec(TIPAddressRec &rec, uint32_t ip) {
    const bool changed = ip != 0 ? rec.version != 4 || rec.ip4 != ip : rec.version != 0;
    if (changed)
        rec = IPRecFromIPv4(ip);
    return changed;
}

bool operator==(const TIPAddressRec &a, const TIPAddressRec &b) {
    if (a.version != b.version)
        return false;
    switch (a.version) {
    case 4:
        return a.ip4 == b.ip4;
    case 6:
        return std::memcmp(a.ip6, b.ip6, sizeof a.ip6) == 0;
    default:
        return true;
    }
}

bool IsEmptyIPRec(const TIPAddressRec &rec) {
    switch (rec.version) {
    case 4:
        return rec.ip4 == 0;
    case 6:
        return std::all_of(std::begin(rec.ip6), std::end(rec.ip6), [](uint8_t b) { return b == 0; });
    default:
        return true;
    }
}

QString IPText(const TIPAddressRec &IP) {
    char text[INET6_ADDRSTRLEN];
    switch (IP.version) {
    case 4: {
        const in_addr a{htonl(IP.ip4)};
        return QString::fromLatin1(inet_ntop(AF_INET, &a, text, sizeof text));
    }
    case 6:
        return QString::fromLatin1(inet_ntop(AF_INET6, IP.ip6, text, sizeof text));
    default:
        return {};
    }
}

std::optional<TIPAddressRec> ParseIPText(const QString &Text) {
    if (Text.isEmpty())
        return TIPAddressRec{};
    // inet_pton reads up to a NUL; an address has no character outside printable ASCII.
    if (std::any_of(Text.begin(), Text.end(), [](QChar c) { return c.unicode() <= u' ' || c.unicode() > u'~'; }))
        return std::nullopt;
    const QByteArray ascii = Text.toLatin1();
    TIPAddressRec rec{};
    if (in_addr a{}; inet_pton(AF_INET, ascii.constData(), &a) == 1) {
        rec.version = 4;
        rec.ip4 = ntohl(a.s_addr);
    } else if (inet_pton(AF_INET6, ascii.constData(), rec.ip6) == 1) {
        rec.version = 6;
    } else {
        return std::nullopt;
    }
    return rec;
}

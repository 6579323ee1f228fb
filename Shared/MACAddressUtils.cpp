#include "MACAddressUtils.h"

#include <QByteArray>

int HexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

QString MACToText(const TdpMACAddress &MAC) {
    return QByteArray(reinterpret_cast<const char *>(MAC.mac), sizeof MAC.mac).toHex('-').toUpper();
}

QString MACToHex(const TdpMACAddress &MAC) {
    return QByteArray(reinterpret_cast<const char *>(MAC.mac), sizeof MAC.mac).toHex().toUpper();
}

TdpMACAddress TextToMAC(const QString &Text) {
    TdpMACAddress result{};
    for (int i = 0; i < 6; ++i) {
        int value = 0;
        for (QChar c : Text.mid(3 * i, 2)) {
            const int digit = HexDigit(c);
            if (digit < 0) {
                value = 0;
                break;
            }
            value = value * 16 + digit;
        }
        result.mac[i] = uint8_t(value);
    }
    return result;
}

QString NormalizeMACText(const QString &Text) { return Text.toUpper().remove(QLatin1Char('-')); }

bool SameMAC(const TdpMACAddress &A, const TdpMACAddress &B) { return A == B; }

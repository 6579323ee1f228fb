#pragma once
// The MAC address text forms shared by the device frames, the model's device
// proxy and the host's records.

#include "CommonDevicePlugins.h"

#include <QString>

inline constexpr TdpMACAddress EmptyMACAddress{};

// 00-0A-FF-12-34-56
QString MACToText(const TdpMACAddress &MAC);
// 000AFF123456
QString MACToHex(const TdpMACAddress &MAC);
// Byte i from the two characters at positions 3i and 3i+1 (from 0), whatever
// stands between the pairs; a missing character adds nothing and a pair that
// is not hexadecimal reads as 00.
TdpMACAddress TextToMAC(const QString &Text);
// Upper case without separators, as the device frames take typed text.
QString NormalizeMACText(const QString &Text);
bool SameMAC(const TdpMACAddress &A, const TdpMACAddress &B);
// The value of a hexadecimal digit (either case); -1 for any other character.
int HexDigit(QChar c);

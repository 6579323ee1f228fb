#pragma once
// Reading a plug-in's version entries straight from its file, before any of
// its code is loaded, and deciding whether the host can work with it.

#include <QMap>
#include <QString>

#include <optional>

using TVersionEntries = QMap<QString, QString>;

// The entries of the file's version section; none with Error set when the
// file cannot be read or is not a plug-in of this platform.
std::optional<TVersionEntries> ReadVersionEntries(const QString &Path, QString &Error);
// The same for a file's bytes.
std::optional<TVersionEntries> ParseVersionEntries(const QByteArray &Image, QString &Error);

// The host's side of the version contract.
constexpr int HostDPInterface = 8;
constexpr int HostMinDPInterface = 7;
inline const char *HostSoftwareVersion = "2.5.47300";

// Empty when the host and the plug-in fit; otherwise why they do not.
QString CheckVersionFit(const TVersionEntries &Entries);

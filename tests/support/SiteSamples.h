#pragma once
// Sample host records with every field away from its empty value, and ways to
// compare records and whole databases in tests of the host's configuration.

#include "database/ConfigDatabase.h"
#include "database/HostRecords.h"

#include <QStringList>

#include <sqlite3.h>

#include <functional>
#include <ostream>

// Readable failure output for texts.
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

// Every field away from its empty value, 8-bit texts using the upper half of the code page.
inline TProfileRecord SampleProfile(int64_t id, const QString &name) {
    TProfileRecord p{.ProfileID = id, .DeviceType = QStringLiteral("LYN 2"), .Codecs = 15, .NumberOfLines = -2,
                     .DisplayType = devdtAlphanum, .Name = name,
                     .CustomData = QStringLiteral("General{SoftwareVersion=\"2.3\xE9\" InterdigitTO=2200} "
                                                  "IPComm{DHCP=false}"),
                     .ExtraValue = -7, .FailoverNodeId = 2, .FailoverSIPIP = QStringLiteral("10.0.0.6"),
                     .FailoverSIPPort = 5070, .Options = {{{POT_AutoAnswerType, 2}, {POT_SilenceSuppression, -1}}, 2}};
    p.SyslogIfNotRegistered = p.HasAnalogLine = p.SupportsConferences = p.SendsSIPRegister = p.UnsolicitedMWI =
        p.SupportsEarlyMedia = p.SupportsAssertedIdentity = p.SupportsPage = p.SupportsIM = p.PrefixExtCalls =
            p.AllowLocationSpecOnPhone = p.GetsStaticIP = p.IsDHCPServer = p.SupportsSIPBasedUpdate = p.IsDefault =
                p.UpdateDevicesRequired = true;
    return p;
}

inline TDeviceRecord SampleDevice(int64_t id, int64_t profileID, const QString &uniqueID) {
    return {.DeviceID = id, .Protocol = ptSIP, .ProfileID = profileID, .UniqueID = uniqueID,
            .ProxyPassword = QStringLiteral("s\xE9" "cret"), .AssignedIP = *ParseIPText(QStringLiteral("10.0.0.20")),
            .AssignedPort = 5062, .AssignedContact = QStringLiteral("sip:100@10.0.0.20"),
            .MacAddress = {{0x00, 0x01, 0xE1, 0xAB, 0xCD, uint8_t(id)}}, .NormalLocationID = int64_t(1) << 40,
            .DHCP_SRV_Start_IP = *ParseIPText(QStringLiteral("fe80::1")),
            .DHCP_SRV_End_IP = *ParseIPText(QStringLiteral("10.0.0.200")),
            .Greeting = QStringLiteral("Gr\u00FC\u00DF Gott \u263A"), .CustomData = "anything at all {"};
}

// "Name=value" for every field, then the custom data and, for a profile, the options.
template <class R>
QStringList Describe(const R &record, const std::vector<TRecordField<R>> &fields) {
    QStringList lines;
    for (const auto &f : fields)
        lines << QLatin1String(f.Name) + QLatin1Char('=') + GetFieldValue(record, f).toString();
    lines << QStringLiteral("CustomData=") + record.CustomData;
    if constexpr (std::is_same_v<R, TProfileRecord>) {
        QStringList options; // a set: in any order
        for (int i = 0; i < record.Options.len; ++i)
            options << QStringLiteral("Option %1=%2").arg(record.Options.list[i].tag).arg(record.Options.list[i].value);
        options.sort();
        lines << options;
    }
    return lines;
}
inline QStringList Describe(const TProfileRecord &p) { return Describe(p, ProfileFields()); }
inline QStringList Describe(const TDeviceRecord &d) { return Describe(d, DeviceFields()); }

// What the database raised, or nothing.
inline QString Failure(const std::function<void()> &f) {
    try {
        f();
    } catch (const EDatabase &e) {
        return e.Message();
    }
    return {};
}

// Runs SQL on the file as any SQLite tool would, foreign keys not enforced:
// the tool's message, or none.
inline QString RawSql(const QString &path, const char *sql) {
    sqlite3 *db = nullptr;
    char *error = nullptr;
    QString message;
    if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK)
        message = QString::fromUtf8(sqlite3_errmsg(db));
    else if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK)
        message = QString::fromUtf8(error);
    sqlite3_free(error);
    sqlite3_close(db);
    return message;
}

// Every row of every table, in key order, as text.
inline QString DumpDatabase(const QString &path) {
    sqlite3 *db = nullptr;
    QString dump;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        for (const char *table : {"system", "node_addresses", "profiles", "profile_options", "devices"}) {
            sqlite3_stmt *s = nullptr;
            sqlite3_prepare_v2(db, (QByteArray("SELECT * FROM ") + table + " ORDER BY 1, 2").constData(), -1, &s,
                               nullptr);
            while (s && sqlite3_step(s) == SQLITE_ROW) {
                dump += QLatin1String(table);
                for (int i = 0; i < sqlite3_column_count(s); ++i)
                    dump += QStringLiteral("|%1:%2").arg(sqlite3_column_type(s, i)).arg(
                        QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, i))));
                dump += QLatin1Char('\n');
            }
            sqlite3_finalize(s);
        }
    }
    sqlite3_close(db);
    return dump;
}

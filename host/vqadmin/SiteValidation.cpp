#include "SiteValidation.h"

#include "HostObjects.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>

#include <functional>

namespace {

// Runs a module operation: the message of what it raised, or none.
std::optional<QString> Failure(const std::function<void()> &operation) {
    try {
        operation();
        return std::nullopt;
    } catch (const Exception &e) {
        return e.Message();
    } catch (const std::exception &e) {
        return QString::fromLocal8Bit(e.what());
    }
}

// One validation; what it raises becomes the object's error.
void Judge(TVerdict &verdict, IDevicePluginModule &module,
           const std::function<TConflictLevel(PAnsiStringRef &)> &validate) {
    const std::optional<QString> failure = Failure([&] {
        PAnsiStringRef message = nullptr;
        verdict.Level = validate(message);
        verdict.Message = TakeAnsiStringRef(&module, message);
    });
    if (failure) {
        verdict.Level = clvError;
        verdict.Message = *failure;
    }
}

QString DescribeByKey(const TDeviceRecord &d) {
    return QStringLiteral("device %1 (MAC %2)").arg(d.DeviceID).arg(MACToText(d.MacAddress));
}

QString DescribeByID(const TDeviceRecord &d) { return QStringLiteral("device \"%1\"").arg(d.UniqueID); }

// Groups of devices sharing a key; each member learns the others.
void ReportShared(const std::vector<const TDeviceRecord *> &devices, std::vector<QStringList> &findings,
                  const std::function<QString(const TDeviceRecord &)> &key,
                  const std::function<QString(const TDeviceRecord &)> &intro,
                  const std::function<QString(const TDeviceRecord &)> &describe) {
    QHash<QString, QList<std::size_t>> groups;
    for (std::size_t i = 0; i < devices.size(); ++i)
        if (const QString k = key(*devices[i]); !k.isNull())
            groups[k].append(i);
    for (std::size_t i = 0; i < devices.size(); ++i) {
        const QString k = key(*devices[i]);
        if (k.isNull() || groups[k].size() < 2)
            continue;
        QStringList others;
        for (std::size_t j : groups[k])
            if (j != i)
                others << describe(*devices[j]);
        findings[i] << intro(*devices[i]) + QStringLiteral(" is also used by ") + others.join(QStringLiteral(", "));
    }
}

// The host's findings join the plug-in's as errors: an error message keeps
// its place ahead of them, a lesser finding gives way.
void AddHostFindings(TVerdict &verdict, const QStringList &findings) {
    if (findings.isEmpty())
        return;
    QStringList messages = findings;
    if (verdict.Level == clvError)
        messages.prepend(verdict.Message);
    verdict.Level = clvError;
    verdict.Message = messages.join(QStringLiteral("; "));
}

QString Plural(std::size_t n, const char *noun) {
    return QStringLiteral("%1 %2%3").arg(n).arg(QLatin1String(noun)).arg(n == 1 ? "" : "s");
}

// QJsonDocument writes no bare strings, so take one out of an array.
QString JsonString(const QString &text) {
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

} // namespace

bool TValidationReport::HasErrors() const {
    const auto error = [](const TVerdict &v) { return v.Level == clvError; };
    return std::any_of(Profiles.begin(), Profiles.end(), error) || std::any_of(Devices.begin(), Devices.end(), error);
}

TValidationReport ValidateSite(TConfigDatabase &Database, IDevicePluginModule &Module) {
    const TInterfaceRef<THostServant> servant(new THostServant(Database));
    const std::vector<TProfileRecord> profiles = Database.LoadProfiles();
    const std::vector<TDeviceRecord> devices = Database.LoadDevices();
    QHash<int64_t, std::vector<const TDeviceRecord *>> devicesOf;
    for (const TDeviceRecord &d : devices)
        devicesOf[d.ProfileID].push_back(&d);

    TValidationReport report;
    std::vector<TInterfaceRef<THostProfile>> hostProfiles;
    for (const TProfileRecord &p : profiles) {
        hostProfiles.emplace_back(new THostProfile(Database, p));
        TVerdict &verdict = report.Profiles.emplace_back(TVerdict{p.Name, std::nullopt, clvNone, {}});
        Judge(verdict, Module, [&](PAnsiStringRef &message) {
            return Module.ValidateProfile(hostProfiles.back().get(), servant.get(), message);
        });
    }

    std::vector<const TDeviceRecord *> order; // the devices in report order
    const auto validateDevices = [&](const std::vector<const TDeviceRecord *> &group,
                                     const std::optional<QString> &profileName,
                                     const auto &validate) {
        for (const TDeviceRecord *d : group) {
            order.push_back(d);
            const TInterfaceRef<THostDevice> device(new THostDevice(Database, *d));
            TVerdict &verdict = report.Devices.emplace_back(TVerdict{d->UniqueID, profileName, clvNone, {}});
            Judge(verdict, Module, [&](PAnsiStringRef &message) { return validate(device.get(), message); });
        }
    };
    for (std::size_t i = 0; i < profiles.size(); ++i) {
        const std::vector<const TDeviceRecord *> &group = devicesOf.value(profiles[i].ProfileID);
        if (group.empty())
            continue;
        TProfileHandle handle = 0;
        const std::optional<QString> failure =
            Failure([&] { handle = Module.ValidateDevice_PrepareProfile(hostProfiles[i].get(), servant.get()); });
        validateDevices(group, profiles[i].Name, [&](IDevice *device, PAnsiStringRef &message) {
            if (failure)
                throw Exception(QStringLiteral("the profile could not be prepared: ") + *failure);
            return Module.ValidateDevice(device, handle, servant.get(), message);
        });
        if (handle != 0)
            Module.ValidateDevice_FreePreparedProfile(handle);
    }
    validateDevices(devicesOf.value(0), std::nullopt, [&](IDevice *device, PAnsiStringRef &message) {
        return Module.ValidateDevice(device, static_cast<IDeviceProfile *>(nullptr), servant.get(), message);
    });

    std::vector<QStringList> findings(order.size());
    ReportShared(
        order, findings, [](const TDeviceRecord &d) { return d.UniqueID; },
        [](const TDeviceRecord &d) { return QStringLiteral("Device ID \"%1\"").arg(d.UniqueID); }, DescribeByKey);
    ReportShared(
        order, findings,
        [](const TDeviceRecord &d) { return d.MacAddress == EmptyMACAddress ? QString() : MACToText(d.MacAddress); },
        [](const TDeviceRecord &d) { return QStringLiteral("MAC address %1").arg(MACToText(d.MacAddress)); },
        DescribeByID);
    for (std::size_t i = 0; i < order.size(); ++i)
        AddHostFindings(report.Devices[i], findings[i]);
    return report;
}

QString ReportText(const TValidationReport &Report) {
    static const char *const levels[] = {"ok", "warning", "error"};
    QString text;
    std::size_t counts[3] = {};
    const auto line = [&](const char *kind, const TVerdict &v) {
        text += QStringLiteral("%1 \"%2\": %3").arg(QLatin1String(kind), v.Object, QLatin1String(levels[v.Level]));
        if (!v.Message.isEmpty())
            text += QStringLiteral(": ") + v.Message;
        text += QLatin1Char('\n');
        ++counts[v.Level];
    };
    for (const TVerdict &v : Report.Profiles)
        line("profile", v);
    for (const TVerdict &v : Report.Devices)
        line("device", v);
    text += QStringLiteral("%1 and %2 checked: %3, %4\n")
                .arg(Plural(Report.Profiles.size(), "profile"), Plural(Report.Devices.size(), "device"),
                     Plural(counts[clvError], "error"), Plural(counts[clvWarning], "warning"));
    return text;
}

QString ReportJson(const TValidationReport &Report) {
    static const char *const levels[] = {"none", "warning", "error"};
    const auto tail = [](const TVerdict &v) {
        return QStringLiteral("\"level\":\"%1\",\"message\":%2}").arg(QLatin1String(levels[v.Level]), JsonString(v.Message));
    };
    QStringList profiles, devices;
    for (const TVerdict &v : Report.Profiles)
        profiles << QStringLiteral("{\"name\":%1,").arg(JsonString(v.Object)) + tail(v);
    for (const TVerdict &v : Report.Devices)
        devices << QStringLiteral("{\"id\":%1,\"profile\":%2,")
                           .arg(JsonString(v.Object), v.Profile ? JsonString(*v.Profile) : QStringLiteral("null")) +
                       tail(v);
    return QStringLiteral("{\"profiles\":[%1],\"devices\":[%2]}\n")
        .arg(profiles.join(QLatin1Char(',')), devices.join(QLatin1Char(',')));
}

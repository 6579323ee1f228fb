#include "SiteValidation.h"

#include "plugin/HostObjects.h"

#include <QHash>

#include <cstring>
#include <functional>
#include <map>

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
    return QStringLiteral("device ") + QString::number(d.DeviceID) + QStringLiteral(" (MAC ") + MACToText(d.MacAddress) +
           QLatin1Char(')');
}

QString DescribeByID(const TDeviceRecord &d) { return QStringLiteral("device \"") + d.UniqueID + QLatin1Char('"'); }

// The place of a device in the report: by profile, those without one last.
std::tuple<bool, int64_t, int64_t> ReportOrder(const TDeviceRecord &d) {
    return {d.ProfileID == 0, d.ProfileID, d.DeviceID};
}

// What only the host sees: devices sharing a Device ID, or a MAC address
// other than the empty one. Only the devices that share are held.
class THostFindings {
public:
    explicit THostFindings(TConfigDatabase &Database) {
        AddIDs(Database.DevicesSharing("UniqueID", QVariant()));
        AddMACs(Database.DevicesSharing("MacAddress", MACToText(EmptyMACAddress)));
    }
    // Only the groups the devices belong to.
    THostFindings(TConfigDatabase &Database, const std::vector<TDeviceRecord> &Devices) {
        std::map<int64_t, TDeviceRecord> ids, macs;
        // Most devices share nothing: for those, the index alone answers, all of them in one question.
        QStringList uniqueIDs, macTexts;
        for (const TDeviceRecord &d : Devices) {
            uniqueIDs << d.UniqueID;
            if (d.MacAddress != EmptyMACAddress)
                macTexts << MACToText(d.MacAddress);
        }
        for (const QString &id : Database.SharedOf("UniqueID", uniqueIDs))
            for (const TDeviceRecord &o : Database.DevicesWith("UniqueID", id))
                ids.emplace(o.DeviceID, o);
        for (const QString &mac : Database.SharedOf("MacAddress", macTexts))
            for (const TDeviceRecord &o : Database.DevicesWith("MacAddress", mac))
                macs.emplace(o.DeviceID, o);
        AddIDs(Values(ids));
        AddMACs(Values(macs));
    }

    // The findings of one device, the Device ID's first.
    QStringList Of(int64_t DeviceID) const { return FFindings.value(DeviceID); }

private:
    using TText = std::function<QString(const TDeviceRecord &)>;

    static std::vector<TDeviceRecord> Values(const std::map<int64_t, TDeviceRecord> &Devices) {
        std::vector<TDeviceRecord> values;
        for (const auto &[id, d] : Devices)
            values.push_back(d);
        return values;
    }
    void AddIDs(const std::vector<TDeviceRecord> &Sharing) {
        Add(
            Sharing, [](const TDeviceRecord &d) { return d.UniqueID; },
            [](const TDeviceRecord &d) { return QStringLiteral("Device ID \"") + d.UniqueID + QLatin1Char('"'); },
            DescribeByKey);
    }
    void AddMACs(const std::vector<TDeviceRecord> &Sharing) {
        Add(
            Sharing, [](const TDeviceRecord &d) { return MACToText(d.MacAddress); },
            [](const TDeviceRecord &d) { return QStringLiteral("MAC address ") + MACToText(d.MacAddress); },
            DescribeByID);
    }

    // Each member of a group learns the others, in report order.
    void Add(const std::vector<TDeviceRecord> &sharing, const TText &key, const TText &intro, const TText &describe) {
        QHash<QString, std::vector<const TDeviceRecord *>> groups;
        for (const TDeviceRecord &d : sharing)
            groups[key(d)].push_back(&d);
        for (std::vector<const TDeviceRecord *> &group : groups) {
            if (group.size() < 2)
                continue; // a device alone with its key
            std::sort(group.begin(), group.end(), [](auto *a, auto *b) { return ReportOrder(*a) < ReportOrder(*b); });
            for (const TDeviceRecord *d : group) {
                QStringList others;
                for (const TDeviceRecord *o : group)
                    if (o != d)
                        others << describe(*o);
                FFindings[d->DeviceID] << intro(*d) + QStringLiteral(" is also used by ") +
                                              others.join(QStringLiteral(", "));
            }
        }
    }

    QHash<int64_t, QStringList> FFindings;
};

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

// The module's prepared form of one profile, freed whatever happens to its devices.
class TPreparedProfile {
public:
    TPreparedProfile(IDevicePluginModule &Module, IDeviceProfile *Profile, IDevicePluginServant *Servant)
        : FModule(Module) {
        FFailure = Failure([&] { FHandle = Module.ValidateDevice_PrepareProfile(Profile, Servant); });
    }
    ~TPreparedProfile() {
        if (FHandle != 0)
            FModule.ValidateDevice_FreePreparedProfile(FHandle);
    }
    TPreparedProfile(const TPreparedProfile &) = delete;
    TPreparedProfile &operator=(const TPreparedProfile &) = delete;

    TProfileHandle Handle() const {
        if (FFailure)
            throw Exception(QStringLiteral("the profile could not be prepared: ") + *FFailure);
        return FHandle;
    }

private:
    IDevicePluginModule &FModule;
    TProfileHandle FHandle = 0;
    std::optional<QString> FFailure;
};

TVerdict JudgeProfile(IDevicePluginModule &Module, THostProfile *Profile, IDevicePluginServant *Servant,
                      const TProfileRecord &Record) {
    TVerdict verdict{Record.Name, std::nullopt, clvNone, {}, Record.ProfileID};
    Judge(verdict, Module, [&](PAnsiStringRef &message) { return Module.ValidateProfile(Profile, Servant, message); });
    return verdict;
}

// Judges the devices of one profile, or of none: with the profile's prepared
// form, made when the first device comes (a profile without devices needs
// none), or through the plain ValidateDevice.
class TDeviceJudge {
public:
    TDeviceJudge(TConfigDatabase &Database, IDevicePluginModule &Module, IDevicePluginServant *Servant,
                 THostProfile *Profile, const std::optional<QString> &ProfileName)
        : FDatabase(Database), FModule(Module), FServant(Servant), FProfile(Profile), FProfileName(ProfileName) {}

    TVerdict operator()(const TDeviceRecord &Record, const THostFindings &Findings) {
        const TInterfaceRef<THostDevice> device(new THostDevice(FDatabase, Record));
        TVerdict verdict{Record.UniqueID, FProfileName, clvNone, {}, Record.DeviceID};
        Judge(verdict, FModule, [&](PAnsiStringRef &message) {
            if (!FProfile)
                return FModule.ValidateDevice(device.get(), static_cast<IDeviceProfile *>(nullptr), FServant, message);
            if (!FPrepared)
                FPrepared.emplace(FModule, FProfile, FServant);
            return FModule.ValidateDevice(device.get(), FPrepared->Handle(), FServant, message);
        });
        AddHostFindings(verdict, Findings.Of(Record.DeviceID));
        return verdict;
    }

private:
    TConfigDatabase &FDatabase;
    IDevicePluginModule &FModule;
    IDevicePluginServant *FServant;
    THostProfile *FProfile;
    std::optional<QString> FProfileName;
    std::optional<TPreparedProfile> FPrepared;
};

QString Plural(std::size_t n, const char *noun) {
    return QString::number(n) + QLatin1Char(' ') + QLatin1String(noun) + (n == 1 ? QString() : QStringLiteral("s"));
}

// Keeps the verdicts it is given.
class TReportCollector : public TVerdictSink {
public:
    void Profile(const TVerdict &Verdict) override { Report.Profiles.push_back(Verdict); }
    void Device(const TVerdict &Verdict) override { Report.Devices.push_back(Verdict); }
    TValidationReport Report;
};

QString WriteReport(const TValidationReport &Report, bool json) {
    QByteArray text;
    TReportWriter writer(json, [&](const QByteArray &piece) { text += piece; });
    for (const TVerdict &v : Report.Profiles)
        writer.Profile(v);
    for (const TVerdict &v : Report.Devices)
        writer.Device(v);
    writer.Finish();
    return QString::fromUtf8(text);
}

} // namespace

bool TValidationReport::HasErrors() const {
    const auto error = [](const TVerdict &v) { return v.Level == clvError; };
    return std::any_of(Profiles.begin(), Profiles.end(), error) || std::any_of(Devices.begin(), Devices.end(), error);
}

void ValidateSite(TConfigDatabase &Database, IDevicePluginModule &Module, TVerdictSink &Sink,
                  const TValidationProgress &Progress) {
    Database.CheckReferences();
    const TInterfaceRef<THostServant> servant(new THostServant(Database));
    const std::vector<TProfileRecord> profiles = Database.LoadProfiles();
    const int64_t total = int64_t(profiles.size()) + Database.CountDevices();
    int64_t done = 0;
    const auto reached = [&] {
        if (Progress)
            Progress(done++, total);
    };
    reached();
    const THostFindings findings(Database);

    std::vector<TInterfaceRef<THostProfile>> hostProfiles;
    for (const TProfileRecord &p : profiles) {
        hostProfiles.emplace_back(new THostProfile(Database, p));
        Sink.Profile(JudgeProfile(Module, hostProfiles.back().get(), servant.get(), p));
        reached();
    }
    for (std::size_t i = 0; i < profiles.size(); ++i) {
        TDeviceJudge judge(Database, Module, servant.get(), hostProfiles[i].get(), profiles[i].Name);
        Database.ForEachDeviceOf(profiles[i].ProfileID, [&](const TDeviceRecord &d) {
            Sink.Device(judge(d, findings));
            reached();
        });
    }
    TDeviceJudge judge(Database, Module, servant.get(), nullptr, std::nullopt);
    Database.ForEachDeviceOf(0, [&](const TDeviceRecord &d) {
        Sink.Device(judge(d, findings));
        reached();
    });
}

void ValidateRecords(TConfigDatabase &Database, IDevicePluginModule &Module, const std::vector<int64_t> &ProfileIDs,
                     const std::vector<TDeviceRecord> &Devices, TVerdictSink &Sink) {
    const TInterfaceRef<THostServant> servant(new THostServant(Database));
    for (const int64_t id : ProfileIDs)
        if (const std::optional<TProfileRecord> p = Database.LoadProfile(id)) {
            const TInterfaceRef<THostProfile> profile(new THostProfile(Database, *p));
            Sink.Profile(JudgeProfile(Module, profile.get(), servant.get(), *p));
        }
    // By profile, so that each is prepared once.
    std::map<int64_t, std::vector<TDeviceRecord>> byProfile;
    for (const TDeviceRecord &d : Devices)
        byProfile[d.ProfileID].push_back(d);
    const THostFindings findings(Database, Devices);
    for (const auto &[profileID, group] : byProfile) {
        const std::optional<TProfileRecord> p = profileID ? Database.LoadProfile(profileID) : std::nullopt;
        const TInterfaceRef<THostProfile> profile(p ? new THostProfile(Database, *p) : nullptr);
        TDeviceJudge judge(Database, Module, servant.get(), profile.get(),
                           p ? std::optional<QString>(p->Name) : std::nullopt);
        for (const TDeviceRecord &d : group)
            Sink.Device(judge(d, findings));
    }
}

TValidationReport ValidateSite(TConfigDatabase &Database, IDevicePluginModule &Module) {
    TReportCollector collector;
    ValidateSite(Database, Module, collector);
    return std::move(collector.Report);
}

namespace {

// Text handed on at a time.
constexpr qsizetype ReportPiece = 1 << 16;

// A verdict's texts in UTF-8, as the writer takes them.
struct TUtf8Verdict {
    explicit TUtf8Verdict(const TVerdict &V)
        : Object(V.Object.toUtf8()), Profile(V.Profile ? V.Profile->toUtf8() : QByteArray()),
          Message(V.Message.toUtf8()),
          Kept{Object, V.Profile ? std::optional<QByteArrayView>(Profile) : std::nullopt, V.Level, Message, V.ID} {}
    const QByteArray Object, Profile, Message;
    const TKeptVerdict Kept;
};

} // namespace

TReportWriter::TReportWriter(bool Json, std::function<void(const QByteArray &)> Out)
    : FJson(Json), FOut(std::move(Out)), FText(2 * ReportPiece, Qt::Uninitialized) {}

// The text is written into FText's room, FUsed bytes of it taken: a million
// lines of a few pieces each pass here.
char *TReportWriter::Room(qsizetype Size) {
    if (FUsed + Size > FText.size())
        FText.resize(std::max(2 * FText.size(), FUsed + Size));
    return FText.data() + FUsed;
}

void TReportWriter::Add(QByteArrayView Text) {
    std::memcpy(Room(Text.size()), Text.data(), std::size_t(Text.size()));
    FUsed += Text.size();
}

void TReportWriter::Pass(bool All) {
    if (FUsed < ReportPiece && !(All && FUsed > 0))
        return;
    const qsizetype room = FText.size();
    FText.resize(FUsed);
    FOut(FText);
    FText.resize(room); // the same room, unless Out kept the text
    FUsed = 0;
}

void TReportWriter::Profile(const TVerdict &Verdict) { Profile(TUtf8Verdict(Verdict).Kept); }

void TReportWriter::Device(const TVerdict &Verdict) { Device(TUtf8Verdict(Verdict).Kept); }

void TReportWriter::Profile(const TKeptVerdict &Verdict) {
    ++FCounts[Verdict.Level];
    if (FJson) {
        Add(FProfiles == 0 ? "{\"profiles\":[{\"name\":" : ",{\"name\":");
        AddText(Verdict.Object);
        AddJsonLevel(Verdict);
    } else {
        AddTextLine("profile", Verdict);
    }
    ++FProfiles;
    Pass();
}

void TReportWriter::Device(const TKeptVerdict &Verdict) {
    ++FCounts[Verdict.Level];
    if (FJson) {
        if (FDevices == 0)
            BeginDevices();
        else
            Add(",");
        Add("{\"id\":");
        AddText(Verdict.Object);
        Add(",\"profile\":");
        if (Verdict.Profile)
            AddText(*Verdict.Profile);
        else
            Add("null");
        AddJsonLevel(Verdict);
    } else {
        AddTextLine("device", Verdict);
    }
    ++FDevices;
    Pass();
}

void TReportWriter::Finish() {
    if (FJson) {
        if (FDevices == 0)
            BeginDevices();
        Add("]}\n");
    } else {
        Add(CountLine(FProfiles, FDevices, FCounts[clvError], FCounts[clvWarning]).toUtf8());
        Add("\n");
    }
    Pass(true);
}

QString CountLine(std::size_t Profiles, std::size_t Devices, std::size_t Errors, std::size_t Warnings) {
    return Plural(Profiles, "profile") + QStringLiteral(" and ") + Plural(Devices, "device") +
           QStringLiteral(" checked: ") + Plural(Errors, "error") + QStringLiteral(", ") + Plural(Warnings, "warning");
}

void TReportWriter::BeginDevices() {
    if (FProfiles == 0)
        Add("{\"profiles\":[");
    Add("],\"devices\":[");
}

void TReportWriter::AddTextLine(QByteArrayView Kind, const TKeptVerdict &Verdict) {
    static constexpr QByteArrayView levels[] = {"ok", "warning", "error"};
    Add(Kind);
    Add(" \"");
    AddText(Verdict.Object);
    Add("\": ");
    Add(levels[Verdict.Level]);
    if (!Verdict.Message.isEmpty()) {
        Add(": ");
        AddText(Verdict.Message);
    }
    Add("\n");
}

void TReportWriter::AddJsonLevel(const TKeptVerdict &Verdict) {
    static constexpr QByteArrayView levels[] = {"none", "warning", "error"};
    Add(",\"level\":\"");
    Add(levels[Verdict.Level]);
    Add("\",\"message\":");
    AddText(Verdict.Message);
    Add("}");
}

// Escaped as QJsonDocument escapes a string: the quote, the backslash and the
// control characters, the rest as it is. A sequence that is not UTF-8 becomes
// a replacement character, as a QString read from the bytes has it.
void TReportWriter::AddText(QByteArrayView Utf8) {
    if (!Utf8.isValidUtf8())
        return AddText(QString::fromUtf8(Utf8).toUtf8());
    if (!FJson)
        return Add(Utf8);
    static const char hex[] = "0123456789abcdef";
    Add("\"");
    for (const char *p = Utf8.begin(), *end = Utf8.end(); p < end;) {
        const char *run = p;
        while (p < end && uchar(*p) >= 0x20 && *p != '"' && *p != '\\')
            ++p;
        Add(QByteArrayView(run, p));
        if (p == end)
            break;
        // The quote, the backslash and five control characters have escapes of their own.
        static constexpr char own[] = "\"\\\b\f\n\r\t", letters[] = "\"\\bfnrt";
        const char c = *p++;
        const char *o = c ? std::strchr(own, c) : nullptr;
        const char escaped[] = {'\\', o ? letters[o - own] : 'u', '0', '0', hex[c >> 4], hex[c & 0xF]};
        Add(QByteArrayView(escaped, o ? 2 : 6));
    }
    Add("\"");
}

QString ReportText(const TValidationReport &Report) { return WriteReport(Report, false); }

QString ReportJson(const TValidationReport &Report) { return WriteReport(Report, true); }

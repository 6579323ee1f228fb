// Site files: what they say becomes host records, what the host stores comes
// back unchanged, and every refusal names its place.

#include "sitefile/SiteFile.h"
#include "SiteSamples.h"

#include <QBuffer>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

QString Refusal(const QByteArray &json) {
    try {
        ReadSiteFile(json);
    } catch (const ESiteFile &e) {
        return e.Message();
    }
    return QStringLiteral("<accepted>");
}

// A site of one profile "A", or of one device, with these members.
QByteArray Profile(const char *members) { return R"({"profiles": [{"name": "A", )" + QByteArray(members) + "}]}"; }
QByteArray Device(const char *members) { return R"({"devices": [{)" + QByteArray(members) + "}]}"; }

// The lines of Describe that differ from the empty record's.
template <class R>
QStringList NonEmpty(const R &record) {
    const QStringList empty = Describe(R{});
    QStringList lines = Describe(record);
    lines.removeIf([&](const QString &line) { return empty.contains(line); });
    return lines;
}

void ExpectSameSite(const TSite &a, const TSite &b) {
    EXPECT_EQ(a.System, b.System);
    ASSERT_EQ(a.Profiles.size(), b.Profiles.size());
    for (std::size_t i = 0; i < a.Profiles.size(); ++i)
        EXPECT_EQ(Describe(a.Profiles[i]), Describe(b.Profiles[i]));
    ASSERT_EQ(a.Devices.size(), b.Devices.size());
    for (std::size_t i = 0; i < a.Devices.size(); ++i)
        EXPECT_EQ(Describe(a.Devices[i]), Describe(b.Devices[i]));
}

TEST(SiteFile, ReadsASite) {
    const TSite site = ReadSiteFile(R"({
        "system":   { "sipAddress": "10.0.0.5", "sipPort": 5060, "domain": "pbx.example.com",
                      "editRights": true, "redundant": false, "proposedFailoverNode": -1,
                      "currentNode": -1, "nodeAddresses": { "2": "10.0.0.6" } },
        "profiles": [ { "name": "Sales", "fields": { "IsDefault": false, "SupportsPage": true, "DisplayType": "devdtDigitsOnly" },
                        "settings": { "IPSettings/SubnetMask": 4294967040, "General/InterdigitTO": 2200, "IPComm/DHCP": false,
                                      "IPSettings/DNS": "10.0.0.2" },
                        "options": { "POT_SilenceSuppression": 1 } },
                      { "name": "Lab", "customData": "not a tree {" } ],
        "devices":  [ { "profile": "Lab",
                        "fields": { "UniqueID": "0001E1000001", "MacAddress": "00-01-e1-00-00-01",
                                    "AssignedIP": "10.0.0.20", "ProxyPassword": "secret" } },
                      { "profile": null, "fields": { "Greeting": "\u263A" } } ] })");
    EXPECT_EQ(site.System, (TSystemValues{0x0A000005, 5060, QStringLiteral("pbx.example.com"), true, false, -1, -1,
                                          {{2, QStringLiteral("10.0.0.6")}}}));
    // Absent values take the host's empty ones; settings are written in schema order, each of its path's kind.
    ASSERT_EQ(site.Profiles.size(), 2u);
    EXPECT_EQ(NonEmpty(site.Profiles[0]),
              (QStringList{"ProfileID=1", "DisplayType=devdtDigitsOnly", "SupportsPage=true", "Name=Sales",
                           "CustomData=General{InterdigitTO=2200} IPComm{DHCP=false} "
                           "IPSettings{SubnetMask=4294967040u DNS=\"10.0.0.2\"}",
                           "Option 6=1"}));
    EXPECT_EQ(NonEmpty(site.Profiles[1]), (QStringList{"ProfileID=2", "Name=Lab", "CustomData=not a tree {"}));
    ASSERT_EQ(site.Devices.size(), 2u);
    EXPECT_EQ(NonEmpty(site.Devices[0]), (QStringList{"DeviceID=1", "ProfileID=2", "UniqueID=0001E1000001",
                                                      "ProxyPassword=secret", "AssignedIP=10.0.0.20",
                                                      "MacAddress=00-01-E1-00-00-01"}));
    EXPECT_EQ(NonEmpty(site.Devices[1]), (QStringList{"DeviceID=2", QStringLiteral("Greeting=\u263A")}));
    ExpectSameSite(ReadSiteFile("{}"), TSite{});
    ExpectSameSite(ReadSiteFile(WriteSiteFile(TSite{})), TSite{});
}

TEST(SiteFile, WritesEveryValueSoThatItReadsBackTheSame) {
    TSite site{.System = {0xC0A80105, 5080, QStringLiteral("pbx.example.com"), false, true, 3, 2,
                          {{2, QStringLiteral("10.0.0.6")}, {3, QStringLiteral("10.0.0.7")}}},
               .Profiles = {SampleProfile(4, QStringLiteral("Sales")), SampleProfile(2, QStringLiteral("\xC9quipe"))},
               .Devices = {SampleDevice(7, 4, QStringLiteral("A7")), SampleDevice(3, 0, QStringLiteral("A3")),
                           TDeviceRecord{}}};
    site.Devices[2].DeviceID = 1;
    site.Profiles[1].CustomData.clear();
    site.Profiles[1].Options.len = 0;
    const QByteArray json = WriteSiteFile(site);
    ExpectSameSite(ReadSiteFile(json), site);
    EXPECT_EQ(WriteSiteFile(ReadSiteFile(json)), json);

    // Every field is written, even at its empty value.
    const QJsonObject empty =
        QJsonDocument::fromJson(json).object()[QLatin1String("devices")][2][QLatin1String("fields")].toObject();
    EXPECT_EQ(empty.size(), qsizetype(DeviceFields().size()) - 1); // the profile is given apart
    EXPECT_EQ(empty[QLatin1String("MacAddress")].toString(), "00-00-00-00-00-00");
    EXPECT_EQ(empty[QLatin1String("Protocol")].toString(), "ptNotSet");
    EXPECT_EQ(empty[QLatin1String("AssignedIP")].toString(), "");
}

TEST(SiteFile, CustomDataIsWrittenAsSettingsOnlyWhenThatIsExact) {
    struct {
        const char *Text;
        const char *Member; // none for no custom data
    } cases[] = {
        {"", nullptr},
        {"General{InterdigitTO=2200 Regional{Country=\"USA\" Timezone=-480}} IPSettings{SubnetMask=4294967040u}",
         "settings"},
        {"VLAN{VLANtag=-5} IPComm{DHCP=true}", "settings"},
        {"IPComm{DHCP=true} VLAN{VLANtag=-5}", "customData"},     // not in schema order
        {"General{InterdigitTO=2200u}", "customData"},           // an unsigned where the schema has an integer
        {"General{InterdigitTO=\"2200\"}", "customData"},        // a text where the schema has an integer
        {"General{ InterdigitTO=2200 }", "customData"},          // not the canonical form
        {"General{InterdigitTO=2200 Colour=3}", "customData"},   // a node outside the schema
        {"General=1{InterdigitTO=2200}", "customData"},          // a value on a section
        {"General[InterdigitTO=2200]", "customData"},            // an array
        {"General{", "customData"},                              // not a tree at all
    };
    for (const auto &c : cases) {
        TSite site{{}, {SampleProfile(1, QStringLiteral("Sales"))}, {}};
        site.Profiles[0].CustomData = QLatin1String(c.Text);
        const QByteArray json = WriteSiteFile(site);
        const QJsonObject profile = QJsonDocument::fromJson(json).object()[QLatin1String("profiles")][0].toObject();
        for (const char *member : {"settings", "customData"})
            EXPECT_EQ(profile.contains(QLatin1String(member)), c.Member && qstrcmp(c.Member, member) == 0) << c.Text;
        EXPECT_EQ(ReadSiteFile(json).Profiles.at(0).CustomData, QLatin1String(c.Text));
    }
}

TEST(SiteFile, IDsAreKeptWhenGivenAndTakenInFileOrderOtherwise) {
    const TSite site = ReadSiteFile(R"({"profiles": [{"name": "A"}, {"name": "B", "fields": {"ProfileID": 1}},
                                                     {"name": "C"}, {"name": "D", "fields": {"ProfileID": 3}}],
                                        "devices": [{"profile": "B"}, {"profile": "A", "fields": {"DeviceID": 1}},
                                                    {"fields": {"DeviceID": 2}}]})");
    QList<int64_t> ids;
    for (const TProfileRecord &p : site.Profiles)
        ids << p.ProfileID;
    for (const TDeviceRecord &d : site.Devices)
        ids << d.DeviceID << d.ProfileID;
    EXPECT_EQ(ids, (QList<int64_t>{2, 1, 4, 3, /* devices with their profiles */ 3, 1, 1, 2, 2, 0}));
}

TEST(SiteFile, RefusalsNameThePlace) {
    const QByteArray name32(32, 'n');
    const std::pair<QByteArray, QString> cases[] = {
        {"[]", "expected an object at the top level"},
        {R"({"sites": []})", "sites: unknown field"},
        {R"({"profiles": {}})", "profiles: expected an array"},
        {R"({"system": {"sipAddress": "fe80::1"}})", "system.sipAddress: not an IPv4 address like 10.0.0.5"},
        // What the classic conversion reads as some address is no address here.
        {R"({"system": {"sipAddress": "0 1..00.5"}})", "system.sipAddress: not an IPv4 address like 10.0.0.5"},
        {R"({"system": {"sipAddress": "10.0.0.5 junk"}})", "system.sipAddress: not an IPv4 address like 10.0.0.5"},
        {R"({"system": {"sipAddress": "010.0.0.5"}})", "system.sipAddress: not an IPv4 address like 10.0.0.5"},
        {R"({"system": {"sipPort": "5060"}})", "system.sipPort: expected an integer"},
        {R"({"system": {"sipPort": 5060.5}})", "system.sipPort: expected an integer"},
        {R"({"system": {"sipPort": -5060}})", "system.sipPort: out of range 1..65535"},
        {R"({"system": {"sipPort": 70000}})", "system.sipPort: out of range 1..65535"},
        {R"({"system": {}, "system": {}})", "system: given twice"},
        {R"({"system": {"currentNode": 2147483648}})", "system.currentNode: out of range -2147483648..2147483647"},
        {R"({"system": {"redundant": 1}})", "system.redundant: expected a Boolean"},
        {R"({"system": {"domain": "pbx.\u263A.com"}})", "system.domain: holds a character outside Windows-1252"},
        {R"({"system": {"nodeAddresses": {"two": "10.0.0.6"}}})", "system.nodeAddresses.two: not a node number"},
        {R"({"system": {"port": 1}})", "system.port: unknown field"},
        {R"({"profiles": [{"fields": {}}]})", "profiles[0].name: missing"},
        {R"({"profiles": [{"name": ""}]})", "profiles[0].name: empty"},
        {R"({"profiles": [7]})", "profiles[0]: expected an object"},
        {R"({"profiles": [{"name": "A"}, {"name": "A"}]})", "profiles[1].name: profile \"A\" is given twice"},
        {R"({"profiles": [{"name": ")" + name32 + R"("}]})", "profiles[0].name: longer than 31 characters"},
        {Profile(R"("colour": 1)"), "profiles[0].colour: unknown field"},
        {Profile(R"("fields": {"Colour": 1})"), "profiles[0].fields.Colour: unknown field"},
        {Profile(R"("fields": {"Name": "B"})"), "profiles[0].fields.Name: unknown field (the profile's name is \"name\")"},
        {Profile(R"("fields": {"Codecs": 1.5})"), "profiles[0].fields.Codecs: expected an integer"},
        {Profile(R"("fields": {"Codecs": 4294967296})"), "profiles[0].fields.Codecs: out of range for a 32-bit integer"},
        {Profile(R"("fields": {"IsDefault": "yes"})"), "profiles[0].fields.IsDefault: expected a Boolean"},
        {Profile(R"("fields": {"DisplayType": "big"})"),
         "profiles[0].fields.DisplayType: expected one of devdtNone, devdtDigitsOnly, devdtAlphanum"},
        {Profile(R"("fields": {"ProfileID": 0})"), "profiles[0].fields.ProfileID: out of range 1..9223372036854775807"},
        {R"({"profiles": [{"name": "A", "fields": {"ProfileID": 2}}, {"name": "B", "fields": {"ProfileID": 2}}]})",
         "profiles[1].fields.ProfileID: ProfileID 2 is given twice"},
        {Profile(R"("settings": {"General/Colour": 1})"), "profiles[0].settings.General/Colour: unknown path"},
        {Profile(R"("settings": {"IPComm/DHCP": 1})"), "profiles[0].settings.IPComm/DHCP: expected a Boolean"},
        {Profile(R"("settings": {"General/InterdigitTO": "2200"})"),
         "profiles[0].settings.General/InterdigitTO: expected an integer"},
        {Profile(R"("settings": {"IPSettings/SubnetMask": -1})"),
         "profiles[0].settings.IPSettings/SubnetMask: out of range 0..4294967295"},
        {Profile(R"("settings": {"IPSettings/NTP": "ntp.\u263A"})"),
         "profiles[0].settings.IPSettings/NTP: holds a character outside Windows-1252"},
        {Profile(R"("settings": {}, "customData": "")"), "profiles[0].customData: give either settings or customData"},
        {Profile(R"("customData": 5)"), "profiles[0].customData: expected a string"},
        {Profile(R"("options": {"POT_Colour": 1})"), "profiles[0].options.POT_Colour: unknown option"},
        {Profile(R"("options": {"POT_Invalid": 1})"), "profiles[0].options.POT_Invalid: unknown option"},
        {Profile(R"("options": {"POT_AutoAnswerType": true})"),
         "profiles[0].options.POT_AutoAnswerType: expected an integer"},
        {Device(R"("profile": "Nope")"), "devices[0].profile: unknown profile \"Nope\""},
        {R"({"profiles": [{"name": "A"}], "devices": [{"profile": "A"}, {"profile": 1}]})", "devices[1].profile: expected a string"},
        {Device(R"("fields": {"ProfileID": 1})"),
         "devices[0].fields.ProfileID: unknown field (the device's profile is \"profile\")"},
        {Device(R"("fields": {"MacAddress": "00:01:E1:00:00:01"})"),
         "devices[0].fields.MacAddress: not a MAC address like 00-01-E1-00-00-01"},
        {Device(R"("fields": {"MacAddress": "00-01-E1-00-00-0g"})"),
         "devices[0].fields.MacAddress: not a MAC address like 00-01-E1-00-00-01"},
        {Device(R"("fields": {"AssignedIP": "10.0.0.300"})"), "devices[0].fields.AssignedIP: not an IP address"},
        {Device(R"("fields": {"AssignedIP": "10.0.0.0/24"})"), "devices[0].fields.AssignedIP: not an IP address"},
        {Device(R"("fields": {"DHCP_SRV_End_IP": " fe80::1"})"), "devices[0].fields.DHCP_SRV_End_IP: not an IP address"},
        {Device(R"("fields": {"Greeting": "Hi \ud83d"})"),
         "devices[0].fields.Greeting: holds a lone surrogate (half of a UTF-16 pair)"},
        {Device(R"("fields": {"Greeting": "\udc00 there"})"),
         "devices[0].fields.Greeting: holds a lone surrogate (half of a UTF-16 pair)"},
        {Device(R"("fields": {"Greeting": "\ud83d\u0041"})"),
         "devices[0].fields.Greeting: holds a lone surrogate (half of a UTF-16 pair)"},
        {Device(R"("fields": {"UniqueID": "A", "UniqueID": "B"})"), "devices[0].fields.UniqueID: given twice"},
        {Device(R"("fields": {"Protocol": "SIP"})"),
         "devices[0].fields.Protocol: expected one of ptNotSet, ptAnalog, ptSIP, ptClientUI, ptDebug"},
        {Device(R"("fields": {"UniqueID": "0001E1000001\u0000"})"), "devices[0].fields.UniqueID: contains a NUL character"},
        {Device(R"("settings": {"General/InterdigitTO": 2200})"), "devices[0].settings.General/InterdigitTO: unknown path"},
        {R"({"devices": [{}, {"fields": {"DeviceID": 1}}, {"fields": {"DeviceID": 1}}]})",
         "devices[2].fields.DeviceID: DeviceID 1 is given twice"},
        {Device(R"("fields": [1])"), "devices[0].fields: expected an object"},
        {Device(R"("fields": {"Greeting": "hi", "UniqueID": 5})"), "devices[0].fields.UniqueID: expected a string"},
    };
    for (const auto &[json, message] : cases)
        EXPECT_EQ(Refusal(json), message) << json.constData();
}

TEST(SiteFile, TextThatIsNotJsonIsRefusedAtItsLineAndColumn) {
    const std::pair<QByteArray, QString> cases[] = {
        {"{\n  \"profiles\": [\n    {\"name\": \"A\",}\n  ]\n}", "line 3, column 18: expected a key in double quotes"},
        {"", "line 1, column 1: unexpected end of text"},
        {"{\"profiles\": [", "line 1, column 15: unexpected end of text"},
        {"{\"system\": [1,]}", "line 1, column 15: expected a value"},
        {"{\"system\": {}} {}", "line 1, column 16: text after the end of the document"},
        {"{\"system\": {\"domain\": \"a\tb\"}}", "line 1, column 25: control character in a string"},
        {"{\"system\": {\"domain\": \"a\\qb\"}}", "line 1, column 25: invalid escape sequence"},
        {"{\"system\": {\"domain\": \"a\\u12\"}}", "line 1, column 29: invalid escape sequence"},
        {"{\"system\": {\"domain\": \"caf\xC3\"}}", "line 1, column 23: invalid UTF-8 in a string"},
        {"{\"system\": {\"domain\": \"\xED\xA0\x80\"}}", "line 1, column 23: invalid UTF-8 in a string"},
        {"{\"system\": {\"sipPort\": 05060}}", "line 1, column 25: expected \",\" or \"}\""},
        {"{\"system\": {\"sipPort\": -}}", "line 1, column 25: malformed number"},
        {"{\"system\": tru}", "line 1, column 15: expected a value"},
        {"{\"devices\": " + QByteArray(100, '[') + QByteArray(100, ']') + "}", "line 1, column 76: nested too deeply"},
    };
    for (const auto &[json, message] : cases) {
        const QString refusal = Refusal(json);
        const qsizetype colon = message.indexOf(QLatin1String(": "));
        EXPECT_EQ(refusal, message.left(colon) + QStringLiteral(": not valid JSON") + message.mid(colon))
            << json.constData();
    }
    // A byte order mark is no part of the text.
    EXPECT_EQ(ReadSiteFile("\xEF\xBB\xBF{\"system\": {\"sipPort\": 5060}}").System.SIPPort, 5060);
    EXPECT_EQ(Refusal("\xEF\xBB\xBF\n {"), "line 2, column 3: not valid JSON: unexpected end of text");
}

// The records as a sink receives them, with how far the file was read by then.
struct TRecordingSink : TSiteSink {
    explicit TRecordingSink(const QIODevice &file) : File(file) {}
    void System(const TSystemValues &v) override { Calls << QStringLiteral("system %1").arg(v.SIPPort.value_or(0)); }
    void Profile(const TProfileRecord &p) override {
        Calls << QStringLiteral("profile %1 %2").arg(p.ProfileID).arg(p.Name);
    }
    bool Device(const TDeviceRecord &d) override {
        Calls << QStringLiteral("device %1 %2 of %3").arg(d.DeviceID).arg(d.UniqueID).arg(d.ProfileID);
        if (FirstDeviceAt < 0)
            FirstDeviceAt = File.pos();
        return true;
    }
    void NumberDevices() override { Calls << QStringLiteral("number"); }
    const QIODevice &File;
    QStringList Calls;
    qint64 FirstDeviceAt = -1;
};

QStringList Calls(const QByteArray &json) {
    QBuffer buffer;
    buffer.setData(json);
    buffer.open(QIODevice::ReadOnly);
    TRecordingSink sink(buffer);
    ReadSiteFile(buffer, sink);
    return sink.Calls;
}

TEST(SiteFile, RecordsArePassedOnInFileOrderOnceTheyAreComplete) {
    // Devices wait for the profiles they name, profiles without an ID for the
    // end of their array; devices without one are the sink's to number at the
    // end; the system values go on when read.
    EXPECT_EQ(Calls(R"({"devices": [{"fields": {"DeviceID": 5, "UniqueID": "a"}}, {"fields": {"UniqueID": "d"}},
                                     {"profile": "P", "fields": {"UniqueID": "b"}},
                                     {"fields": {"DeviceID": 1, "UniqueID": "c"}}],
                        "system": {"sipPort": 5060},
                        "profiles": [{"name": "Q", "fields": {"ProfileID": 1}}, {"name": "P"}]})"),
              (QStringList{"device 5 a of 0", "device 0 d of 0", "system 5060", "profile 1 Q", "profile 2 P",
                           "device 0 b of 2", "device 1 c of 0", "number"}));
    // The system values are passed on once even when the file has none.
    EXPECT_EQ(Calls(R"({"profiles": [{"name": "P"}]})"), (QStringList{"profile 1 P", "system 0", "number"}));

    // A file as export writes it is passed on while it is read, however large.
    TSite site{{}, {SampleProfile(1, QStringLiteral("P"))}, {}};
    for (int64_t id = 1; id <= 2000; ++id)
        site.Devices.push_back(SampleDevice(id, 1, QStringLiteral("D%1").arg(id)));
    QBuffer buffer;
    buffer.setData(WriteSiteFile(site));
    buffer.open(QIODevice::ReadOnly);
    TRecordingSink sink(buffer);
    ReadSiteFile(buffer, sink);
    EXPECT_EQ(sink.Calls.size(), 2003);
    EXPECT_LT(sink.FirstDeviceAt, buffer.size() / 4);
}

} // namespace

// Validating a site through a module: which module operations the host calls
// and in what order, how findings and failures become report lines, and the
// duplicates only the host can see. The module here judges objects by their
// names, so each case says what it expects.

#include "FakeDeviceModule.h"
#include "plugin/HostObjects.h"
#include "SiteSamples.h"
#include "validation/SiteValidation.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Names beginning "warn" draw a warning, "bad" an error, "boom" an exception;
// the operations validation has no use for are the fake module's.
class TJudgingModule : public TFakeDeviceModule {
public:
    QStringList Calls;
    int Handed = 0;   // message references handed out
    int Returned = 0; // and given back through FreeStr
    int LivePrepared = 0;

    using TInterfacedObject::FreeStr;
    void FreeStr(PAnsiStringRef &s) override {
        ++Returned;
        ReleaseStringRef(s);
    }

    TConflictLevel ValidateProfile(IDeviceProfile *Profile, IDevicePluginServant *Servant, PAnsiStringRef &Message) override {
        EXPECT_NE(Servant, nullptr);
        Calls << "profile " + Profile->getName().Text();
        return Judge(Profile->getName().Text(), Message);
    }
    // A handle is the profile's position in FPrepared, counted from 1.
    TProfileHandle ValidateDevice_PrepareProfile(IDeviceProfile *Profile, IDevicePluginServant *) override {
        const QString name = Profile->getName().Text();
        Calls << "prepare " + name;
        if (name.startsWith("unready"))
            throw Exception("Cannot prepare");
        ++LivePrepared;
        FPrepared << name;
        return FPrepared.size();
    }
    void ValidateDevice_FreePreparedProfile(TProfileHandle ProfileHandle) override {
        Calls << "free " + FPrepared.at(ProfileHandle - 1);
        --LivePrepared;
    }
    TConflictLevel ValidateDevice(IDevice *Device, TProfileHandle ProfileHandle, IDevicePluginServant *,
                                  PAnsiStringRef &Message) override {
        Calls << QStringLiteral("device %1 of %2").arg(Device->getUniqueID().Text(), FPrepared.at(ProfileHandle - 1));
        return Judge(Device->getUniqueID().Text(), Message);
    }
    TConflictLevel ValidateDevice(IDevice *Device, IDeviceProfile *Profile, IDevicePluginServant *,
                                  PAnsiStringRef &Message) override {
        EXPECT_EQ(Profile, nullptr);
        Calls << "device " + Device->getUniqueID().Text() + " alone";
        return Judge(Device->getUniqueID().Text(), Message);
    }

private:
    TConflictLevel Judge(const QString &name, PAnsiStringRef &message) {
        if (name.startsWith("boom"))
            throw Exception("Exploded on " + name);
        ++Handed;
        const TConflictLevel level = name.startsWith("bad") ? clvError : name.startsWith("warn") ? clvWarning : clvNone;
        // An empty message is still handed over.
        message = NewAnsiStringRef(level == clvNone ? QString() : (level == clvError ? "Invalid " : "Odd ") + name);
        return level;
    }
    QStringList FPrepared;
};

class SiteValidationTest : public ::testing::Test {
protected:
    void SetUp() override { FDb = std::make_unique<TConfigDatabase>(FDir.filePath("site.db")); }

    // A device's MAC address ends in its database ID unless given.
    struct TDeviceRow {
        int64_t ID, Profile;
        const char *UniqueID, *MAC = nullptr;
    };
    void Site(std::initializer_list<std::pair<int64_t, const char *>> profiles,
              std::initializer_list<TDeviceRow> devices) {
        for (const auto &[id, name] : profiles)
            FDb->SaveProfile(SampleProfile(id, name));
        for (const TDeviceRow &row : devices) {
            TDeviceRecord d = SampleDevice(row.ID, row.Profile, row.UniqueID);
            if (row.MAC)
                d.MacAddress = *ParseMACText(row.MAC);
            FDb->SaveDevice(d);
        }
    }
    TValidationReport Validate() {
        TValidationReport report = ValidateSite(*FDb, FModule);
        EXPECT_EQ(FModule.Handed, FModule.Returned);
        EXPECT_EQ(FModule.LivePrepared, 0);
        return report;
    }

    QTemporaryDir FDir;
    std::unique_ptr<TConfigDatabase> FDb;
    TJudgingModule FModule;
};

TEST_F(SiteValidationTest, EachProfilePreparedOnceForAllItsDevices) {
    Site({{2, "Sales"}, {1, "warn Lab"}, {3, "Empty"}},
         {{5, 2, "S5"}, {1, 0, "loose"}, {4, 1, "L4"}, {2, 2, "bad S2"}, {3, 1, "warn L3"}});
    const TValidationReport report = Validate();
    EXPECT_EQ(FModule.Calls, (QStringList{"profile warn Lab", "profile Sales", "profile Empty", "prepare warn Lab",
                                          "device warn L3 of warn Lab", "device L4 of warn Lab", "free warn Lab",
                                          "prepare Sales", "device bad S2 of Sales", "device S5 of Sales",
                                          "free Sales", "device loose alone"}));
    EXPECT_EQ(ReportText(report), "profile \"warn Lab\": warning: Odd warn Lab\n"
                                  "profile \"Sales\": ok\n"
                                  "profile \"Empty\": ok\n"
                                  "device \"warn L3\": warning: Odd warn L3\n"
                                  "device \"L4\": ok\n"
                                  "device \"bad S2\": error: Invalid bad S2\n"
                                  "device \"S5\": ok\n"
                                  "device \"loose\": ok\n"
                                  "3 profiles and 5 devices checked: 1 error, 2 warnings\n");
    EXPECT_TRUE(report.HasErrors());
}

TEST_F(SiteValidationTest, JsonReportKeepsItsKeyOrderEscapesAndNullProfiles) {
    Site({{1, "Sales \"East\"\\\b\f\n\r\t\x01\u00e9"}}, {{1, 1, "warn A1"}, {2, 0, "B2"}});
    const TValidationReport report = Validate();
    EXPECT_FALSE(report.HasErrors());
    const QString json = ReportJson(report);
    const char *name = "\"Sales \\\"East\\\"\\\\\\b\\f\\n\\r\\t\\u0001\u00e9\"";
    EXPECT_EQ(json, "{\"profiles\":[{\"name\":" + QString(name) + ",\"level\":\"none\",\"message\":\"\"}],"
                    "\"devices\":[{\"id\":\"warn A1\",\"profile\":" + name + ",\"level\":\"warning\","
                    "\"message\":\"Odd warn A1\"},"
                    "{\"id\":\"B2\",\"profile\":null,\"level\":\"none\",\"message\":\"\"}]}\n");
}

TEST_F(SiteValidationTest, WhatTheModuleRaisesIsThatObjectsError) {
    Site({{1, "boom P"}, {2, "unready"}, {3, "Sales"}}, {{1, 2, "U1"}, {2, 2, "U2"}, {3, 3, "boom D"}, {4, 3, "D4"}});
    const TValidationReport report = Validate();
    EXPECT_EQ(ReportText(report), "profile \"boom P\": error: Exploded on boom P\n"
                                  "profile \"unready\": ok\n"
                                  "profile \"Sales\": ok\n"
                                  "device \"U1\": error: the profile could not be prepared: Cannot prepare\n"
                                  "device \"U2\": error: the profile could not be prepared: Cannot prepare\n"
                                  "device \"boom D\": error: Exploded on boom D\n"
                                  "device \"D4\": ok\n"
                                  "3 profiles and 4 devices checked: 4 errors, 0 warnings\n");
    // The profile that could not be prepared is not freed; the others are.
    EXPECT_FALSE(FModule.Calls.contains("free unready"));
    EXPECT_TRUE(FModule.Calls.contains("free Sales"));
}

TEST_F(SiteValidationTest, SharedDeviceIDsAndMACsNameTheOtherDevices) {
    Site({{1, "Sales"}}, {{1, 1, "A1", "00-01-E1-00-00-01"}, {2, 1, "A2", "00-01-E1-00-00-01"},
                          {3, 1, "A1", "00-01-E1-00-00-03"}, {4, 0, "A1", "00-01-E1-00-00-04"},
                          // The empty MAC address is shared by no one.
                          {5, 1, "warn W", "00-00-00-00-00-00"}, {6, 1, "bad X", "00-00-00-00-00-00"},
                          {7, 1, "bad Y", "00-01-E1-00-00-07"}, {8, 1, "warn Z", "00-01-E1-00-00-07"}});
    const TValidationReport report = Validate();
    EXPECT_EQ(ReportText(report),
              "profile \"Sales\": ok\n"
              "device \"A1\": error: Device ID \"A1\" is also used by device 3 (MAC 00-01-E1-00-00-03), device 4 "
              "(MAC 00-01-E1-00-00-04); MAC address 00-01-E1-00-00-01 is also used by device \"A2\"\n"
              "device \"A2\": error: MAC address 00-01-E1-00-00-01 is also used by device \"A1\"\n"
              "device \"A1\": error: Device ID \"A1\" is also used by device 1 (MAC 00-01-E1-00-00-01), device 4 "
              "(MAC 00-01-E1-00-00-04)\n"
              "device \"warn W\": warning: Odd warn W\n"
              "device \"bad X\": error: Invalid bad X\n"
              "device \"bad Y\": error: Invalid bad Y; MAC address 00-01-E1-00-00-07 is also used by device \"warn Z\"\n"
              "device \"warn Z\": error: MAC address 00-01-E1-00-00-07 is also used by device \"bad Y\"\n"
              "device \"A1\": error: Device ID \"A1\" is also used by device 1 (MAC 00-01-E1-00-00-01), device 3 "
              "(MAC 00-01-E1-00-00-03)\n"
              "1 profile and 8 devices checked: 7 errors, 1 warning\n");
    // Only the devices that share a MAC address are read for it.
    QList<int64_t> sharing;
    for (const TDeviceRecord &d : FDb->DevicesSharing("MacAddress", MACToText(EmptyMACAddress)))
        sharing << d.DeviceID;
    EXPECT_EQ(sharing, QList<int64_t>({1, 2, 7, 8}));
}

TEST_F(SiteValidationTest, AnEmptySiteHasNothingToReport) {
    const TValidationReport report = Validate();
    EXPECT_FALSE(report.HasErrors());
    EXPECT_TRUE(FModule.Calls.isEmpty());
    EXPECT_EQ(ReportText(report), "0 profiles and 0 devices checked: 0 errors, 0 warnings\n");
    EXPECT_EQ(ReportJson(report), "{\"profiles\":[],\"devices\":[]}\n");
}

// A report longer than the pieces it is written in comes whole, in order.
TEST(ReportWriter, ALongReportComesWholeInOrder) {
    TValidationReport report;
    for (int i = 0; i < 5000; ++i)
        report.Devices.push_back({QStringLiteral("d%1").arg(i), std::nullopt, clvNone, {}, i});
    const QStringList lines = ReportText(report).split('\n');
    ASSERT_EQ(lines.size(), 5002);
    EXPECT_EQ(lines[4321], "device \"d4321\": ok");
    EXPECT_EQ(lines[5000], "0 profiles and 5000 devices checked: 0 errors, 0 warnings");
}

} // namespace

// Validating a site through a module: which module operations the host calls
// and in what order, how findings and failures become report lines, and the
// duplicates only the host can see. The module here judges objects by their
// names, so each case says what it expects.

#include "HostObjects.h"
#include "SiteSamples.h"
#include "SiteValidation.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Names beginning "warn" draw a warning, "bad" an error, "boom" an exception.
class TJudgingModule final : public TInterfacedObject<IDevicePluginModule> {
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
        const QString name = Profile->getName().Text();
        Calls << QStringLiteral("profile ") + name;
        return Judge(name, Message);
    }
    TProfileHandle ValidateDevice_PrepareProfile(IDeviceProfile *Profile, IDevicePluginServant *) override {
        const QString name = Profile->getName().Text();
        Calls << QStringLiteral("prepare ") + name;
        if (name.startsWith(QLatin1String("unready")))
            throw Exception(QStringLiteral("Cannot prepare"));
        ++LivePrepared;
        FPrepared.push_back(std::make_unique<QString>(name));
        return reinterpret_cast<TProfileHandle>(FPrepared.back().get());
    }
    void ValidateDevice_FreePreparedProfile(TProfileHandle ProfileHandle) override {
        Calls << QStringLiteral("free ") + *reinterpret_cast<QString *>(ProfileHandle);
        --LivePrepared;
    }
    TConflictLevel ValidateDevice(IDevice *Device, TProfileHandle ProfileHandle, IDevicePluginServant *,
                                  PAnsiStringRef &Message) override {
        const QString id = Device->getUniqueID().Text();
        Calls << QStringLiteral("device %1 of %2").arg(id, *reinterpret_cast<QString *>(ProfileHandle));
        return Judge(id, Message);
    }
    TConflictLevel ValidateDevice(IDevice *Device, IDeviceProfile *Profile, IDevicePluginServant *,
                                  PAnsiStringRef &Message) override {
        const QString id = Device->getUniqueID().Text();
        Calls << QStringLiteral("device %1 alone").arg(id);
        EXPECT_EQ(Profile, nullptr);
        return Judge(id, Message);
    }

    // Operations validation does not use.
    QWidget *CreateDeviceFrame(IPluginFrameContainer *) override { return Unexpected<QWidget *>(); }
    QWidget *CreateProfileFrame(IPluginFrameContainer *) override { return Unexpected<QWidget *>(); }
    void FreeFrame(QWidget *&) override { Unexpected<int>(); }
    bool UpdateVQConfigInProfile(IDeviceProfile *, IDevicePluginServant *, TVQConfigChangeList *) override {
        return Unexpected<bool>();
    }
    bool IsConfigParameterInUse(IDeviceProfile *, IDevicePluginServant *, TVQConfigParameter, const char *,
                                uint32_t) override {
        return Unexpected<bool>();
    }
    bool UpdateDefaultProfile(IDeviceProfile *, IDevicePluginServant *) override { return Unexpected<bool>(); }
    bool SetScreenName(IDevice *, IDeviceProfile *, IDevicePluginServant *, const char16_t *) override {
        return Unexpected<bool>();
    }
    void UpdateProfileConfigFiles(IDeviceProfile *, IDevicePluginServant *, TConfigFileArray &) override { Unexpected<int>(); }
    void UpdateDeviceConfigFiles(IDevice *, IDeviceProfile *, IDevicePluginServant *, TConfigFileArray &) override {
        Unexpected<int>();
    }
    void GetProfileConfigFileNames(IDeviceProfile *, IDevicePluginServant *, TFileNamesArray &) override { Unexpected<int>(); }
    void GetDeviceConfigFileNames(IDevice *, IDeviceProfile *, IDevicePluginServant *, TFileNamesArray &) override {
        Unexpected<int>();
    }
    TdpNameString getDeviceType() override { return Unexpected<TdpNameString>(); }
    bool getFeature(uint32_t) override { return Unexpected<bool>(); }
    PAnsiStringRef getPedigree() override { return Unexpected<PAnsiStringRef>(); }
    int32_t getSortOrder() override { return Unexpected<int32_t>(); }
    IDevicePlugin *getPlugin() override { return Unexpected<IDevicePlugin *>(); }
    HResult QueryInterface(const TGUID &, void **obj) override {
        *obj = nullptr;
        return E_NOINTERFACE;
    }

private:
    template <class T>
    T Unexpected() {
        ADD_FAILURE() << "validation called a module operation it has no use for";
        return T{};
    }
    TConflictLevel Judge(const QString &name, PAnsiStringRef &message) {
        if (name.startsWith(QLatin1String("boom")))
            throw Exception(QStringLiteral("Exploded on ") + name);
        ++Handed;
        if (name.startsWith(QLatin1String("warn"))) {
            message = NewAnsiStringRef(QStringLiteral("Odd ") + name);
            return clvWarning;
        }
        if (name.startsWith(QLatin1String("bad"))) {
            message = NewAnsiStringRef(QStringLiteral("Invalid ") + name);
            return clvError;
        }
        message = NewAnsiStringRef(QString()); // an empty message is still handed over
        return clvNone;
    }
    std::vector<std::unique_ptr<QString>> FPrepared;
};

class SiteValidationTest : public ::testing::Test {
protected:
    void SetUp() override { FDb = std::make_unique<TConfigDatabase>(FDir.filePath(QStringLiteral("site.db"))); }

    void Profile(int64_t id, const char *name) { FDb->SaveProfile(SampleProfile(id, QLatin1String(name))); }
    void Device(int64_t id, int64_t profile, const char *uniqueID, const char *mac) {
        TDeviceRecord d = SampleDevice(id, profile, QLatin1String(uniqueID));
        d.MacAddress = *ParseMACText(QLatin1String(mac));
        FDb->SaveDevice(d);
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
    Profile(2, "Sales");
    Profile(1, "warn Lab");
    Profile(3, "Empty");
    Device(5, 2, "S5", "00-01-E1-00-00-05");
    Device(1, 0, "loose", "00-01-E1-00-00-01");
    Device(4, 1, "L4", "00-01-E1-00-00-04");
    Device(2, 2, "bad S2", "00-01-E1-00-00-02");
    Device(3, 1, "warn L3", "00-01-E1-00-00-03");
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

TEST_F(SiteValidationTest, JsonReportKeepsItsKeyOrderAndNullProfiles) {
    Profile(1, "Sales \"East\"");
    Device(1, 1, "warn A1", "00-01-E1-00-00-01");
    Device(2, 0, "B2", "00-01-E1-00-00-02");
    const TValidationReport report = Validate();
    EXPECT_FALSE(report.HasErrors());
    const QString json = ReportJson(report);
    EXPECT_EQ(json, "{\"profiles\":[{\"name\":\"Sales \\\"East\\\"\",\"level\":\"none\",\"message\":\"\"}],"
                    "\"devices\":[{\"id\":\"warn A1\",\"profile\":\"Sales \\\"East\\\"\",\"level\":\"warning\","
                    "\"message\":\"Odd warn A1\"},"
                    "{\"id\":\"B2\",\"profile\":null,\"level\":\"none\",\"message\":\"\"}]}\n");
    QJsonParseError error;
    QJsonDocument::fromJson(json.toUtf8(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError);
}

TEST_F(SiteValidationTest, WhatTheModuleRaisesIsThatObjectsError) {
    Profile(1, "boom P");
    Profile(2, "unready");
    Profile(3, "Sales");
    Device(1, 2, "U1", "00-01-E1-00-00-01");
    Device(2, 2, "U2", "00-01-E1-00-00-02");
    Device(3, 3, "boom D", "00-01-E1-00-00-03");
    Device(4, 3, "D4", "00-01-E1-00-00-04");
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
    EXPECT_FALSE(FModule.Calls.contains(QStringLiteral("free unready")));
    EXPECT_TRUE(FModule.Calls.contains(QStringLiteral("free Sales")));
}

TEST_F(SiteValidationTest, SharedDeviceIDsAndMACsNameTheOtherDevices) {
    Profile(1, "Sales");
    Device(1, 1, "A1", "00-01-E1-00-00-01");
    Device(2, 1, "A2", "00-01-E1-00-00-01");
    Device(3, 1, "A1", "00-01-E1-00-00-03");
    Device(4, 0, "A1", "00-01-E1-00-00-04");
    Device(5, 1, "warn W", "00-00-00-00-00-00");
    Device(6, 1, "bad X", "00-00-00-00-00-00"); // the empty MAC is shared by no one
    Device(7, 1, "bad Y", "00-01-E1-00-00-07");
    Device(8, 1, "warn Z", "00-01-E1-00-00-07");
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
}

TEST_F(SiteValidationTest, AnEmptySiteHasNothingToReport) {
    const TValidationReport report = Validate();
    EXPECT_FALSE(report.HasErrors());
    EXPECT_TRUE(FModule.Calls.isEmpty());
    EXPECT_EQ(ReportText(report), "0 profiles and 0 devices checked: 0 errors, 0 warnings\n");
    EXPECT_EQ(ReportJson(report), "{\"profiles\":[],\"devices\":[]}\n");
}

} // namespace

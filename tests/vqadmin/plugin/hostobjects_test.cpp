// The host objects a plug-in works on: counted references, honest interface
// queries, the string hand-off, option lists, servant values, and write-backs
// that reach the database whole or not at all.

#include "DevProfileOption.h"
#include "plugin/HostObjects.h"
#include "SiteSamples.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class HostObjectsTest : public ::testing::Test {
protected:
    void SetUp() override {
        FDb = std::make_unique<TConfigDatabase>(FDir.filePath("site.db"));
        FDb->SaveProfile(SampleProfile(2, "Lab"));
        FDb->SaveProfile(SampleProfile(1, "Sales"));
        FDb->SaveDevice(SampleDevice(1, 1, "A1"));
    }
    TInterfaceRef<THostProfile> Profile(int64_t id) { return new THostProfile(*FDb, *FDb->LoadProfile(id)); }
    TInterfaceRef<THostDevice> Device(int64_t id) { return new THostDevice(*FDb, *FDb->LoadDevice(id)); }

    QTemporaryDir FDir;
    std::unique_ptr<TConfigDatabase> FDb;
};

// Tells when the last reference is gone.
class TProbeProfile : public THostProfile {
public:
    TProbeProfile(TConfigDatabase &db, bool &freed) : THostProfile(db, TProfileRecord{}), FFreed(freed) {}
    ~TProbeProfile() override { FFreed = true; }
    bool &FFreed;
};

TEST_F(HostObjectsTest, CountedFreedAtTheLastReleaseAndAnsweringTheirOwnInterfaceOnly) {
    bool freed = false;
    auto *probe = new TProbeProfile(*FDb, freed);
    EXPECT_EQ(probe->_AddRef(), 1);
    {
        TInterfaceRef<IDeviceProfile> held(probe);
        EXPECT_EQ(probe->_AddRef(), 3);
        EXPECT_EQ(probe->_Release(), 2);
    }
    EXPECT_FALSE(freed);
    EXPECT_EQ(probe->_Release(), 0);
    EXPECT_TRUE(freed);

    const TInterfaceRef<THostProfile> profile = Profile(1);
    const TInterfaceRef<THostDevice> device = Device(1);
    const TInterfaceRef<THostServant> servant(new THostServant(*FDb));
    const TInterfaceRef<THostProfileList> list(new THostProfileList(*FDb));
    IInterface *objects[] = {profile.get(), device.get(), servant.get(), list.get()};
    const TGUID iids[] = {IDeviceProfile::IID, IDevice::IID, IDevicePluginServant::IID, IDeviceProfileList::IID,
                          IPluginFrameContainer::IID};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 5; ++j) {
            void *p = reinterpret_cast<void *>(1);
            EXPECT_EQ(objects[i]->QueryInterface(iids[j], &p), i == j ? S_OK : E_NOINTERFACE) << i << j;
            EXPECT_EQ(p, i == j ? objects[i] : nullptr) << i << j;
            if (i == j) { // the answer carries a reference: one from the holder, one from the query
                EXPECT_EQ(objects[i]->_Release(), 1);
            }
        }
}

TEST_F(HostObjectsTest, TextsAreHandedOffAndGivenBack) {
    const TInterfaceRef<THostProfile> p = Profile(1);
    PAnsiStringRef custom = p->getCustomData();
    ASSERT_NE(custom, nullptr);
    // 8-bit at the boundary: the e acute is one byte.
    EXPECT_EQ(custom->Chars, ToAnsi(SampleProfile(1, {}).CustomData));
    EXPECT_NE(custom->Chars.find("\xE9"), std::string::npos);
    p->FreeStr(custom);
    EXPECT_EQ(custom, nullptr);

    const TInterfaceRef<THostDevice> d = Device(1);
    PUnicodeStringRef greeting = d->getGreeting(); // UTF-16, unlike the other texts
    EXPECT_EQ(TakeUnicodeStringRef(d.get(), greeting), SampleDevice(1, 1, {}).Greeting);
    EXPECT_EQ(greeting, nullptr);
    d->setGreeting(u"Hall\u00F6chen");
    d->Save();
    EXPECT_EQ(FDb->LoadDevice(1)->Greeting, QStringLiteral("Hall\u00F6chen"));
}

TEST_F(HostObjectsTest, WritesStayInTheObjectUntilSaved) {
    const TInterfaceRef<THostProfile> p = Profile(1);
    p->setCodecs(15); // unchanged
    p->setName(TdpNameString::From(AnsiString("Sales")));
    EXPECT_FALSE(p->Modified());
    p->setCodecs(3);
    p->setName(TdpNameString::From(AnsiString("Sales floor")));
    p->setCustomData("IPComm{DHCP=true}");
    EXPECT_TRUE(p->Modified());
    EXPECT_EQ(FDb->LoadProfile(1)->Codecs, 15);
    p->Save();
    EXPECT_FALSE(p->Modified());
    TProfileRecord expected = SampleProfile(1, "Sales floor");
    expected.Codecs = 3;
    expected.CustomData = "IPComm{DHCP=true}";
    EXPECT_EQ(Describe(*FDb->LoadProfile(1)), Describe(expected));
}

TEST_F(HostObjectsTest, ARefusedSaveStoresNothing) {
    const QString before = DumpDatabase(FDb->Path());
    const TInterfaceRef<THostProfile> p = Profile(2);
    p->setProfileID(7);
    p->setCodecs(1);
    EXPECT_TRUE(Failure([&] { p->Save(); }).endsWith("profile 2: the profile ID cannot change"));
    const TInterfaceRef<THostDevice> d = Device(1);
    d->setDeviceID(7);
    d->setAssignedPort(1);
    EXPECT_TRUE(Failure([&] { d->Save(); }).endsWith("device 1: the device's database ID cannot change"));
    // A device moves only to a profile that exists; the refused changes stay for the next try.
    const TInterfaceRef<THostDevice> e = Device(1);
    e->setProfileID(9);
    e->setUniqueID(TdpNameString::From(AnsiString("A9")));
    EXPECT_TRUE(Failure([&] { e->Save(); }).contains("FOREIGN KEY"));
    EXPECT_EQ(DumpDatabase(FDb->Path()), before);
    e->setProfileID(2);
    e->Save();
    EXPECT_EQ(FDb->LoadDevice(1)->ProfileID, 2);
    EXPECT_EQ(FDb->LoadDevice(1)->UniqueID, "A9");
}

TEST_F(HostObjectsTest, OptionsTravelThroughTheHostRecord) {
    const TInterfaceRef<THostProfile> p = Profile(1);
    TDPOptionList options;
    p->FillOptions(options);
    ASSERT_EQ(options.Count(), 2);
    EXPECT_EQ(options.FindByTag(POT_AutoAnswerType)->Value, 2);
    EXPECT_EQ(options.FindByTag(POT_SilenceSuppression)->Value, -1);
    p->setOptions(options);
    EXPECT_FALSE(p->Modified());
    options.FindByTag(POT_SilenceSuppression)->Value = 1;
    options.AddOption(POT_displayToFrom, 0);
    p->setOptions(options);
    EXPECT_TRUE(p->Modified());
    p->Save();
    TDPOptionList stored;
    Profile(1)->FillOptions(stored);
    EXPECT_TRUE(stored.Equals(options));
}

TEST_F(HostObjectsTest, ProfileListLendsItsProfilesInOrder) {
    const TInterfaceRef<THostProfileList> list(new THostProfileList(*FDb));
    ASSERT_EQ(list->getCount(), 2);
    EXPECT_EQ(list->getItem(0)->getName().Ansi(), "Sales");
    EXPECT_EQ(list->getItem(1)->getName().Ansi(), "Lab");
    EXPECT_EQ(list->getItem(2), nullptr);
    EXPECT_EQ(list->getItem(-1), nullptr);
    // Lent, not given: the list's own reference is the only one.
    EXPECT_EQ(list->getItem(0)->_AddRef(), 2);
    EXPECT_EQ(list->getItem(0)->_Release(), 1);
}

class ServantTest : public HostObjectsTest {
protected:
    // The value answered, texts taken back through FreeStr; none when not answered.
    std::optional<QVariant> Ask(int32_t id, uintptr_t param = 0) {
        const TInterfaceRef<THostServant> servant(new THostServant(*FDb));
        uintptr_t value = 0xDEADBEEF;
        if (!servant->GetValue(id, param, value)) {
            EXPECT_EQ(value, 0xDEADBEEFu) << id;
            return std::nullopt;
        }
        if (id != svDomainName && id != svNodeSIPAddress)
            return qlonglong(int32_t(value));
        auto ref = reinterpret_cast<PAnsiStringRef>(value);
        return TakeAnsiStringRef(servant.get(), ref);
    }
};

TEST_F(ServantTest, AnswersTheSystemValuesGivenAndNoOthers) {
    const int32_t unanswered[] = {svSIPAddress, svSIPPort, svDomainName, svEditRights, svNodeSIPAddress,
                                  svProposedFailoverNode, svCurrentNode, svRedundant, 2, 3, 18, 25, -1};
    FDb->SaveSystem({}); // stored, values not given stay absent
    for (int32_t id : unanswered)
        EXPECT_FALSE(Ask(id)) << id;
    TSystemValues v{0x0A000005, 5060, QStringLiteral("pbx.m\xFCller.example"), true, true, 2, -1,
                    {{2, QStringLiteral("10.0.0.6")}, {3, QStringLiteral("10.0.0.7")}}};
    FDb->SaveSystem(v);
    const std::pair<int32_t, QVariant> answers[] = {
        {svSIPAddress, 0x0A000005}, {svSIPPort, 5060}, {svEditRights, 1}, {svRedundant, 1},
        {svProposedFailoverNode, 2}, {svCurrentNode, -1}, {svDomainName, QStringLiteral("pbx.m\xFCller.example")}};
    for (const auto &[id, expected] : answers)
        EXPECT_EQ(Ask(id), expected) << id;
    EXPECT_EQ(Ask(svNodeSIPAddress, 3), QVariant("10.0.0.7"));
    EXPECT_FALSE(Ask(svNodeSIPAddress, 4));
    v.EditRights = false;
    FDb->SaveSystem(v);
    EXPECT_EQ(Ask(svEditRights), 0);
}

} // namespace

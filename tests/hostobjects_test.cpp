// The host objects a plug-in works on: counted references, honest interface
// queries, the string hand-off, option lists, servant values, and write-backs
// that reach the database whole or not at all.

#include "DevProfileOption.h"
#include "HostObjects.h"
#include "Lyn2_Proxies.h"
#include "SiteSamples.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class HostObjectsTest : public ::testing::Test {
protected:
    void SetUp() override {
        FDb = std::make_unique<TConfigDatabase>(FDir.filePath(QStringLiteral("site.db")));
        FDb->SaveProfile(SampleProfile(1, QStringLiteral("Sales")));
        FDb->SaveProfile(SampleProfile(2, QStringLiteral("Lab")));
        FDb->SaveDevice(SampleDevice(1, 1, QStringLiteral("A1")));
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

TEST_F(HostObjectsTest, CountedAndFreedAtTheLastRelease) {
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
}

TEST_F(HostObjectsTest, EachAnswersItsOwnInterfaceOnly) {
    const TInterfaceRef<THostProfile> profile = Profile(1);
    const TInterfaceRef<THostDevice> device = Device(1);
    const TInterfaceRef<THostServant> servant(new THostServant(*FDb));
    const TInterfaceRef<THostProfileList> list(new THostProfileList(*FDb));
    IInterface *objects[] = {profile.get(), device.get(), servant.get(), list.get()};
    const TGUID iids[] = {IDeviceProfile::IID, IDevice::IID, IDevicePluginServant::IID, IDeviceProfileList::IID};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            void *p = reinterpret_cast<void *>(1);
            const HResult r = objects[i]->QueryInterface(iids[j], &p);
            if (i == j) {
                EXPECT_EQ(r, S_OK);
                EXPECT_EQ(p, objects[i]);
                // The answer carries a reference: one from the holder, one from the query.
                EXPECT_EQ(objects[i]->_Release(), 1);
            } else {
                EXPECT_EQ(r, E_NOINTERFACE) << i << j;
                EXPECT_EQ(p, nullptr);
            }
        }
    void *p = nullptr;
    EXPECT_EQ(profile->QueryInterface(IPluginFrameContainer::IID, &p), E_NOINTERFACE);
}

TEST_F(HostObjectsTest, ProfileGettersReadTheRecordAndHandTextOff) {
    const TInterfaceRef<THostProfile> p = Profile(1);
    const TProfileRecord r = SampleProfile(1, QStringLiteral("Sales"));
    EXPECT_EQ(p->getProfileID(), 1);
    EXPECT_EQ(p->getName().Ansi(), "Sales");
    EXPECT_EQ(p->getDeviceType().Ansi(), "LYN 2");
    EXPECT_EQ(p->getDisplayType(), devdtAlphanum);
    EXPECT_EQ(p->getNumberOfLines(), -2);
    EXPECT_EQ(p->getExtraValue(), -7);
    EXPECT_TRUE(p->getIsDHCPServer());
    EXPECT_TRUE(p->getUpdateDevicesRequired());
    EXPECT_EQ(p->getFailoverSIPPort(), 5070);
    PAnsiStringRef custom = p->getCustomData();
    ASSERT_NE(custom, nullptr);
    // 8-bit at the boundary: the e acute is one byte.
    EXPECT_EQ(custom->Chars, ToAnsi(r.CustomData));
    EXPECT_NE(custom->Chars.find("\xE9"), std::string::npos);
    p->FreeStr(custom);
    EXPECT_EQ(custom, nullptr);
    PAnsiStringRef failover = p->getFailoverSIPIP();
    EXPECT_EQ(TakeAnsiStringRef(p.get(), failover), "10.0.0.6");
    EXPECT_EQ(failover, nullptr);
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
    const TProfileRecord stored = *FDb->LoadProfile(1);
    EXPECT_EQ(stored.Codecs, 3);
    EXPECT_EQ(stored.Name, "Sales floor");
    EXPECT_EQ(stored.CustomData, "IPComm{DHCP=true}");
    EXPECT_EQ(Describe(stored), Describe(p->Record()));
}

TEST_F(HostObjectsTest, AProfileIsSavedWholeOrNotAtAll) {
    const TInterfaceRef<THostProfile> p = Profile(1);
    const QString before = DumpDatabase(FDb->Path());
    TDPOptionList options;
    options.AddOption(POT_SilenceSuppression, 1);
    options.AddOption(TSIPDevice_Profile_Option_Tag(12), 1); // not an option this host keeps
    p->setCodecs(1);
    p->setOptions(options);
    EXPECT_THROW(p->Save(), EDatabase);
    EXPECT_EQ(DumpDatabase(FDb->Path()), before);

    const TInterfaceRef<THostProfile> q = Profile(2);
    q->setProfileID(7);
    q->setCodecs(1);
    try {
        q->Save();
        FAIL();
    } catch (const EDatabase &e) {
        EXPECT_TRUE(e.Message().endsWith(QLatin1String("profile 2: the profile ID cannot change")));
    }
    EXPECT_EQ(DumpDatabase(FDb->Path()), before);
}

TEST_F(HostObjectsTest, WhatTheLyn2ProxyWritesBackIsSavedWhole) {
    const TInterfaceRef<THostProfile> p = Profile(1);
    const TInterfaceRef<THostServant> servant(new THostServant(*FDb));
    {
        const std::unique_ptr<TBasicProfileProxy> proxy = TLyn2ProfileProxy::Class().Create(p.get(), servant.get());
        proxy->Initialize({}, true);
        auto &lyn2 = static_cast<TLyn2ProfileProxy &>(*proxy);
        EXPECT_EQ(lyn2.SWVersion.Text(), QStringLiteral("2.3\xE9"));
        EXPECT_FALSE(lyn2.DHCP);
        lyn2.RingTone = 5;
        lyn2.Options.GetOrCreate(POT_displayToFrom, 1);
        proxy->FlushChanges();
    }
    EXPECT_EQ(FDb->LoadProfile(1)->NumberOfLines, -2); // nothing stored before the host saves
    p->Save();
    const TProfileRecord stored = *FDb->LoadProfile(1);
    EXPECT_EQ(stored.NumberOfLines, 2); // the model's fixed value
    EXPECT_TRUE(stored.GetsStaticIP);
    EXPECT_FALSE(stored.IsDHCPServer);
    EXPECT_TRUE(stored.CustomData.contains(QLatin1String("RingTone=5"))) << stored.CustomData.toStdString();
    EXPECT_TRUE(stored.CustomData.contains(QStringLiteral("SoftwareVersion=\"2.3\xE9\"")));
    EXPECT_EQ(Describe(stored), Describe(p->Record()));
    ASSERT_EQ(stored.Options.len, 3);
    EXPECT_EQ(stored.Options.list[0].tag, POT_displayToFrom);
}

TEST_F(HostObjectsTest, OptionsTravelThroughTheHostRecord) {
    const TInterfaceRef<THostProfile> p = Profile(1);
    TDPOptionList filled;
    p->FillOptions(filled);
    ASSERT_EQ(filled.Count(), 2);
    EXPECT_EQ(filled.FindByTag(POT_AutoAnswerType)->Value, 2);
    EXPECT_EQ(filled.FindByTag(POT_SilenceSuppression)->Value, -1);
    // What the list already holds wins.
    TDPOptionList held;
    held.AddOption(POT_AutoAnswerType, 5);
    p->FillOptions(held);
    EXPECT_EQ(held.Count(), 2);
    EXPECT_EQ(held.FindByTag(POT_AutoAnswerType)->Value, 5);

    p->setOptions(filled);
    EXPECT_FALSE(p->Modified());
    filled.FindByTag(POT_SilenceSuppression)->Value = 1;
    filled.AddOption(POT_displayToFrom, 0);
    p->setOptions(filled);
    EXPECT_TRUE(p->Modified());
    p->Save();
    TDPOptionList stored;
    Profile(1)->FillOptions(stored);
    EXPECT_TRUE(stored.Equals(filled));
}

TEST_F(HostObjectsTest, DeviceFieldsAndTheirTexts) {
    const TInterfaceRef<THostDevice> d = Device(1);
    const TDeviceRecord r = SampleDevice(1, 1, QStringLiteral("A1"));
    EXPECT_EQ(d->getUniqueID().Ansi(), "A1");
    EXPECT_EQ(d->getProxyPassword().Ansi(), "s\xE9" "cret");
    EXPECT_EQ(d->getMacAddress(), r.MacAddress);
    EXPECT_TRUE(d->getDHCP_SRV_Start_IP() == r.DHCP_SRV_Start_IP);
    EXPECT_EQ(d->getDHCP_SRV_Start_IP().version, 6);
    EXPECT_EQ(d->getNormalLocationID(), int64_t(1) << 40);
    PUnicodeStringRef greeting = d->getGreeting();
    EXPECT_EQ(TakeUnicodeStringRef(d.get(), greeting), r.Greeting);
    EXPECT_EQ(greeting, nullptr);
    PAnsiStringRef contact = d->getAssignedContact();
    EXPECT_EQ(TakeAnsiStringRef(d.get(), contact), "sip:100@10.0.0.20");

    d->setGreeting(u"Hall\u00F6chen");
    d->setAssignedIP(IPRecFromIPv4(0x0A000015));
    d->setProtocol(ptSIP); // unchanged
    d->setUnused2(5);      // kept nowhere
    EXPECT_EQ(d->getUnused2(), 0);
    d->Save();
    const TDeviceRecord stored = *FDb->LoadDevice(1);
    EXPECT_EQ(stored.Greeting, QStringLiteral("Hall\u00F6chen"));
    EXPECT_EQ(IPText(stored.AssignedIP), "10.0.0.21");
}

TEST_F(HostObjectsTest, ADeviceMovesOnlyToAProfileThatExists) {
    const TInterfaceRef<THostDevice> d = Device(1);
    d->setProfileID(2);
    d->Save();
    EXPECT_EQ(FDb->LoadDevice(1)->ProfileID, 2);
    d->setProfileID(9);
    d->setUniqueID(TdpNameString::From(AnsiString("A9")));
    EXPECT_THROW(d->Save(), EDatabase);
    EXPECT_EQ(FDb->LoadDevice(1)->ProfileID, 2);
    EXPECT_EQ(FDb->LoadDevice(1)->UniqueID, "A1");
    d->setProfileID(0);
    d->Save();
    EXPECT_EQ(FDb->LoadDevice(1)->ProfileID, 0);
}

class ServantTest : public HostObjectsTest {
protected:
    bool Ask(int32_t id, uintptr_t param = 0) {
        FValue = 0xDEADBEEF;
        return TInterfaceRef<THostServant>(new THostServant(*FDb))->GetValue(id, param, FValue);
    }
    QString AskText(int32_t id, uintptr_t param = 0) {
        const TInterfaceRef<THostServant> servant(new THostServant(*FDb));
        uintptr_t value = 0;
        if (!servant->GetValue(id, param, value))
            return QStringLiteral("<none>");
        auto ref = reinterpret_cast<PAnsiStringRef>(value);
        return TakeAnsiStringRef(servant.get(), ref);
    }
    uintptr_t FValue = 0;
};

TEST_F(ServantTest, AnswersTheSystemValues) {
    TSystemValues v;
    v.SIPAddress = 0x0A000005;
    v.SIPPort = 5060;
    v.Domain = QStringLiteral("pbx.m\xFCller.example");
    v.EditRights = true;
    v.Redundant = true;
    v.ProposedFailoverNode = 2;
    v.CurrentNode = -1;
    v.NodeAddresses = {{2, QStringLiteral("10.0.0.6")}, {3, QStringLiteral("10.0.0.7")}};
    FDb->SaveSystem(v);
    ASSERT_TRUE(Ask(svSIPAddress));
    EXPECT_EQ(FValue, 0x0A000005u);
    ASSERT_TRUE(Ask(svSIPPort));
    EXPECT_EQ(FValue, 5060u);
    ASSERT_TRUE(Ask(svEditRights));
    EXPECT_EQ(FValue, 1u);
    ASSERT_TRUE(Ask(svRedundant));
    EXPECT_EQ(FValue, 1u);
    ASSERT_TRUE(Ask(svProposedFailoverNode));
    EXPECT_EQ(FValue, 2u);
    ASSERT_TRUE(Ask(svCurrentNode));
    EXPECT_EQ(int32_t(FValue), -1);
    EXPECT_EQ(AskText(svDomainName), QStringLiteral("pbx.m\xFCller.example"));
    EXPECT_EQ(AskText(svNodeSIPAddress, 3), "10.0.0.7");
    EXPECT_EQ(AskText(svNodeSIPAddress, 4), "<none>");
    v.EditRights = false;
    FDb->SaveSystem(v);
    ASSERT_TRUE(Ask(svEditRights));
    EXPECT_EQ(FValue, 0u);
}

TEST_F(ServantTest, ValuesNotGivenAreNotAnswered) {
    for (int32_t id : std::initializer_list<int32_t>{svSIPAddress, svSIPPort, svDomainName, svEditRights, svNodeSIPAddress, svProposedFailoverNode,
                       svCurrentNode, svRedundant, 2, 3, 18, 25, -1}) {
        EXPECT_FALSE(Ask(id)) << id;
        EXPECT_EQ(FValue, 0xDEADBEEFu) << id;
    }
}

TEST_F(ServantTest, FirstFreeStartNumberOfThePrefixGiven) {
    FDb->SaveDevice(SampleDevice(2, 1, QStringLiteral("A2")));
    FDb->SaveDevice(SampleDevice(3, 1, QStringLiteral("A3")));
    PUnicodeStringRef prefix = NewUnicodeStringRef(QStringLiteral("A"));
    ASSERT_TRUE(Ask(svFirstFreeStartNumber, reinterpret_cast<uintptr_t>(&prefix)));
    EXPECT_EQ(int32_t(FValue), 4);
    ReleaseStringRef(prefix);
    EXPECT_FALSE(Ask(svFirstFreeStartNumber, reinterpret_cast<uintptr_t>(&prefix))); // no text behind it
    EXPECT_FALSE(Ask(svFirstFreeStartNumber, 0));
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

} // namespace

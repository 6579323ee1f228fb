// The plug-in's front door: the counted singleton, its interfaces,
// initialisation rules and the string hand-off.

#include "DPHelpModule.h"
#include "DP_Lyn2Plugin.h"
#include "PluginExport.h"

#include <QAction>
#include <QApplication>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

// Counts its references the way a host object does.
class FakeManager final : public IPluginManager {
public:
    HResult QueryInterface(const TGUID &, void **obj) override { *obj = nullptr; return E_NOINTERFACE; }
    int32_t _AddRef() override { return ++Refs; }
    int32_t _Release() override { return --Refs; }
    void FreeStr(PAnsiStringRef &s) override { ReleaseStringRef(s); }
    void FreeStr(PUnicodeStringRef &s) override { ReleaseStringRef(s); }
    int32_t HostReserved() override { return 0; }
    int32_t Refs = 0;
};

class PluginExportTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterLyn2Plugin(); }
    void TearDown() override {
        while (PluginInstance)
            DestroyPlugin(PluginInstance);
    }
    // As the host asks, without knowing the object's class.
    static IDevicePlugin *DevicePlugin(TPlugin *p) { return QueryAs<IDevicePlugin>(PluginInterface(p)); }
};

TEST_F(PluginExportTest, OneCountedInstance) {
    TPlugin *first = CreatePlugin();
    TPlugin *second = CreatePlugin();
    EXPECT_EQ(first, second);
    EXPECT_EQ(PluginRefCount, 2);
    EXPECT_TRUE(DestroyPlugin(first));
    EXPECT_EQ(PluginInstance, first);
    EXPECT_TRUE(DestroyPlugin(first));
    EXPECT_EQ(PluginInstance, nullptr);
    EXPECT_EQ(PluginRefCount, 0);
    TPlugin *third = CreatePlugin();
    EXPECT_NE(third, nullptr);
    EXPECT_EQ(PluginRefCount, 1);
}

TEST_F(PluginExportTest, DestroyAcceptsOnlyTheInstance) {
    TPlugin *p = CreatePlugin();
    TLyn2Plugin stranger;
    EXPECT_FALSE(DestroyPlugin(&stranger));
    EXPECT_FALSE(DestroyPlugin(nullptr));
    EXPECT_EQ(PluginRefCount, 1);
    EXPECT_EQ(PluginInstance, p);
}

TEST_F(PluginExportTest, InitializeOnceWithAManager) {
    IDevicePlugin *plugin = DevicePlugin(CreatePlugin());
    FakeManager manager;
    EXPECT_FALSE(plugin->Initialize(nullptr));
    EXPECT_FALSE(plugin->getInitialized());
    EXPECT_TRUE(plugin->Initialize(&manager));
    EXPECT_TRUE(plugin->getInitialized());
    EXPECT_EQ(manager.Refs, 1);

    FakeManager other;
    EXPECT_FALSE(plugin->Initialize(&other));
    EXPECT_EQ(other.Refs, 0);
    IPluginManager *kept = plugin->getManager(); // a counted copy
    EXPECT_EQ(kept, &manager);
    EXPECT_EQ(manager.Refs, 2);
    kept->_Release();

    // Finalize keeps the manager and the flag; freeing the plug-in releases it.
    plugin->Finalize();
    EXPECT_TRUE(plugin->getInitialized());
    EXPECT_FALSE(plugin->Initialize(&other));
    DestroyPlugin(PluginInstance);
    EXPECT_EQ(manager.Refs, 0);
}

TEST_F(PluginExportTest, QueryInterfaceAndSwitchedOffCounting) {
    IPlugin *plugin = static_cast<IPlugin *>(CreatePlugin());
    void *out = reinterpret_cast<void *>(1);
    EXPECT_EQ(plugin->QueryInterface(IDevicePlugin::IID, &out), S_OK);
    EXPECT_NE(out, nullptr);
    // The standard root too, as the same object.
    EXPECT_EQ(plugin->QueryInterface(IInterface::IID, &out), S_OK);
    EXPECT_EQ(out, plugin);
    EXPECT_EQ(plugin->QueryInterface(IDevicePluginModule::IID, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(plugin->_AddRef(), -1);
    EXPECT_EQ(plugin->_Release(), -1);
    EXPECT_EQ(PluginInstance, static_cast<TPlugin *>(plugin));
}

TEST_F(PluginExportTest, WhatsThisControlsAreHandedOverWithMessages4096And4097) {
    dmDPHelp.reset();
    IPlugin *plugin = static_cast<IPlugin *>(CreatePlugin());
    QAction item;
    item.setCheckable(true);
    QToolButton button;
    QWidget notAnItem;
    // "<item's shortcut> <button's click>": what the user sees of the engine.
    const auto handedOver = [&] {
        button.click();
        const QCursor *cursor = QApplication::overrideCursor();
        const bool on = cursor && cursor->shape() == Qt::WhatsThisCursor;
        if (on)
            button.click();
        return QStringLiteral("%1 %2").arg(item.shortcut().toString(), on ? "on" : "off");
    };
    uintptr_t output = 77;
    const auto send = [&](uint32_t message, QObject *object) {
        return plugin->PerformMessage(message, reinterpret_cast<uintptr_t>(object), output);
    };
    EXPECT_FALSE(send(4096, &item));
    ASSERT_NE(dmDPHelp, nullptr);
    EXPECT_EQ(handedOver(), "Shift+F1 off");
    EXPECT_FALSE(send(4097, &button));
    EXPECT_EQ(handedOver(), "Shift+F1 on");
    // What is not a menu item clears the item; the button still runs the engine.
    EXPECT_FALSE(send(4096, &notAnItem));
    EXPECT_EQ(handedOver(), " on");
    EXPECT_FALSE(send(4097, nullptr));
    EXPECT_EQ(handedOver(), " off");
    EXPECT_FALSE(dmDPHelp->WhatsThis->Running());
    EXPECT_EQ(output, 77u);
    dmDPHelp.reset();
}

TEST_F(PluginExportTest, ModuleIndexOutsideTheListRaises) {
    IDevicePlugin *plugin = DevicePlugin(CreatePlugin());
    EXPECT_THROW(plugin->getModule(plugin->getModulesCount()), std::out_of_range);
    EXPECT_THROW(plugin->getModule(-1), std::out_of_range);
}

TEST(StringHandOff, UnicodeAndEmptyReferences) {
    FakeManager sender;
    PUnicodeStringRef u = NewUnicodeStringRef(QString::fromUtf8("Grüße 😀"));
    EXPECT_EQ(TakeUnicodeStringRef(&sender, u), QString::fromUtf8("Grüße 😀"));
    EXPECT_EQ(u, nullptr);
    PAnsiStringRef none = nullptr;
    EXPECT_EQ(TakeAnsiStringRef(&sender, none), QString());
}

TEST(SharedTypes, NameStringsAreCut) {
    const TdpNameString s = TdpNameString::From(QString(40, QLatin1Char('x')));
    EXPECT_EQ(s.Length, 31);
    EXPECT_EQ(s.Text(), QString(31, QLatin1Char('x')));
    EXPECT_EQ(TdpURIString::From(QString(300, QLatin1Char('u'))).Length, 255);
}

} // namespace

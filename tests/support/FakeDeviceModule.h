#pragma once
// A device module for the host's window tests, with a device frame that acts
// as a plug-in's does towards its container, in a few lines of rules:
// - edUniqueID, edMACAddress (display text) and edProxyPassword edit the
//   device; cbProfile chooses its profile; vqseStartNumber is the start number
//   of a range (shown in range mode only, set from servant value 1 for the
//   prefix at show and at every change of the prefix); cbIDLinkedToMAC is a
//   check box whose clicks count as edits;
// - at show the frame reports modified exactly for a new device, and its conflict;
// - every user edit marks the device modified and validates: a MAC text that
//   is not a full address is an input error "Invalid MAC address", an empty
//   device ID the error "Device ID is empty", the device ID "odd" a warning;
// - ApplyChanges writes the fields into the device unless there is an error.
// The profile frame, in the same way: pages tshMain "Main" and tshMore "More"
// of the page control pcSettings (requests 4 and 5 read and set the page path
// "pcSettings.PAGE.CAPTION"); edSWVersion edits the profile's custom data;
// request 3 takes the name, which the frame judges as the module does
// (without marking the profile modified); read-only with pffReadOnly.
// Module validation judges devices by ID: "bad…" is an error, "warn…" a warning.
// Setting Throw makes the named operation of the device side raise
// ("ApplyChanges", "ShowDevice", "CreateDeviceFrame", "ValidateDevice", or
// "Typing": the frame's handler of a user's edit).

#include "CommonDevicePlugins.h"

#include <QWidget>

#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;
class QTabWidget;

class TFakeDeviceModule;

class TFakeDeviceFrame final : public QWidget, public TInterfacedObject<IPluginDeviceFrame> {
    Q_OBJECT
    Q_INTERFACES(IPluginFrame)
public:
    TFakeDeviceFrame(IPluginFrameContainer *Container, TFakeDeviceModule &Module);
    ~TFakeDeviceFrame() override;

    HResult QueryInterface(const TGUID &iid, void **obj) override;
    bool ApplyChanges(bool Force) override;
    bool ProcessRequest(int32_t Code, uintptr_t Data, intptr_t &Result) override;
    bool IsDisplaying() override { return FDevice != nullptr; }
    void GetModule(IDevicePluginModule *&Module) override;
    bool ShowDevice(IDevice *Device, IDeviceProfileList *Profiles, TPluginFrameFlags Flags) override;
    void HideDevice() override;

    TPluginFrameFlags Flags;

private:
    void Edited();
    void Validate();
    void AskStartNumber();

    IPluginFrameContainer *FContainer;
    TFakeDeviceModule &FModule;
    IDevice *FDevice = nullptr;
    IDeviceProfileList *FProfiles = nullptr;
    bool FSilent = false;
    bool FModified = false;
    TConflictLevel FLevel = clvNone;
    bool FExternal = false;
    QString FMessage;
    QLineEdit *edUniqueID;
    QLineEdit *edMACAddress;
    QLineEdit *edProxyPassword;
    QComboBox *cbProfile;
    QSpinBox *vqseStartNumber;
    QCheckBox *cbIDLinkedToMAC;
};

class TFakeProfileFrame final : public QWidget, public TInterfacedObject<IPluginProfileFrame> {
    Q_OBJECT
    Q_INTERFACES(IPluginFrame)
public:
    TFakeProfileFrame(IPluginFrameContainer *Container, TFakeDeviceModule &Module);
    ~TFakeProfileFrame() override;

    HResult QueryInterface(const TGUID &iid, void **obj) override;
    bool ApplyChanges(bool Force) override;
    bool ProcessRequest(int32_t Code, uintptr_t Data, intptr_t &Result) override;
    bool IsDisplaying() override { return FProfile != nullptr; }
    void GetModule(IDevicePluginModule *&Module) override;
    bool ShowProfile(IDeviceProfile *Profile, TPluginFrameFlags Flags) override;
    void HideProfile() override;

    TPluginFrameFlags Flags;
    QStringList Names; // what request 3 brought, in order

private:
    void Edited();
    void Validate();

    IPluginFrameContainer *FContainer;
    TFakeDeviceModule &FModule;
    IDeviceProfile *FProfile = nullptr;
    QString FName;
    bool FModified = false;
    TConflictLevel FLevel = clvNone;
    QString FMessage;
    QTabWidget *pcSettings;
    QLineEdit *edSWVersion;
};

class TFakeDeviceModule : public TInterfacedObject<IDevicePluginModule> {
public:
    QString Throw;   // the operation that raises
    std::function<void()> Judging; // runs as a device is judged
    int Frames = 0;  // frames alive
    TFakeDeviceFrame *LastFrame = nullptr;
    TFakeProfileFrame *LastProfileFrame = nullptr;

    QWidget *CreateDeviceFrame(IPluginFrameContainer *Container) override;
    void FreeFrame(QWidget *&PluginFrame) override;
    QWidget *CreateProfileFrame(IPluginFrameContainer *Container) override;
    TConflictLevel ValidateProfile(IDeviceProfile *Profile, IDevicePluginServant *, PAnsiStringRef &Message) override;
    TProfileHandle ValidateDevice_PrepareProfile(IDeviceProfile *, IDevicePluginServant *) override { return 1; }
    void ValidateDevice_FreePreparedProfile(TProfileHandle) override {}
    TConflictLevel ValidateDevice(IDevice *Device, TProfileHandle, IDevicePluginServant *,
                                  PAnsiStringRef &Message) override;
    TConflictLevel ValidateDevice(IDevice *Device, IDeviceProfile *, IDevicePluginServant *,
                                  PAnsiStringRef &Message) override;

    // The host's window has no use for these: a call fails the test.
    bool UpdateVQConfigInProfile(IDeviceProfile *, IDevicePluginServant *, TVQConfigChangeList *) override {
        return Unexpected("UpdateVQConfigInProfile");
    }
    bool IsConfigParameterInUse(IDeviceProfile *, IDevicePluginServant *, TVQConfigParameter, const char *,
                                uint32_t) override {
        return Unexpected("IsConfigParameterInUse");
    }
    bool UpdateDefaultProfile(IDeviceProfile *, IDevicePluginServant *) override {
        return Unexpected("UpdateDefaultProfile");
    }
    bool SetScreenName(IDevice *, IDeviceProfile *, IDevicePluginServant *, const char16_t *) override {
        return Unexpected("SetScreenName");
    }
    void UpdateProfileConfigFiles(IDeviceProfile *, IDevicePluginServant *, TConfigFileArray &) override {
        Unexpected("UpdateProfileConfigFiles");
    }
    void UpdateDeviceConfigFiles(IDevice *, IDeviceProfile *, IDevicePluginServant *, TConfigFileArray &) override {
        Unexpected("UpdateDeviceConfigFiles");
    }
    void GetProfileConfigFileNames(IDeviceProfile *, IDevicePluginServant *, TFileNamesArray &) override {
        Unexpected("GetProfileConfigFileNames");
    }
    void GetDeviceConfigFileNames(IDevice *, IDeviceProfile *, IDevicePluginServant *, TFileNamesArray &) override {
        Unexpected("GetDeviceConfigFileNames");
    }
    TdpNameString getDeviceType() override { return TdpNameString::From(QStringLiteral("FAKE")); }
    bool getFeature(uint32_t) override { return false; }
    PAnsiStringRef getPedigree() override { return NewAnsiStringRef(QStringLiteral("Fake")); }
    int32_t getSortOrder() override { return 0; }
    IDevicePlugin *getPlugin() override { return nullptr; }
    HResult QueryInterface(const TGUID &, void **obj) override;

    void Raise(const char *Operation) const;

private:
    static bool Unexpected(const char *Call);
};

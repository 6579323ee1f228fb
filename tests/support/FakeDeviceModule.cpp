#include "FakeDeviceModule.h"

#include "database/HostRecords.h"

#include <QCheckBox>
#include <QBoxLayout>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>

#include <gtest/gtest.h>

namespace {

TConflictLevel Judge(const QString &ID, PAnsiStringRef &Message) {
    const TConflictLevel level = ID.startsWith("bad") ? clvError : ID.startsWith("warn") ? clvWarning : clvNone;
    Message = NewAnsiStringRef(level == clvNone ? QString() : QStringLiteral("judged %1").arg(ID));
    return level;
}

} // namespace

TFakeDeviceFrame::TFakeDeviceFrame(IPluginFrameContainer *Container, TFakeDeviceModule &Module)
    : FContainer(Container), FModule(Module), edUniqueID(new QLineEdit(this)), edMACAddress(new QLineEdit(this)),
      edProxyPassword(new QLineEdit(this)), cbProfile(new QComboBox(this)), vqseStartNumber(new QSpinBox(this)),
      cbIDLinkedToMAC(new QCheckBox("&Use MAC Address as Device ID", this)) {
    auto *layout = new QFormLayout(this);
    layout->addRow("&Profile", cbProfile);
    layout->addRow("&Device ID", edUniqueID);
    layout->addRow("&MAC Address", edMACAddress);
    layout->addRow("Start &Number", vqseStartNumber);
    layout->addRow("SIP Proxy Pass&word", edProxyPassword);
    layout->addRow(cbIDLinkedToMAC);
    cbIDLinkedToMAC->setObjectName("cbIDLinkedToMAC");
    edUniqueID->setObjectName("edUniqueID");
    edMACAddress->setObjectName("edMACAddress");
    edProxyPassword->setObjectName("edProxyPassword");
    cbProfile->setObjectName("cbProfile");
    vqseStartNumber->setObjectName("vqseStartNumber");
    vqseStartNumber->setRange(1, 999999);
    for (QLineEdit *edit : {edUniqueID, edMACAddress, edProxyPassword})
        connect(edit, &QLineEdit::textChanged, this, &TFakeDeviceFrame::Edited);
    connect(cbProfile, &QComboBox::activated, this, &TFakeDeviceFrame::Edited);
    connect(cbIDLinkedToMAC, &QCheckBox::clicked, this, &TFakeDeviceFrame::Edited);
    ++FModule.Frames;
}

TFakeDeviceFrame::~TFakeDeviceFrame() { --FModule.Frames; }

HResult TFakeDeviceFrame::QueryInterface(const TGUID &iid, void **obj) {
    if (iid == IPluginFrame::IID || iid == IPluginDeviceFrame::IID) {
        *obj = static_cast<IPluginDeviceFrame *>(this);
        return S_OK;
    }
    *obj = nullptr;
    return E_NOINTERFACE;
}

void TFakeDeviceFrame::GetModule(IDevicePluginModule *&Module) { Module = &FModule; }

bool TFakeDeviceFrame::ShowDevice(IDevice *Device, IDeviceProfileList *Profiles, TPluginFrameFlags NewFlags) {
    FModule.Raise("ShowDevice");
    FDevice = Device;
    FProfiles = Profiles;
    Flags = NewFlags;
    FSilent = true;
    edUniqueID->setText(Device->getUniqueID().Text());
    edMACAddress->setText(MACToText(Device->getMacAddress()));
    edProxyPassword->setText(Device->getProxyPassword().Text());
    cbProfile->clear();
    for (int i = 0; i < Profiles->getCount(); ++i) {
        IDeviceProfile *p = Profiles->getItem(i);
        cbProfile->addItem(p->getName().Text(), qlonglong(p->getProfileID()));
        if (p->getProfileID() == Device->getProfileID())
            cbProfile->setCurrentIndex(i);
    }
    const bool range = Flags.Contains(pffRange);
    vqseStartNumber->setVisible(range);
    AskStartNumber();
    for (QLineEdit *edit : {edUniqueID, edMACAddress, edProxyPassword})
        edit->setReadOnly(Flags.Contains(pffReadOnly));
    FSilent = false;
    FModified = Flags.Contains(pffCreating);
    FContainer->SetModified(FModified);
    FLevel = clvNone;
    FMessage.clear();
    Validate();
    FContainer->ShowConflict(FLevel, FExternal, ToAnsi(FMessage).c_str());
    return true;
}

void TFakeDeviceFrame::AskStartNumber() {
    if (!Flags.Contains(pffRange))
        return;
    TUnicodeStringRef prefix{edUniqueID->text().toStdU16String()};
    PUnicodeStringRef ref = &prefix;
    uintptr_t value = 0;
    if (FContainer->GetValue(svFirstFreeStartNumber, reinterpret_cast<uintptr_t>(&ref), value))
        vqseStartNumber->setValue(int(value));
}

void TFakeDeviceFrame::HideDevice() {
    FDevice = nullptr;
    FProfiles = nullptr;
}

void TFakeDeviceFrame::Edited() {
    if (FSilent || !FDevice)
        return;
    FModule.Raise("Typing");
    AskStartNumber();
    const TConflictLevel level = FLevel;
    const QString message = FMessage;
    Validate();
    if (level != FLevel || message != FMessage)
        FContainer->ShowConflict(FLevel, FExternal, ToAnsi(FMessage).c_str());
    if (!FModified)
        FContainer->SetModified(FModified = true);
}

void TFakeDeviceFrame::Validate() {
    FExternal = !ParseMACText(edMACAddress->text());
    if (FExternal) {
        FLevel = clvError;
        FMessage = "Invalid MAC address";
    } else if (edUniqueID->text().isEmpty() && !Flags.Contains(pffRange)) {
        FLevel = clvError;
        FMessage = "Device ID is empty";
    } else if (edUniqueID->text() == "odd") {
        FLevel = clvWarning;
        FMessage = "Device ID looks odd";
    } else {
        FLevel = clvNone;
        FMessage.clear();
    }
}

bool TFakeDeviceFrame::ApplyChanges(bool Force) {
    FModule.Raise("ApplyChanges");
    const bool valid = FLevel != clvError;
    if (valid || Force) {
        FDevice->setUniqueID(TdpNameString::From(edUniqueID->text()));
        if (const auto mac = ParseMACText(edMACAddress->text()))
            FDevice->setMacAddress(*mac);
        FDevice->setProxyPassword(TdpNameString::From(edProxyPassword->text()));
        FDevice->setProfileID(cbProfile->currentData().toLongLong());
        FDevice->setProtocol(ptSIP);
        if (FModified)
            FContainer->SetModified(FModified = false);
    }
    return valid || Force;
}

bool TFakeDeviceFrame::ProcessRequest(int32_t Code, uintptr_t, intptr_t &Result) {
    if (Code != frqStartNumber)
        return false;
    Result = vqseStartNumber->value();
    return true;
}

// ---- profile frame -------------------------------------------------------------

TFakeProfileFrame::TFakeProfileFrame(IPluginFrameContainer *Container, TFakeDeviceModule &Module)
    : FContainer(Container), FModule(Module), pcSettings(new QTabWidget(this)), edSWVersion(new QLineEdit) {
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(pcSettings);
    pcSettings->setObjectName("pcSettings");
    auto *main = new QWidget;
    main->setObjectName("tshMain");
    auto *form = new QFormLayout(main);
    form->addRow("&Software Version", edSWVersion);
    edSWVersion->setObjectName("edSWVersion");
    pcSettings->addTab(main, "Main");
    auto *more = new QWidget;
    more->setObjectName("tshMore");
    pcSettings->addTab(more, "More");
    connect(edSWVersion, &QLineEdit::textEdited, this, &TFakeProfileFrame::Edited);
    ++FModule.Frames;
}

TFakeProfileFrame::~TFakeProfileFrame() { --FModule.Frames; }

HResult TFakeProfileFrame::QueryInterface(const TGUID &iid, void **obj) {
    if (iid == IPluginFrame::IID || iid == IPluginProfileFrame::IID) {
        *obj = static_cast<IPluginProfileFrame *>(this);
        return S_OK;
    }
    *obj = nullptr;
    return E_NOINTERFACE;
}

void TFakeProfileFrame::GetModule(IDevicePluginModule *&Module) { Module = &FModule; }

bool TFakeProfileFrame::ShowProfile(IDeviceProfile *Profile, TPluginFrameFlags NewFlags) {
    FProfile = Profile;
    Flags = NewFlags;
    FName = Profile->getName().Text();
    PAnsiStringRef custom = Profile->getCustomData();
    edSWVersion->setText(TakeAnsiStringRef(Profile, custom));
    edSWVersion->setReadOnly(Flags.Contains(pffReadOnly));
    FModified = Flags.Contains(pffCreating);
    FContainer->SetModified(FModified);
    Validate();
    FContainer->ShowConflict(FLevel, false, ToAnsi(FMessage).c_str());
    return true;
}

void TFakeProfileFrame::HideProfile() { FProfile = nullptr; }

void TFakeProfileFrame::Edited() {
    if (!FProfile)
        return;
    Validate();
    FContainer->ShowConflict(FLevel, false, ToAnsi(FMessage).c_str());
    if (!FModified)
        FContainer->SetModified(FModified = true);
}

void TFakeProfileFrame::Validate() {
    FLevel = FName.startsWith("bad") ? clvError : clvNone;
    FMessage = FLevel == clvNone ? QString() : QStringLiteral("judged %1").arg(FName);
}

bool TFakeProfileFrame::ApplyChanges(bool Force) {
    const bool valid = FLevel != clvError;
    if (valid || Force) {
        FProfile->setName(TdpNameString::From(FName));
        FProfile->setCustomData(ToAnsi(edSWVersion->text()).c_str());
        if (FModified)
            FContainer->SetModified(FModified = false);
    }
    return valid || Force;
}

bool TFakeProfileFrame::ProcessRequest(int32_t Code, uintptr_t Data, intptr_t &Result) {
    const auto text = [&] { return FromAnsi(reinterpret_cast<PAnsiStringRef>(Data)->Chars); };
    switch (Code) {
    case frqProfileName:
        Names << text();
        FName = Names.last();
        Validate();
        FContainer->ShowConflict(FLevel, false, ToAnsi(FMessage).c_str());
        return true;
    case frqGetPagePath: {
        QWidget *page = pcSettings->currentWidget();
        Result = reinterpret_cast<intptr_t>(NewAnsiStringRef(
            QStringList{pcSettings->objectName(), page->objectName(), pcSettings->tabText(pcSettings->currentIndex())}
                .join('.')));
        return true;
    }
    case frqSetPagePath: {
        auto *page = pcSettings->findChild<QWidget *>(text().section('.', 1, 1));
        const int index = page ? pcSettings->indexOf(page) : -1;
        pcSettings->setCurrentIndex(std::max(index, 0));
        return index >= 0;
    }
    default:
        return false;
    }
}

// ---- module -------------------------------------------------------------------

void TFakeDeviceModule::Raise(const char *Operation) const {
    if (Throw == QLatin1String(Operation))
        throw Exception(QStringLiteral("%1 broke").arg(Operation));
}

HResult TFakeDeviceModule::QueryInterface(const TGUID &iid, void **obj) {
    *obj = iid == IDevicePluginModule::IID ? static_cast<IDevicePluginModule *>(this) : nullptr;
    return *obj ? S_OK : E_NOINTERFACE;
}

QWidget *TFakeDeviceModule::CreateDeviceFrame(IPluginFrameContainer *Container) {
    Raise("CreateDeviceFrame");
    return LastFrame = new TFakeDeviceFrame(Container, *this);
}

QWidget *TFakeDeviceModule::CreateProfileFrame(IPluginFrameContainer *Container) {
    return LastProfileFrame = new TFakeProfileFrame(Container, *this);
}

void TFakeDeviceModule::FreeFrame(QWidget *&PluginFrame) {
    if (PluginFrame == LastFrame)
        LastFrame = nullptr;
    if (PluginFrame == LastProfileFrame)
        LastProfileFrame = nullptr;
    delete PluginFrame;
    PluginFrame = nullptr;
}

TConflictLevel TFakeDeviceModule::ValidateProfile(IDeviceProfile *Profile, IDevicePluginServant *,
                                                  PAnsiStringRef &Message) {
    return Judge(Profile->getName().Text(), Message);
}

TConflictLevel TFakeDeviceModule::ValidateDevice(IDevice *Device, TProfileHandle, IDevicePluginServant *,
                                                 PAnsiStringRef &Message) {
    Raise("ValidateDevice");
    if (Judging)
        Judging();
    return Judge(Device->getUniqueID().Text(), Message);
}

TConflictLevel TFakeDeviceModule::ValidateDevice(IDevice *Device, IDeviceProfile *, IDevicePluginServant *,
                                                 PAnsiStringRef &Message) {
    Raise("ValidateDevice");
    if (Judging)
        Judging();
    return Judge(Device->getUniqueID().Text(), Message);
}

bool TFakeDeviceModule::Unexpected(const char *Call) {
    ADD_FAILURE() << Call << " called";
    return false;
}

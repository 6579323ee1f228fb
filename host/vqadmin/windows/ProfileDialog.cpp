#include "ProfileDialog.h"

#include "DialogPanel.h"
#include "HostFailures.h"
#include "sitefile/SiteFile.h"
#include "ui_ProfileDialog.h"

namespace {

// The profile's own fields the frame shows, and its settings, by the controls that show them.
const std::vector<std::pair<const char *, QString>> FrameFields = {
    {"Name", QStringLiteral("edName")},
    {"SyslogIfNotRegistered", QStringLiteral("chbSyslogIfNotRegistered")},
    {"AllowLocationSpecOnPhone", QStringLiteral("chbAllowLocationSpecOnPhone")},
};
const QHash<QString, QString> SettingControls = {
    {QStringLiteral("General/SoftwareVersion"), QStringLiteral("edLYN2SWVersion")},
    {QStringLiteral("General/InterdigitTO"), QStringLiteral("vqseInterdigitTimeout")},
    {QStringLiteral("General/Regional/Country"), QStringLiteral("cbLYN2Country")},
    {QStringLiteral("General/Regional/Timezone"), QStringLiteral("cbLYN2TimeZone")},
    {QStringLiteral("General/Regional/DaylightSavings"), QStringLiteral("chbLYN2DaylightAdjust")},
    {QStringLiteral("General/Audio/AllowG729"), QStringLiteral("chbLYN2AllowG729")},
    {QStringLiteral("General/Audio/G729SilenceSuppress"), QStringLiteral("chbLYN2G729SilentSuppr")},
    {QStringLiteral("General/Audio/RingTone"), QStringLiteral("vqseLYN2RingTone")},
    {QStringLiteral("General/Paging/EnablePaging"), QStringLiteral("chbLYN2EnablePaging")},
    {QStringLiteral("SIP/RetransInvite"), QStringLiteral("vqseLYN2InviteRetrans")},
    {QStringLiteral("SIP/RetransRequest"), QStringLiteral("vqseLYN2NonInviteRetrans")},
    {QStringLiteral("SIP/TransportProtocol"), QStringLiteral("cbLYN2TransportProtocol")},
    {QStringLiteral("SIP/ReceivePort"), QStringLiteral("vqseLYN2ReceivePort")},
    {QStringLiteral("SIP/Proxies/MainProxySource"), QStringLiteral("cbLYN2ProxySource")},
    {QStringLiteral("SIP/Proxies/UseBackupProxy"), QStringLiteral("chbLYN2RegWithBcpProxy")},
    {QStringLiteral("SIP/Proxies/MainProxy/Addr"), QStringLiteral("edLYN2ProxyAddress")},
    {QStringLiteral("SIP/Proxies/MainProxy/Port"), QStringLiteral("vqseLYN2ProxyPort")},
    {QStringLiteral("SIP/Proxies/BackupProxy/Addr"), QStringLiteral("edLYN2BcpProxy")},
    {QStringLiteral("SIP/Proxies/BackupProxy/Port"), QStringLiteral("vqseLYN2BcpProxyPort")},
    {QStringLiteral("VLAN/VLANtag"), QStringLiteral("vqseLYN2VLANTag")},
    {QStringLiteral("VLAN/PriorityTag"), QStringLiteral("vqseLYN2PriorityTag")},
    {QStringLiteral("VLAN/CallSignVLANtag"), QStringLiteral("vqseLYN2CallSigVLANTag")},
    {QStringLiteral("VLAN/CallSignPriorityTag"), QStringLiteral("vqseLYN2CallSigPriorityTag")},
    {QStringLiteral("VLAN/RTPVLANtag"), QStringLiteral("vqseLYN2RTPVLANTag")},
    {QStringLiteral("VLAN/RTPPriorityTag"), QStringLiteral("vqseLYN2RTPPriorityTag")},
    {QStringLiteral("IPComm/CallSignDSCP"), QStringLiteral("vqseLYN2Cal_Sig_DSCP")},
    {QStringLiteral("IPComm/RTP_DSCP"), QStringLiteral("vqseLYN2RTP_DSCP")},
    {QStringLiteral("IPComm/DHCP"), QStringLiteral("chbLYN2EnableDHCP")},
    {QStringLiteral("IPSettings/Gateway"), QStringLiteral("vqipLYN2Gateway")},
    {QStringLiteral("IPSettings/SubnetMask"), QStringLiteral("vqimLYN2SubnetMask")},
    {QStringLiteral("IPSettings/DNS"), QStringLiteral("vqipLYN2DNS")},
    {QStringLiteral("IPSettings/NTP"), QStringLiteral("vqipLYN2NTP")},
    {QStringLiteral("IPSettings/Domain"), QStringLiteral("edLYN2Domain")},
    {QStringLiteral("IPSettings/TFTPFixed"), QStringLiteral("rbLYN2FixedTFTPServer")},
    {QStringLiteral("IPSettings/TFTPAddress"), QStringLiteral("vqipLYN2TFTPServer")},
};

// Gives a text to the frame's request, which borrows it.
bool SendText(IPluginFrame &Frame, TPluginFrameRequest Code, const QString &Text) {
    PAnsiStringRef text = NewAnsiStringRef(Text);
    intptr_t result = 0;
    const bool handled = Frame.ProcessRequest(Code, reinterpret_cast<uintptr_t>(text), result);
    ReleaseStringRef(text);
    return handled;
}

} // namespace

TProfileDialog::TProfileDialog(TConfigDatabase &Database, IDevicePluginModule &Module, TProfileAction Action,
                               const TProfileRecord &Record, QWidget *Parent)
    : TFrameDialog(Database, Module, Parent), FAction(Action), ui(new Ui::ProfileDialog),
      FProfile(new THostProfile(Database, Record)), FRead(Record), FDeviceType(Module.getDeviceType().Text()),
      FStoredName(Action == TProfileAction::New ? QString() : Record.Name) {
    ui->setupUi(this);
    Attach({ui->scFrame, ui->lyFrame, ui->imgConflict, ui->stConflict, ui->pnlButtons, ui->btReload});
    for (const TProfileRecord &p : Database.LoadProfiles())
        if (p.ProfileID != Record.ProfileID)
            FOtherNames << p.Name;
    ui->edName->setText(FProfile->Record().Name);
    connect(ui->edName, &QLineEdit::textChanged, this, &TProfileDialog::NameChanged);
    UpdateTitle();
}

TProfileDialog::~TProfileDialog() {
    RememberPage();
    FreeFrame();
}

QWidget *TProfileDialog::CreateFrame() { return FModule.CreateProfileFrame(FContainer.get()); }

void TProfileDialog::ShowObject() {
    FProfileFrame = FrameInterface<IPluginProfileFrame>(Frame());
    if (!FProfileFrame)
        throw Exception(QStringLiteral("The plug-in's profile frame cannot show profiles"));
    uint16_t flags = 0;
    if (FAction == TProfileAction::New)
        flags |= 1u << pffCreating;
    if (!CanEdit())
        flags |= 1u << pffReadOnly;
    ui->edName->setReadOnly(!CanEdit());
    if (!FProfileFrame->ShowProfile(FProfile.get(), TPluginFrameFlags::FromBits(flags)))
        throw Exception(QStringLiteral("The plug-in's profile frame did not show the profile"));
    RestorePage();
    CheckName();
}

void TProfileDialog::HideObject() { FProfileFrame->HideProfile(); }

bool TProfileDialog::CanEdit() { return TFrameDialog::CanEdit() && !FProfile->Record().IsDefault; }

QString TProfileDialog::ReadOnlyReason() {
    return FProfile->Record().IsDefault ? QStringLiteral("Read-only: the default profile is the system's own")
                                        : TFrameDialog::ReadOnlyReason();
}

QWidget *TProfileDialog::FirstField() const { return ui->edName; }

void TProfileDialog::UpdateTitle() {
    setWindowTitle(FAction == TProfileAction::New ? QStringLiteral("New Profile[*]")
                                                  : QStringLiteral("Profile %1[*]").arg(FStoredName));
}

void TProfileDialog::NameChanged() {
    if (FFrame)
        RunGuarded(this, [this] { SendText(*FFrame, frqProfileName, ui->edName->text()); });
    CheckName();
    UpdateModified();
}

void TProfileDialog::CheckName() {
    const QString name = ui->edName->text();
    QString finding;
    if (name.isEmpty())
        finding = QStringLiteral("The profile needs a name");
    else if (const QString why = CheckAnsiText(name); !why.isEmpty())
        finding = QStringLiteral("The profile's name %1").arg(why);
    else if (FOtherNames.contains(name))
        finding = QStringLiteral("Profile name \"%1\" is already used by another profile").arg(name);
    SetHostFinding(finding);
}

bool TProfileDialog::HostModified() const { return ui->edName->text() != FStoredName; }

bool TProfileDialog::Store() {
    const QString name = ui->edName->text();
    FProfile->setName(TdpNameString::From(name));
    if (FAction == TProfileAction::New) {
        FRead = FDatabase.InsertProfile(FProfile->Record());
    } else if (FDatabase.UpdateProfile(FProfile->Record())) {
        FRead = FProfile->Record();
        ++FRead.Revision;
    } else {
        ShowStale();
        return false;
    }
    FProfile->Reset(FRead);
    FStoredName = name;
    FAction = TProfileAction::Edit;
    UpdateTitle();
    return true;
}

QString TProfileDialog::SaveQuestion() const {
    return FAction == TProfileAction::New ? QStringLiteral("the new profile")
                                          : QStringLiteral("profile \"%1\"").arg(FStoredName);
}

void TProfileDialog::ShowStale() {
    const std::optional<TProfileRecord> now = FDatabase.LoadProfile(FRead.ProfileID);
    QStringList changed;
    if (now) {
        changed = ChangedFields(FRead, *now, ProfileFields(), FrameFields);
        const std::optional<QJsonObject> was = CustomDataSettings(FRead.CustomData, ProfileSettings());
        const std::optional<QJsonObject> is = CustomDataSettings(now->CustomData, ProfileSettings());
        if (was && is) {
            // A setting one of them lacks reads as the model's default, which the frame writes
            // out when it first stores the profile: only settings both hold can tell a change.
            for (const TResolvedPath &path : ProfileSettings())
                if (const QString key = QLatin1String(path.Path());
                    was->contains(key) && is->contains(key) && was->value(key) != is->value(key))
                    changed << FieldLabel(SettingControls.value(key), key);
        } else if (FRead.CustomData != now->CustomData) {
            changed << QStringLiteral("custom data");
        }
        if (!SameOptions(FRead.Options, now->Options))
            changed << QStringLiteral("options");
    }
    SetStale(QStringLiteral("Profile %1").arg(FStoredName), !now, changed);
}

bool TProfileDialog::ReloadObject() {
    const std::optional<TProfileRecord> now = FDatabase.LoadProfile(FRead.ProfileID);
    if (!now) {
        ShowStale();
        return false;
    }
    FRead = *now;
    FProfile->Reset(FRead);
    FStoredName = FRead.Name;
    // The frame hears the name as it shows the profile.
    const QSignalBlocker quiet(ui->edName);
    ui->edName->setText(FStoredName);
    UpdateTitle();
    return true;
}

void TProfileDialog::RestorePage() {
    if (const QString path = FDatabase.LoadProfilePage(FDeviceType); !path.isEmpty())
        SendText(*FFrame, frqSetPagePath, path);
}

void TProfileDialog::RememberPage() {
    if (!FFrame)
        return;
    RunGuarded(this, [this] {
        if (!FFrame->IsDisplaying())
            return;
        intptr_t result = 0;
        if (!FFrame->ProcessRequest(frqGetPagePath, 0, result))
            return;
        auto path = reinterpret_cast<PAnsiStringRef>(result);
        if (const QString text = TakeAnsiStringRef(FFrame, path); !text.isEmpty())
            FDatabase.SaveProfilePage(FDeviceType, text);
    });
}

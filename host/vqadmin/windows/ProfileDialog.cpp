#include "ProfileDialog.h"

#include "DialogPanel.h"
#include "HostFailures.h"
#include "ui_ProfileDialog.h"

namespace {

TProfileRecord WithNewID(TConfigDatabase &Database, TProfileRecord Record) {
    Record.ProfileID = Database.NextProfileID();
    return Record;
}

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
      FProfile(new THostProfile(Database, Action == TProfileAction::New ? WithNewID(Database, Record) : Record)),
      FDeviceType(Module.getDeviceType().Text()), FStoredName(Action == TProfileAction::New ? QString() : Record.Name) {
    ui->setupUi(this);
    Attach({ui->scFrame, ui->lyFrame, ui->imgConflict, ui->stConflict, ui->pnlButtons});
    for (const TProfileRecord &p : Database.LoadProfiles())
        if (p.ProfileID != FProfile->Record().ProfileID)
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
    FDatabase.SaveProfile(FProfile->Record());
    FStoredName = name;
    FAction = TProfileAction::Edit;
    UpdateTitle();
    return true;
}

QString TProfileDialog::SaveQuestion() const {
    return FAction == TProfileAction::New ? QStringLiteral("the new profile")
                                          : QStringLiteral("profile \"%1\"").arg(FStoredName);
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

#include "FrameDialog.h"

#include "DialogPanel.h"
#include "HostFailures.h"

#include <QApplication>
#include <QBoxLayout>
#include <QLabel>
#include <QStyle>

QIcon LevelIcon(TConflictLevel Level) {
    static const QStyle::StandardPixmap icons[] = {QStyle::SP_DialogApplyButton, QStyle::SP_MessageBoxWarning,
                                                   QStyle::SP_MessageBoxCritical};
    return QApplication::style()->standardIcon(icons[Level]);
}

TFrameDialog::TFrameDialog(TConfigDatabase &Database, IDevicePluginModule &Module, QWidget *Parent)
    : QDialog(Parent), FDatabase(Database), FModule(Module), FContainer(new THostFrameContainer(Database)) {}

TFrameDialog::~TFrameDialog() = default;

void TFrameDialog::Attach(const TParts &Parts) {
    FParts = Parts;
    FParts.Panel->OnCancel = [this](QObject *) { reject(); };
    FParts.Panel->OnClose = [this](QObject *) { reject(); };
    FParts.Panel->SetOnApply([this](QObject *) { Apply(); });
    FContainer->OnModified = [this](bool Modified) {
        FFrameModified = Modified;
        UpdateModified();
    };
    FContainer->OnConflict = [this](TConflictLevel Level, bool IsExternal, const QString &Message) {
        FFrameConflict = {Level, IsExternal, Message};
        SetApplyProblem({});
        FrameConflictChanged();
    };
}

void TFrameDialog::FreeFrame() {
    // The frame may report while it hides: nobody listens any more.
    FContainer->OnModified = {};
    FContainer->OnConflict = {};
    if (FFrame)
        RunGuarded(this, [this] {
            if (FFrame->IsDisplaying())
                HideObject();
        });
    FFrame = nullptr;
    // The module made the frame and frees it; it leaves our widgets as it goes.
    if (FFrameWidget)
        RunGuarded(this, [this] { FModule.FreeFrame(FFrameWidget); });
    FFrameWidget = nullptr;
}

bool TFrameDialog::Start() {
    FParts.Panel->SetHasEditRights(CanEdit());
    return RunGuarded(this, [&] {
        FFrameWidget = CreateFrame();
        FFrame = FrameInterface<IPluginFrame>(FFrameWidget);
        if (!FFrame)
            throw Exception(QStringLiteral("The plug-in's frame is not an editing frame"));
        FParts.FrameLayout->addWidget(FFrameWidget);
        ShowObject();
    });
}

TConflictLine TFrameDialog::Conflict() const {
    const QString host = FHostFinding.isEmpty() ? FApplyProblem : FHostFinding;
    if (host.isEmpty())
        return FFrameConflict;
    // The host's is an error, so it leads; the frame's follows rather than hide.
    if (FFrameConflict.Level == clvNone)
        return {clvError, false, host};
    return {clvError, false, host + QStringLiteral("; ") + FFrameConflict.Message};
}

void TFrameDialog::UpdateModified() {
    FModified = FFrameModified || HostModified();
    FParts.Panel->SetChanged(FModified);
    setWindowModified(FModified);
}

void TFrameDialog::SetHostFinding(const QString &Finding) {
    FHostFinding = Finding;
    SetApplyProblem({});
}

void TFrameDialog::SetApplyProblem(const QString &Problem) {
    FApplyProblem = Problem;
    ShowConflictLine();
}

void TFrameDialog::ShowConflictLine() {
    const TConflictLine line = Conflict();
    FParts.ConflictIcon->setPixmap(line.Level == clvNone ? QPixmap() : LevelIcon(line.Level).pixmap(16, 16));
    FParts.ConflictText->setText(line.Message);
    // An input error concerns what was typed, not the object: it reads in italics.
    QFont font = FParts.ConflictText->font();
    font.setItalic(line.Input);
    FParts.ConflictText->setFont(font);
    FParts.ConflictText->setToolTip(line.Input ? QStringLiteral("An entry is incomplete or not valid") : QString());
    FParts.Panel->SetHasConflicts(!FHostFinding.isEmpty());
    // A longer message takes more lines: the shown dialog makes room for them
    // rather than squeeze the frame or the buttons.
    if (isVisible()) {
        FParts.ConflictText->setMinimumHeight(std::max(FParts.ConflictText->heightForWidth(FParts.ConflictText->width()), 0));
        layout()->invalidate();
        if (const int wanted = layout()->totalSizeHint().height(); wanted > height())
            resize(width(), wanted);
    }
}

bool TFrameDialog::Apply() {
    if (!FFrame || !FParts.Panel->CanApply())
        return false;
    bool applied = false;
    if (!RunGuarded(this, [&] { applied = FFrame->ApplyChanges(false); }) || !applied)
        return false; // the frame shows why
    bool stored = false;
    RunGuarded(this, [&] { stored = Store(); });
    // Unstored, the frame's changes count as unapplied although the frame wrote them back.
    FFrameModified = !stored;
    UpdateModified();
    if (!stored) {
        ShowConflictLine();
        return false;
    }
    emit Stored();
    return true;
}

void TFrameDialog::reject() {
    if (FModified) {
        switch (MessageBox(this, QStringLiteral("Save the changes to %1?").arg(SaveQuestion()),
                           windowTitle().remove(QStringLiteral("[*]")), QMessageBox::Question,
                           QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
        case QMessageBox::Yes:
            if (!Apply())
                return;
            break;
        case QMessageBox::No:
            break;
        default:
            return;
        }
    }
    QDialog::reject();
}

void TFrameDialog::Discard() { QDialog::reject(); }

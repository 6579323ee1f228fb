#pragma once
// The profile dialog: the host's own name field above the plug-in's profile
// frame. The frame learns every change of the name (request 3); Apply stores
// the name with what the frame wrote back. The host's own finding is a name
// that is empty or another profile's. The dialog opens on the page it showed
// last for the plug-in's device type (requests 4 and 5), in this run or an
// earlier one.

#include "FrameDialog.h"

#include <memory>

namespace Ui {
class ProfileDialog;
}

enum class TProfileAction { New, Edit };

class TProfileDialog : public TFrameDialog {
    Q_OBJECT
public:
    // Record is the profile to edit, or the first values of the new profile
    // (its device type), which takes its database ID when it is stored.
    TProfileDialog(TConfigDatabase &Database, IDevicePluginModule &Module, TProfileAction Action,
                   const TProfileRecord &Record, QWidget *Parent = nullptr);
    ~TProfileDialog() override;

    TProfileAction Action() const { return FAction; }
    // The database ID of the profile; 0 until a new one is stored.
    int64_t ProfileID() const { return FRead.ProfileID; }

protected:
    QWidget *CreateFrame() override;
    void ShowObject() override;
    void HideObject() override;
    // The default profile is the system's and stays as it is.
    bool CanEdit() override;
    QString ReadOnlyReason() override;
    QWidget *FirstField() const override;
    bool Store() override;
    bool HostModified() const override;
    QString SaveQuestion() const override;
    bool ReloadObject() override;

private:
    void UpdateTitle();
    void NameChanged();
    void CheckName();
    void RestorePage();
    void RememberPage();
    // The profile shown is no longer the one stored: the conflict line says why.
    void ShowStale();

    TProfileAction FAction;
    std::unique_ptr<Ui::ProfileDialog> ui;
    TInterfaceRef<THostProfile> FProfile;
    IPluginProfileFrame *FProfileFrame = nullptr;
    TProfileRecord FRead; // the profile as the dialog read it from the database, or last stored it
    QString FDeviceType; // whose page the dialog remembers
    QString FStoredName;
    QStringList FOtherNames;
};

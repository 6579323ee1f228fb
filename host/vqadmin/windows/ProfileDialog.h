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
    // (its device type), which gets its database ID here.
    TProfileDialog(TConfigDatabase &Database, IDevicePluginModule &Module, TProfileAction Action,
                   const TProfileRecord &Record, QWidget *Parent = nullptr);
    ~TProfileDialog() override;

    TProfileAction Action() const { return FAction; }

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

private:
    void UpdateTitle();
    void NameChanged();
    void CheckName();
    void RestorePage();
    void RememberPage();

    TProfileAction FAction;
    std::unique_ptr<Ui::ProfileDialog> ui;
    TInterfaceRef<THostProfile> FProfile;
    IPluginProfileFrame *FProfileFrame = nullptr;
    QString FDeviceType; // whose page the dialog remembers
    QString FStoredName;
    QStringList FOtherNames;
};

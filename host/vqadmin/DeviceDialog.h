#pragma once
// The device dialog: the plug-in's device frame embedded over one device (or,
// for a new range, over the template of a series of devices), the conflict
// line under it and the Apply/Close/Help strip. The frame edits a copy of the
// device; Apply has the frame write it back and then stores it, in one
// transaction.

#include "FrameContainer.h"

#include <QDialog>
#include <QIcon>

#include <memory>

namespace Ui {
class DeviceDialog;
}
class TDialogPanel;

enum class TDeviceAction { New, Edit, NewRange };

// The mark of a validation level (none, warning, error) in the lists and on
// the conflict line.
QIcon LevelIcon(TConflictLevel Level);

// What the conflict line shows.
struct TConflictLine {
    TConflictLevel Level = clvNone;
    bool Input = false; // an input error of a control rather than a finding about the device
    QString Message;
};

class TDeviceDialog : public QDialog {
    Q_OBJECT
public:
    // Record is the device to edit, or the first values of the new device (its
    // profile). A new device gets its database ID here; a range's pattern has none.
    TDeviceDialog(TConfigDatabase &Database, IDevicePluginModule &Module, TDeviceAction Action,
                  const TDeviceRecord &Record, QWidget *Parent = nullptr);
    ~TDeviceDialog() override;

    // Creates the frame and shows the device in it; false, after telling the
    // user, when the plug-in failed.
    bool Start();

    TDeviceAction Action() const { return FAction; }
    QWidget *Frame() const { return FFrameWidget; }
    TDialogPanel *Panel() const;
    TConflictLine Conflict() const;
    bool Modified() const { return FModified; }

    // What the Apply button does: the frame writes the device back, the host
    // stores it (or creates the range). False when the frame or the host refused.
    bool Apply();
    // Closes the dialog, dropping what was not applied.
    void Discard();

signals:
    // Devices were written to the database.
    void DevicesChanged();

protected:
    // Escape, the window's close button and Close/Cancel come here: with
    // unapplied changes the user chooses to save, discard or stay.
    void reject() override;

private:
    void SetModified(bool Value);
    void UpdateTitle();
    // The host's own finding: the device ID or MAC address shown in the frame
    // belongs to another device.
    void CheckKeys();
    void ShowConflictLine();
    void LoadOtherDevices();
    void SaveDevice();
    // Refused with the reason on the conflict line when any device of the
    // range cannot be created; then nothing is stored.
    bool CreateRange();
    QString RangeProblem(const std::vector<TDeviceRecord> &Devices);

    TConfigDatabase &FDatabase;
    IDevicePluginModule &FModule;
    TDeviceAction FAction;
    std::unique_ptr<Ui::DeviceDialog> ui;
    TInterfaceRef<THostFrameContainer> FContainer;
    TInterfaceRef<THostDevice> FDevice;
    TInterfaceRef<THostProfileList> FProfiles;
    QWidget *FFrameWidget = nullptr;
    IPluginDeviceFrame *FFrame = nullptr;
    bool FModified = false;
    TConflictLine FFrameConflict;   // what the frame reported last
    QString FKeyFinding;            // CheckKeys
    QString FApplyProblem;          // why the last Apply stored nothing
    std::vector<TDeviceRecord> FOtherDevices;
};

#pragma once
// The device dialog: the plug-in's device frame over one device (or, for a
// new range, over the template of a series of devices). The host's own
// finding is a device ID or MAC address that another device uses already.

#include "FrameDialog.h"

#include <memory>

namespace Ui {
class DeviceDialog;
}

enum class TDeviceAction { New, Edit, NewRange };

class TDeviceDialog : public TFrameDialog {
    Q_OBJECT
public:
    // Record is the device to edit, or the first values of the new device (its
    // profile). A new device gets its database ID here; a range's pattern has none.
    TDeviceDialog(TConfigDatabase &Database, IDevicePluginModule &Module, TDeviceAction Action,
                  const TDeviceRecord &Record, QWidget *Parent = nullptr);
    ~TDeviceDialog() override;

    TDeviceAction Action() const { return FAction; }

protected:
    // Follows the frame's LAN IP control being enabled or not.
    bool eventFilter(QObject *Watched, QEvent *Event) override;
    QWidget *CreateFrame() override;
    void ShowObject() override;
    void HideObject() override;
    bool Store() override;
    QString SaveQuestion() const override;
    void FrameConflictChanged() override;

private:
    void UpdateTitle();
    // The host's own finding: the device ID or MAC address shown in the frame
    // belongs to another device.
    void CheckKeys();
    void LoadOtherDevices();
    // A range whose profile gives its phones fixed addresses (the frame's LAN
    // IP control is enabled, though hidden) asks for its first LAN IP address.
    bool TakesFirstIP() const;
    void ShowFirstIP();
    // Refused with the reason on the conflict line when any device of the
    // range cannot be created; then nothing is stored. After it, the dialog closes.
    bool CreateRange();
    QString RangeProblem(const std::vector<TDeviceRecord> &Devices);

    TDeviceAction FAction;
    std::unique_ptr<Ui::DeviceDialog> ui;
    TInterfaceRef<THostDevice> FDevice;
    TInterfaceRef<THostProfileList> FProfiles;
    IPluginDeviceFrame *FDeviceFrame = nullptr;
    std::vector<TDeviceRecord> FOtherDevices;
};

#pragma once
// The device dialog: the plug-in's device frame over one device (or, for a
// new range, over the template of a series of devices). The host's own
// finding is a device ID or MAC address that another device uses already.
// New devices take their database IDs when they are stored.

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
    // profile); a new device and a range's pattern have no database ID.
    TDeviceDialog(TConfigDatabase &Database, IDevicePluginModule &Module, TDeviceAction Action,
                  const TDeviceRecord &Record, QWidget *Parent = nullptr);
    ~TDeviceDialog() override;

    TDeviceAction Action() const { return FAction; }

    // What the last Apply stored: the devices it replaced (as the dialog
    // read them) and the IDs it wrote.
    struct TStored {
        std::vector<TDeviceRecord> Before;
        std::vector<int64_t> IDs;
    };
    const TStored &LastStored() const { return FLastStored; }

protected:
    // Follows the frame's LAN IP control being enabled or not.
    bool eventFilter(QObject *Watched, QEvent *Event) override;
    QWidget *CreateFrame() override;
    void ShowObject() override;
    void HideObject() override;
    bool Store() override;
    QString SaveQuestion() const override;
    bool ReloadObject() override;
    void FrameConflictChanged() override;

private:
    void UpdateTitle();
    // The host's own finding: the device ID or MAC address shown in the frame
    // belongs to another device.
    void CheckKeys();
    // The first device but this one whose Field holds Value; the index
    // answers, whatever the site's size.
    std::optional<TDeviceRecord> OtherDeviceWith(const char *Field, const QString &Value);
    // The device shown is no longer the one stored: the conflict line says why.
    void ShowStale();
    // A range whose profile gives its phones fixed addresses (the frame's LAN
    // IP control is enabled, though hidden) asks for its first LAN IP address.
    bool TakesFirstIP() const;
    void ShowFirstIP();
    // Refused with the reason on the conflict line when any device of the
    // range cannot be created; then nothing is stored. After it, the dialog
    // closes. IDs gets the new devices' database IDs.
    bool CreateRange(std::vector<int64_t> &IDs);
    // Asks the database, within the range's transaction.
    QString RangeProblem(const std::vector<TDeviceRecord> &Devices);

    TDeviceAction FAction;
    std::unique_ptr<Ui::DeviceDialog> ui;
    TInterfaceRef<THostDevice> FDevice;
    TInterfaceRef<THostProfileList> FProfiles;
    IPluginDeviceFrame *FDeviceFrame = nullptr;
    TDeviceRecord FRead; // the device as the dialog read it from the database, or last stored it
    TStored FLastStored;
};

#pragma once
// The host's main window over the configuration database: the profiles and
// the devices, each row marked with the plug-in's verdict on it (the one the
// database keeps, the stale ones judged again as the window opens and after
// each change: in slices between events, with a progress line, when they are
// many), the device
// dialog for new devices, new ranges and edits, the profile dialog, and the
// File menu's import, export and validation. The lists read their rows from
// the database as they show them; the device list can be narrowed by a text
// and to the devices with warnings or errors. What other sessions change, the
// window follows by itself: the rows concerned are judged and read again.

#include "DeviceDialog.h"
#include "validation/ListVerdicts.h"
#include "ProfileDialog.h"
#include "VarnelGrid.h"

#include <QSet>

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

class QLabel;

namespace Ui {
class MainWindow;
}

class TMainWindow : public QMainWindow {
    Q_OBJECT
public:
    TMainWindow(TConfigDatabase &Database, IDevicePluginModule &Module, QWidget *Parent = nullptr);
    ~TMainWindow() override;

    // The lists' columns carry the persistent tags "Name" and "Devices", and
    // "DeviceID", "MAC", "IP" and "Profile".
    TVarnelGrid *Profiles() const;
    TVarnelGrid *Devices() const;
    // The database ID of the profile or device in a row of either list.
    static int64_t RowID(const TVarnelGrid *List, int Row);

    // Open the device dialog as the menu does; null, after telling the user,
    // when it could not be opened. One dialog is open at a time.
    TDeviceDialog *NewDevice(int64_t ProfileID);
    TDeviceDialog *NewRange(int64_t ProfileID);
    TDeviceDialog *EditDevice(int64_t DeviceID);
    TProfileDialog *NewProfile();
    TProfileDialog *EditProfile(int64_t ProfileID);
    // The open dialog, and the same if it is of that kind.
    TFrameDialog *Dialog() const { return FDialog; }
    TDeviceDialog *DeviceDialog() const { return qobject_cast<TDeviceDialog *>(FDialog.data()); }
    TProfileDialog *ProfileDialog() const { return qobject_cast<TProfileDialog *>(FDialog.data()); }
    // The ID of the profile of that name; 0 when there is none.
    int64_t ProfileNamed(const QString &Name);
    // The ID of the first device with that device ID; 0 when there is none.
    int64_t DeviceNamed(const QString &UniqueID);

    // After the user confirmed; true when the device is gone. Refused, with a
    // message, when another session changed it since the list showed it.
    bool DeleteDevice(int64_t DeviceID);
    // Refused, with a message, for the default profile, while devices use the
    // profile, and as DeleteDevice.
    bool DeleteProfile(int64_t ProfileID);
    // Replaces the site with the file's under a progress dialog that can cancel;
    // refused, failed or cancelled, the database is left as it was.
    bool ImportSite(const QString &FileName);
    bool ExportSite(const QString &FileName);
    // Validates the whole site and lists the results in a dialog.
    QDialog *ShowValidation();

    // Judges the whole site again and reads the lists from their start.
    void Refresh();
    // What other sessions changed since the window last looked: the rows
    // concerned, or everything after an import or a long absence. The window
    // calls it on a timer; it reads no row when nothing changed.
    void FollowChanges();
    // Whether stale verdicts are still being judged, in slices.
    bool Judging() const { return FSlices.isActive(); }
    // Narrows the device list as the filter field and the check box do.
    void SetFilter(const TDeviceFilter &Filter);
    // How many rows the list shows, read or not yet: the device list's under its filter.
    int64_t ShownRows(const TVarnelGrid *List);

protected:
    void closeEvent(QCloseEvent *Event) override;

private:
    // Starts and shows the dialog that Make builds, unless a dialog is open already.
    TFrameDialog *OpenDialog(const std::function<TFrameDialog *()> &Make);
    TDeviceDialog *OpenDeviceDialog(TDeviceAction Action, const TDeviceRecord &Record);
    TProfileDialog *OpenProfileDialog(TProfileAction Action, const TProfileRecord &Record);
    // The ID of the current row's object; 0 when there is none.
    int64_t CurrentID(TVarnelGrid *List) const;
    // Reads the lists and judges what is stale.
    void ShowSite();
    // Read the lists from their start, keeping the current row when it comes in the first batch.
    void ReadLists();
    void ReadDevices();
    void ReadList(TVarnelGrid *List, const TVarnelFetch &Fetch);
    QVariant DeviceRow(const TDeviceListRow &Row) const;
    QVariant ProfileRow(const TProfileListRow &Row) const;
    // After a change: reads the rows it touched again, then judges what it made stale.
    void DevicesChanged(const std::vector<TDeviceRecord> &Before, const std::vector<int64_t> &IDs);
    void ProfileChanged(int64_t ProfileID);
    void ReadProfileRows(const QSet<int64_t> &IDs);
    void ReadDeviceRows(const QSet<int64_t> &IDs);
    // Judges the stale verdicts: at once when they are few, else in slices.
    void JudgeStale();
    void JudgeSlice();
    void ShowJudged(const TListVerdicts::TJudged &Judged);
    void ApplyFilter();
    // After the window's own changes: unless another session wrote
    // meanwhile, the change log up to now needs no following.
    void PassOwnChanges();
    // The revision of the object with that ID as the list shows it; Read when the list has no row for it.
    static int64_t ShownRevision(const TVarnelGrid *List, int64_t ID, int64_t Read);
    void TellChanged(const QString &Object, const QString &Title);
    void UpdateStatus();
    void UpdateActions();

    TConfigDatabase &FDatabase;
    IDevicePluginModule &FModule;
    std::unique_ptr<Ui::MainWindow> ui;
    QPointer<TFrameDialog> FDialog;
    TListVerdicts FVerdicts;
    TDeviceFilter FFilter;
    int64_t FSeenVersion = 0; // the database's count of other sessions' commits, last looked at
    int64_t FLastChange = 0;  // the last change of the log the lists show
    QTimer FSlices;
    int64_t FJudged = 0, FStale = 0; // records judged of those stale as the slices began
    QLabel *FProgress;
};

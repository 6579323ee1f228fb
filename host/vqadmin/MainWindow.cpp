#include "MainWindow.h"

#include "Commands.h"
#include "HostFailures.h"
#include "SiteFile.h"
#include "SiteValidation.h"
#include "VQControls.h"
#include "VarnelGrid.h"
#include "ui_MainWindow.h"
#include "ui_ValidationDialog.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QProgressDialog>
#include <QSettings>
#include <QStatusBar>

namespace {

const QString GeometryKey = QStringLiteral("MainWindow/geometry");
const QString SplitterKey = QStringLiteral("MainWindow/splitter");

// A row of the lists: the object's ID, its texts and the verdict on it, whose
// mark shows in the first column and whose message on every column.
struct TListRow {
    int64_t ID = 0;
    QStringList Texts;
    TVerdict Verdict;
};

void AddColumns(TVarnelGrid *List, const QStringList &Captions, const QStringList &Tags) {
    for (int i = 0; i < Captions.size(); ++i) {
        TVarnelColumn column;
        column.Name = column.PersistentTag = Tags[i];
        column.Caption = Captions[i];
        column.GetText = [i](const QVariant &Data) { return Data.value<TListRow>().Texts.value(i); };
        column.GetHint = [](const QVariant &Data) { return Data.value<TListRow>().Verdict.Message; };
        if (i == 0)
            column.GetIcon = [](const QVariant &Data) { return LevelIcon(Data.value<TListRow>().Verdict.Level); };
        List->AddColumn(column);
    }
}

int AddRow(TVarnelGrid *List, int64_t ID, const QStringList &Texts, const TVerdict &Verdict) {
    return List->AddRow(QVariant::fromValue(TListRow{ID, Texts, Verdict}));
}

// The count line of the validate command's report.
QString Summary(const TValidationReport &Report) {
    return ReportText(Report).trimmed().section(QLatin1Char('\n'), -1);
}

QString LevelName(TConflictLevel Level) {
    static const char *const names[] = {"ok", "warning", "error"};
    return QLatin1String(names[Level]);
}

} // namespace

TMainWindow::TMainWindow(TConfigDatabase &Database, IDevicePluginModule &Module, QWidget *Parent)
    : QMainWindow(Parent), FDatabase(Database), FModule(Module), ui(new Ui::MainWindow) {
    ui->setupUi(this);
    setWindowTitle(QStringLiteral("vqadmin - %1").arg(QFileInfo(Database.Path()).fileName()));
    setWindowIcon(QIcon(QStringLiteral(":/vqadmin.svg")));
    ui->spSite->setStretchFactor(1, 2);
    AddColumns(ui->lvProfiles, {QStringLiteral("Profile"), QStringLiteral("Devices")},
               {QStringLiteral("Name"), QStringLiteral("Devices")});
    AddColumns(ui->lvDevices,
               {QStringLiteral("Device ID"), QStringLiteral("MAC Address"), QStringLiteral("LAN IP"),
                QStringLiteral("Profile")},
               {QStringLiteral("DeviceID"), QStringLiteral("MAC"), QStringLiteral("IP"), QStringLiteral("Profile")});

    const auto profileForNew = [this] {
        if (const int64_t id = CurrentID(ui->lvProfiles))
            return id;
        if (ui->lvProfiles->RowCount() > 0)
            return RowID(ui->lvProfiles, 0);
        MessageBox(this, QStringLiteral("There is no profile for a new device: import a site first."),
                   QStringLiteral("vqadmin"), QMessageBox::Information);
        return int64_t(0);
    };
    connect(ui->actNewDevice, &QAction::triggered, this, [this, profileForNew] {
        if (const int64_t id = profileForNew())
            NewDevice(id);
    });
    connect(ui->actNewRange, &QAction::triggered, this, [this, profileForNew] {
        if (const int64_t id = profileForNew())
            NewRange(id);
    });
    connect(ui->actEditDevice, &QAction::triggered, this, [this] { EditDevice(CurrentID(ui->lvDevices)); });
    connect(ui->lvDevices, &QAbstractItemView::activated, this, [this] { EditDevice(CurrentID(ui->lvDevices)); });
    connect(ui->actDeleteDevice, &QAction::triggered, this, [this] { DeleteDevice(CurrentID(ui->lvDevices)); });
    connect(ui->lvDevices->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &Current) {
                ui->actEditDevice->setEnabled(Current.isValid());
                ui->actDeleteDevice->setEnabled(Current.isValid());
            });
    connect(ui->actNewProfile, &QAction::triggered, this, &TMainWindow::NewProfile);
    connect(ui->actEditProfile, &QAction::triggered, this, [this] { EditProfile(CurrentID(ui->lvProfiles)); });
    connect(ui->lvProfiles, &QAbstractItemView::activated, this, [this] { EditProfile(CurrentID(ui->lvProfiles)); });
    connect(ui->actDeleteProfile, &QAction::triggered, this, [this] { DeleteProfile(CurrentID(ui->lvProfiles)); });
    connect(ui->lvProfiles->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &Current) {
                ui->actEditProfile->setEnabled(Current.isValid());
                ui->actDeleteProfile->setEnabled(Current.isValid());
            });
    connect(ui->actImport, &QAction::triggered, this, [this] {
        const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("Import Site"), {},
                                                          QStringLiteral("Site files (*.json);;All files (*)"));
        if (!file.isEmpty())
            ImportSite(file);
    });
    connect(ui->actExport, &QAction::triggered, this, [this] {
        const QString file = QFileDialog::getSaveFileName(this, QStringLiteral("Export Site"), {},
                                                          QStringLiteral("Site files (*.json);;All files (*)"));
        if (!file.isEmpty())
            ExportSite(file);
    });
    connect(ui->actValidate, &QAction::triggered, this, &TMainWindow::ShowValidation);
    connect(ui->actQuit, &QAction::triggered, this, &QWidget::close);

    const QSettings settings;
    restoreGeometry(settings.value(GeometryKey).toByteArray());
    ui->spSite->restoreState(settings.value(SplitterKey).toByteArray());
    Refresh();
}

TMainWindow::~TMainWindow() {
    // The dialog's frame goes back to the module while the module is there.
    delete FDialog;
}

TVarnelGrid *TMainWindow::Profiles() const { return ui->lvProfiles; }
TVarnelGrid *TMainWindow::Devices() const { return ui->lvDevices; }

int64_t TMainWindow::RowID(const TVarnelGrid *List, int Row) { return List->RowData(Row).value<TListRow>().ID; }

int64_t TMainWindow::CurrentID(TVarnelGrid *List) const { return List->Row() >= 0 ? RowID(List, List->Row()) : 0; }

void TMainWindow::Refresh() {
    const int64_t currentProfile = CurrentID(ui->lvProfiles);
    const int64_t currentDevice = CurrentID(ui->lvDevices);
    ui->lvProfiles->ClearRows();
    ui->lvDevices->ClearRows();
    RunGuarded(this, [&] {
        const TValidationReport report = ValidateSite(FDatabase, FModule);
        const std::vector<TProfileRecord> profiles = FDatabase.LoadProfiles();
        std::vector<TDeviceRecord> devices = FDatabase.LoadDevices();
        // The report's order: by profile in ProfileID order, the devices without one
        // last, DeviceID order within.
        QHash<int64_t, std::size_t> rank;
        QHash<int64_t, int> deviceCount;
        for (std::size_t i = 0; i < profiles.size(); ++i)
            rank.insert(profiles[i].ProfileID, i);
        std::stable_sort(devices.begin(), devices.end(), [&](const TDeviceRecord &a, const TDeviceRecord &b) {
            return rank.value(a.ProfileID, profiles.size()) < rank.value(b.ProfileID, profiles.size());
        });
        for (std::size_t i = 0; i < devices.size(); ++i) {
            const TDeviceRecord &d = devices[i];
            ++deviceCount[d.ProfileID];
            const QString profile = rank.contains(d.ProfileID) ? profiles[rank[d.ProfileID]].Name : QString();
            const int row = AddRow(ui->lvDevices, d.DeviceID,
                                   {d.UniqueID, MACToText(d.MacAddress), IPText(d.AssignedIP), profile},
                                   report.Devices.at(i));
            if (d.DeviceID == currentDevice)
                ui->lvDevices->SelectRow(row);
        }
        for (std::size_t i = 0; i < profiles.size(); ++i) {
            const TProfileRecord &p = profiles[i];
            const int row = AddRow(ui->lvProfiles, p.ProfileID, {p.Name, QString::number(deviceCount.value(p.ProfileID))},
                                   report.Profiles.at(i));
            if (p.ProfileID == currentProfile)
                ui->lvProfiles->SelectRow(row);
        }
        statusBar()->showMessage(Summary(report));
    });
    for (TVarnelGrid *list : {ui->lvProfiles, ui->lvDevices})
        for (int i = 0; i < list->ColumnCount(); ++i)
            list->resizeColumnToContents(i);
    ui->actEditDevice->setEnabled(ui->lvDevices->Row() >= 0);
    ui->actDeleteDevice->setEnabled(ui->lvDevices->Row() >= 0);
    ui->actEditProfile->setEnabled(CurrentID(ui->lvProfiles) != 0);
    ui->actDeleteProfile->setEnabled(CurrentID(ui->lvProfiles) != 0);
}

TFrameDialog *TMainWindow::OpenDialog(const std::function<TFrameDialog *()> &Make) {
    if (FDialog) {
        FDialog->activateWindow();
        return nullptr;
    }
    TFrameDialog *dialog = nullptr;
    if (!RunGuarded(this, [&] { dialog = Make(); }))
        return nullptr;
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &TFrameDialog::Stored, this, &TMainWindow::Refresh);
    if (!dialog->Start()) {
        delete dialog;
        return nullptr;
    }
    FDialog = dialog;
    dialog->open();
    return dialog;
}

TDeviceDialog *TMainWindow::OpenDeviceDialog(TDeviceAction Action, const TDeviceRecord &Record) {
    return static_cast<TDeviceDialog *>(
        OpenDialog([&] { return new TDeviceDialog(FDatabase, FModule, Action, Record, this); }));
}

TDeviceDialog *TMainWindow::NewDevice(int64_t ProfileID) {
    TDeviceRecord record;
    record.ProfileID = ProfileID;
    return OpenDeviceDialog(TDeviceAction::New, record);
}

TDeviceDialog *TMainWindow::NewRange(int64_t ProfileID) {
    TDeviceRecord record;
    record.ProfileID = ProfileID;
    return OpenDeviceDialog(TDeviceAction::NewRange, record);
}

TDeviceDialog *TMainWindow::EditDevice(int64_t DeviceID) {
    std::optional<TDeviceRecord> record;
    if (!RunGuarded(this, [&] { record = FDatabase.LoadDevice(DeviceID); }) || !record)
        return nullptr;
    return OpenDeviceDialog(TDeviceAction::Edit, *record);
}

bool TMainWindow::DeleteDevice(int64_t DeviceID) {
    std::optional<TDeviceRecord> record;
    if (!RunGuarded(this, [&] { record = FDatabase.LoadDevice(DeviceID); }) || !record)
        return false;
    if (MessageBox(this, QStringLiteral("Delete device \"%1\"?").arg(record->UniqueID), QStringLiteral("Delete Device"),
                   QMessageBox::Question, QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return false;
    const bool deleted = RunGuarded(this, [&] { FDatabase.DeleteDevice(DeviceID); });
    Refresh();
    return deleted;
}

TProfileDialog *TMainWindow::OpenProfileDialog(TProfileAction Action, const TProfileRecord &Record) {
    return static_cast<TProfileDialog *>(
        OpenDialog([&] { return new TProfileDialog(FDatabase, FModule, Action, Record, this); }));
}

TProfileDialog *TMainWindow::NewProfile() {
    TProfileRecord record;
    if (!RunGuarded(this, [&] { record.DeviceType = FModule.getDeviceType().Text(); }))
        return nullptr;
    return OpenProfileDialog(TProfileAction::New, record);
}

TProfileDialog *TMainWindow::EditProfile(int64_t ProfileID) {
    std::optional<TProfileRecord> record;
    if (!RunGuarded(this, [&] { record = FDatabase.LoadProfile(ProfileID); }) || !record)
        return nullptr;
    return OpenProfileDialog(TProfileAction::Edit, *record);
}

int64_t TMainWindow::ProfileNamed(const QString &Name) {
    int64_t id = 0;
    RunGuarded(this, [&] {
        for (const TProfileRecord &p : FDatabase.LoadProfiles())
            if (p.Name == Name)
                id = p.ProfileID;
    });
    return id;
}

bool TMainWindow::DeleteProfile(int64_t ProfileID) {
    std::optional<TProfileRecord> record;
    int64_t devices = 0;
    if (!RunGuarded(this, [&] {
            record = FDatabase.LoadProfile(ProfileID);
            devices = FDatabase.CountDevicesOf(ProfileID);
        }) ||
        !record)
        return false;
    const QString title = QStringLiteral("Delete Profile");
    if (record->IsDefault) {
        MessageBox(this, QStringLiteral("Profile \"%1\" is the default profile and cannot be deleted.").arg(record->Name),
                   title, QMessageBox::Information);
        return false;
    }
    if (devices > 0) {
        MessageBox(this,
                   QStringLiteral("Profile \"%1\" cannot be deleted: %2 %3 it. Give %4 another profile first.")
                       .arg(record->Name)
                       .arg(devices)
                       .arg(devices == 1 ? QStringLiteral("device uses") : QStringLiteral("devices use"),
                            devices == 1 ? QStringLiteral("that device") : QStringLiteral("those devices")),
                   title, QMessageBox::Information);
        return false;
    }
    if (MessageBox(this, QStringLiteral("Delete profile \"%1\"?").arg(record->Name), title, QMessageBox::Question,
                   QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return false;
    const bool deleted = RunGuarded(this, [&] { FDatabase.DeleteProfile(ProfileID); });
    Refresh();
    return deleted;
}

bool TMainWindow::ImportSite(const QString &FileName) {
    // The user's Cancel, raised out of the import so that its transaction rolls back.
    struct ECancelled {};
    QString imported; // what the status bar says when it is done
    RunGuarded(this, [&] {
        QFile file(FileName);
        if (!file.open(QIODevice::ReadOnly))
            throw Exception(FileName + QStringLiteral(": cannot read: ") + file.errorString());
        constexpr int Steps = 1000;
        QProgressDialog progress(QStringLiteral("Importing %1…").arg(QFileInfo(FileName).fileName()),
                                 QStringLiteral("Cancel"), 0, Steps, this);
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(0);
        progress.setValue(0);
        const qint64 size = std::max<qint64>(file.size(), 1);
        try {
            const TImported site = ::ImportSite(FDatabase, file, [&] {
                // Below the maximum until the end: reaching it would reset the dialog and forget a Cancel.
                progress.setValue(int(std::min<qint64>(file.pos() * Steps / size, Steps - 1)));
                QCoreApplication::processEvents(); // the Cancel button, also while the value stands still
                if (progress.wasCanceled())
                    throw ECancelled{};
            });
            imported = QStringLiteral("Imported %1 profiles and %2 devices from %3")
                           .arg(site.Profiles)
                           .arg(site.Devices)
                           .arg(FileName);
        } catch (const ECancelled &) {
        } catch (const ESiteFile &e) {
            throw ESiteFile(FileName + QStringLiteral(": ") + e.Message());
        }
    });
    Refresh();
    if (!imported.isEmpty())
        statusBar()->showMessage(imported);
    return !imported.isEmpty();
}

bool TMainWindow::ExportSite(const QString &FileName) {
    const bool exported = RunGuarded(this, [&] { CommandExport(FDatabase.Path(), FileName); });
    if (exported)
        statusBar()->showMessage(QStringLiteral("Exported the site to %1").arg(FileName));
    return exported;
}

QDialog *TMainWindow::ShowValidation() {
    TValidationReport report;
    if (!RunGuarded(this, [&] { report = ValidateSite(FDatabase, FModule); }))
        return nullptr;
    auto *dialog = new QDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    Ui::ValidationDialog form;
    form.setupUi(dialog);
    const auto add = [&](const QString &Object, const QString &Profile, const TVerdict &Verdict) {
        auto *item = new QTreeWidgetItem(form.lvResults, {Object, Profile, LevelName(Verdict.Level), Verdict.Message});
        item->setIcon(2, LevelIcon(Verdict.Level));
        item->setToolTip(3, Verdict.Message);
    };
    for (const TVerdict &v : report.Profiles)
        add(QStringLiteral("profile \"%1\"").arg(v.Object), {}, v);
    for (const TVerdict &v : report.Devices)
        add(QStringLiteral("device \"%1\"").arg(v.Object), v.Profile.value_or(QString()), v);
    for (int i = 0; i < form.lvResults->columnCount() - 1; ++i)
        form.lvResults->resizeColumnToContents(i);
    form.stSummary->setText(Summary(report));
    dialog->show();
    Refresh();
    return dialog;
}

void TMainWindow::closeEvent(QCloseEvent *Event) {
    // The open dialog closes first, as its user decides: one with unapplied
    // changes asks, and Cancel there keeps both open.
    if (FDialog && !FDialog->close()) {
        Event->ignore();
        return;
    }
    QSettings settings;
    settings.setValue(GeometryKey, saveGeometry());
    settings.setValue(SplitterKey, ui->spSite->saveState());
    QMainWindow::closeEvent(Event);
}

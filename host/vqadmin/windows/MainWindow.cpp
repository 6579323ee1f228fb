#include "MainWindow.h"

#include "commandline/Commands.h"
#include "HostFailures.h"
#include "plugin/PluginLibrary.h"
#include "sitefile/SiteFile.h"
#include "validation/SiteValidation.h"
#include "VQControls.h"
#include "VarnelGrid.h"
#include "ui_MainWindow.h"
#include "ui_ValidationDialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QProgressDialog>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>

#include <array>
#include <map>
#include <set>

namespace {

const QString GeometryKey = QStringLiteral("MainWindow/geometry");
const QString SplitterKey = QStringLiteral("MainWindow/splitter");

// Rows the lists read at a time: a few screens.
constexpr int ListBatch = 256;
// How often the window looks for what other sessions changed.
constexpr int FollowMs = 500;
// Stale verdicts judged at once, in a moment; more are judged in slices of
// this many milliseconds between events.
constexpr int FewStale = 2000;
constexpr int SliceMs = 50;

// A row of the lists: the object's ID (and a device's profile), its texts and
// the verdict on it, whose mark shows in the first column and whose message
// on every column.
struct TListRow {
    int64_t ID = 0;
    int64_t Revision = 0; // as the list read it
    int64_t ProfileID = 0;
    QStringList Texts;
    TVerdict Verdict;
};

// The level icons by level, made once for many rows: the style makes each
// anew from its image files.
std::array<QIcon, 3> LevelMarks() { return {LevelIcon(clvNone), LevelIcon(clvWarning), LevelIcon(clvError)}; }

void AddColumns(TVarnelGrid *List, const QStringList &Captions, const QStringList &Tags) {
    const std::array<QIcon, 3> marks = LevelMarks();
    for (int i = 0; i < Captions.size(); ++i) {
        TVarnelColumn column;
        column.Name = column.PersistentTag = Tags[i];
        column.Caption = Captions[i];
        column.GetText = [i](const QVariant &Data) { return Data.value<TListRow>().Texts.value(i); };
        column.GetHint = [](const QVariant &Data) { return Data.value<TListRow>().Verdict.Message; };
        if (i == 0)
            column.GetIcon = [marks](const QVariant &Data) { return marks[Data.value<TListRow>().Verdict.Level]; };
        List->AddColumn(column);
    }
}

// The first row whose ID is not below ID: the lists are in ID order.
int LowerRow(const TVarnelGrid *List, int64_t ID) {
    int low = 0, high = List->RowCount();
    while (low < high) {
        const int middle = (low + high) / 2;
        if (TMainWindow::RowID(List, middle) < ID)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

// Reads the rows of the IDs again through Read, which has none for an object
// that is gone or no longer shown: those leave, the others come in their
// place. Objects after the last row read wait for their batch.
void ReadRows(TVarnelGrid *List, const QSet<int64_t> &IDs, const std::function<std::optional<QVariant>(int64_t)> &Read) {
    const int64_t last = List->RowCount() > 0 ? TMainWindow::RowID(List, List->RowCount() - 1) : 0;
    QList<int64_t> ids(IDs.begin(), IDs.end());
    std::sort(ids.begin(), ids.end());
    for (const int64_t id : ids) {
        if (id > last && List->CanFetchMore())
            break;
        const int row = LowerRow(List, id);
        const bool shown = row < List->RowCount() && TMainWindow::RowID(List, row) == id;
        const std::optional<QVariant> data = Read(id);
        if (data && shown)
            List->SetRowData(row, *data);
        else if (data)
            List->InsertRow(row, *data);
        else if (shown)
            List->DeleteRow(row);
    }
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
    : QMainWindow(Parent), FDatabase(Database), FModule(Module), ui(new Ui::MainWindow),
      FVerdicts(Database, Module, ModuleBasis(Module)), FProgress(new QLabel(this)) {
    ui->setupUi(this);
    FProgress->setObjectName(QStringLiteral("stProgress"));
    statusBar()->addPermanentWidget(FProgress);
    FProgress->hide();
    FSlices.setSingleShot(true);
    FSlices.setInterval(0);
    connect(&FSlices, &QTimer::timeout, this, &TMainWindow::JudgeSlice);
    setWindowTitle(QStringLiteral("vqadmin - %1")
                       .arg(IsServerAddress(Database.Path()) ? Database.Path() : QFileInfo(Database.Path()).fileName()));
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
    connect(ui->edFilter, &QLineEdit::textChanged, this, &TMainWindow::ApplyFilter);
    connect(ui->chbFlaggedOnly, &QCheckBox::toggled, this, &TMainWindow::ApplyFilter);
    connect(ui->actValidate, &QAction::triggered, this, &TMainWindow::ShowValidation);
    connect(ui->actQuit, &QAction::triggered, this, &QWidget::close);

    const QSettings settings;
    restoreGeometry(settings.value(GeometryKey).toByteArray());
    ui->spSite->restoreState(settings.value(SplitterKey).toByteArray());
    RunGuarded(this, [&] {
        FSeenVersion = FDatabase.Changes();
        FLastChange = FDatabase.LastChange();
        FVerdicts.Start();
    });
    ShowSite();
    auto *follow = new QTimer(this);
    connect(follow, &QTimer::timeout, this, &TMainWindow::FollowChanges);
    follow->start(FollowMs);
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
    RunGuarded(this, [&] { FVerdicts.MarkAllStale(); });
    ShowSite();
}

void TMainWindow::ShowSite() {
    ReadLists();
    JudgeStale();
}

void TMainWindow::JudgeStale() {
    FSlices.stop();
    TListVerdicts::TJudged judged;
    RunGuarded(this, [&] {
        FVerdicts.Rewind();
        if (FVerdicts.CountStale(FewStale + 1) <= FewStale) {
            FVerdicts.JudgeStale(QDeadlineTimer::Forever, judged);
            return;
        }
        FJudged = 0;
        FStale = FVerdicts.CountStale();
        FSlices.start();
    });
    ShowJudged(judged);
}

void TMainWindow::JudgeSlice() {
    TListVerdicts::TJudged judged;
    RunGuarded(this, [&] {
        if (FVerdicts.JudgeStale(QDeadlineTimer(SliceMs), judged))
            FSlices.start();
    });
    FJudged += int64_t(judged.Profiles.size() + judged.Devices.size());
    ShowJudged(judged);
}

void TMainWindow::ShowJudged(const TListVerdicts::TJudged &Judged) {
    RunGuarded(this, [&] {
        ReadProfileRows(QSet<int64_t>(Judged.Profiles.begin(), Judged.Profiles.end()));
        ReadDeviceRows(QSet<int64_t>(Judged.Devices.begin(), Judged.Devices.end()));
    });
    UpdateActions();
    UpdateStatus();
}

void TMainWindow::FollowChanges() {
    int64_t version = FSeenVersion;
    TConfigDatabase::TChanged changed;
    RunGuarded(this, [&] {
        version = FDatabase.Changes();
        if (version != FSeenVersion)
            changed = FDatabase.ChangedAfter(FLastChange);
    });
    if (version == FSeenVersion)
        return;
    FSeenVersion = version;
    FLastChange = changed.Last;
    if (changed.Whole) {
        ShowSite();
        return;
    }
    if (!changed.Devices.empty())
        DevicesChanged({}, changed.Devices);
    for (const int64_t id : std::set<int64_t>(changed.Profiles.begin(), changed.Profiles.end()))
        ProfileChanged(id);
}

void TMainWindow::PassOwnChanges() {
    RunGuarded(this, [&] {
        if (FDatabase.Changes() == FSeenVersion)
            FLastChange = FDatabase.LastChange();
    });
}

void TMainWindow::ReadLists() {
    ReadList(ui->lvProfiles, [this](const QVariant &Last, int Count) {
        QList<QVariant> rows;
        for (const TProfileListRow &r : FDatabase.ProfileListRows(Last.value<TListRow>().ID, Count))
            rows << ProfileRow(r);
        return rows;
    });
    ReadDevices();
}

void TMainWindow::ReadDevices() {
    ReadList(ui->lvDevices, [this](const QVariant &Last, int Count) {
        QList<QVariant> rows;
        for (const TDeviceListRow &r : FDatabase.DeviceListRows(FFilter, Last.value<TListRow>().ID, Count))
            rows << DeviceRow(r);
        return rows;
    });
    UpdateActions();
    UpdateStatus();
}

void TMainWindow::ReadList(TVarnelGrid *List, const TVarnelFetch &Fetch) {
    const int64_t current = CurrentID(List);
    // The list calls it as the user scrolls: a failure is told there.
    List->SetFetch(
        [this, Fetch](const QVariant &Last, int Count) {
            QList<QVariant> rows;
            RunGuarded(this, [&] { rows = Fetch(Last, Count); });
            return rows;
        },
        ListBatch);
    if (const int row = LowerRow(List, current); row < List->RowCount() && RowID(List, row) == current)
        List->SelectRow(row);
    for (int i = 0; i < List->ColumnCount(); ++i)
        List->resizeColumnToContents(i);
}

QVariant TMainWindow::DeviceRow(const TDeviceListRow &Row) const {
    const TVerdict verdict = FVerdicts.Device({Row.UniqueID, {}, Row.Level, Row.Message, Row.DeviceID});
    return QVariant::fromValue(
        TListRow{Row.DeviceID, Row.Revision, Row.ProfileID, {Row.UniqueID, Row.MAC, Row.IP, Row.Profile}, verdict});
}

QVariant TMainWindow::ProfileRow(const TProfileListRow &Row) const {
    const TVerdict verdict = FVerdicts.Profile({Row.Name, {}, Row.Level, Row.Message, Row.ProfileID});
    return QVariant::fromValue(TListRow{Row.ProfileID, Row.Revision, 0, {Row.Name, QString::number(Row.Devices)}, verdict});
}

void TMainWindow::ApplyFilter() {
    FFilter = {ui->edFilter->text().trimmed(), ui->chbFlaggedOnly->isChecked()};
    ReadDevices();
}

void TMainWindow::SetFilter(const TDeviceFilter &Filter) {
    ui->edFilter->setText(Filter.Text);
    ui->chbFlaggedOnly->setChecked(Filter.FlaggedOnly);
}

int64_t TMainWindow::ShownRows(const TVarnelGrid *List) {
    int64_t count = 0;
    RunGuarded(this, [&] {
        count = List == ui->lvDevices ? FDatabase.CountDeviceListRows(FFilter) : FDatabase.CountProfiles();
    });
    return count;
}

// The database has marked what the change makes stale: the rows it touched
// are read again, then what it made stale is judged.
void TMainWindow::DevicesChanged(const std::vector<TDeviceRecord> &Before, const std::vector<int64_t> &IDs) {
    RunGuarded(this, [&] {
        // The profiles whose device counts changed: counting a large profile's
        // devices costs as much as the profile is large.
        std::map<int64_t, int64_t> before; // device -> profile
        for (const TDeviceRecord &d : Before)
            before[d.DeviceID] = d.ProfileID;
        QSet<int64_t> profiles;
        for (const int64_t id : IDs) {
            const std::optional<TDeviceListRow> row = FDatabase.DeviceListRow({}, id);
            const auto was = before.find(id);
            const std::optional<int64_t> then = was != before.end() ? std::optional(was->second) : std::nullopt;
            const std::optional<int64_t> now = row ? std::optional(row->ProfileID) : std::nullopt;
            if (then != now)
                for (const std::optional<int64_t> &p : {then, now})
                    if (p)
                        profiles.insert(*p);
        }
        ReadDeviceRows(QSet<int64_t>(IDs.begin(), IDs.end()));
        ReadProfileRows(profiles);
    });
    PassOwnChanges();
    JudgeStale();
}

void TMainWindow::ProfileChanged(int64_t ProfileID) {
    RunGuarded(this, [&] { ReadProfileRows({ProfileID}); });
    PassOwnChanges();
    JudgeStale();
}

void TMainWindow::ReadDeviceRows(const QSet<int64_t> &IDs) {
    ReadRows(ui->lvDevices, IDs, [this](int64_t ID) {
        const std::optional<TDeviceListRow> row = FDatabase.DeviceListRow(FFilter, ID);
        return row ? std::optional(DeviceRow(*row)) : std::nullopt;
    });
}

void TMainWindow::ReadProfileRows(const QSet<int64_t> &IDs) {
    ReadRows(ui->lvProfiles, IDs, [this](int64_t ID) {
        const std::optional<TProfileListRow> row = FDatabase.ProfileListRow(ID);
        return row ? std::optional(ProfileRow(*row)) : std::nullopt;
    });
}

void TMainWindow::UpdateStatus() {
    RunGuarded(this, [&] {
        QString text = CountLine(FDatabase.CountProfiles(), FDatabase.CountDevices(),
                                 FDatabase.CountVerdicts(clvError), FDatabase.CountVerdicts(clvWarning));
        if (!FFilter.Text.isEmpty() || FFilter.FlaggedOnly)
            text += QStringLiteral("; the device list shows %1").arg(FDatabase.CountDeviceListRows(FFilter));
        statusBar()->showMessage(text);
    });
    const QLocale english(QLocale::English);
    FProgress->setText(QStringLiteral("Checking the site: %1 of %2")
                           .arg(english.toString(qlonglong(FJudged)), english.toString(qlonglong(FStale))));
    FProgress->setVisible(Judging());
}

void TMainWindow::UpdateActions() {
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
    if (!dialog->Start()) {
        delete dialog;
        return nullptr;
    }
    FDialog = dialog;
    dialog->open();
    return dialog;
}

TDeviceDialog *TMainWindow::OpenDeviceDialog(TDeviceAction Action, const TDeviceRecord &Record) {
    auto *dialog = static_cast<TDeviceDialog *>(
        OpenDialog([&] { return new TDeviceDialog(FDatabase, FModule, Action, Record, this); }));
    if (dialog)
        connect(dialog, &TFrameDialog::Stored, this,
                [this, dialog] { DevicesChanged(dialog->LastStored().Before, dialog->LastStored().IDs); });
    return dialog;
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

int64_t TMainWindow::ShownRevision(const TVarnelGrid *List, int64_t ID, int64_t Read) {
    const int row = LowerRow(List, ID);
    return row < List->RowCount() && RowID(List, row) == ID ? List->RowData(row).value<TListRow>().Revision : Read;
}

void TMainWindow::TellChanged(const QString &Object, const QString &Title) {
    MessageBox(this,
               QStringLiteral("%1 was changed by another session since the list showed it: it was not deleted.")
                   .arg(Object),
               Title, QMessageBox::Information);
}

bool TMainWindow::DeleteDevice(int64_t DeviceID) {
    std::optional<TDeviceRecord> record;
    if (!RunGuarded(this, [&] { record = FDatabase.LoadDevice(DeviceID); }) || !record)
        return false;
    const QString title = QStringLiteral("Delete Device");
    const int64_t revision = ShownRevision(ui->lvDevices, DeviceID, record->Revision);
    if (MessageBox(this, QStringLiteral("Delete device \"%1\"?").arg(record->UniqueID), title, QMessageBox::Question,
                   QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return false;
    bool deleted = false;
    RunGuarded(this, [&] { deleted = FDatabase.DeleteDevice(DeviceID, revision); });
    DevicesChanged({*record}, {DeviceID});
    if (!deleted)
        TellChanged(QStringLiteral("Device \"%1\"").arg(record->UniqueID), title);
    return deleted;
}

TProfileDialog *TMainWindow::OpenProfileDialog(TProfileAction Action, const TProfileRecord &Record) {
    auto *dialog = static_cast<TProfileDialog *>(
        OpenDialog([&] { return new TProfileDialog(FDatabase, FModule, Action, Record, this); }));
    if (dialog)
        connect(dialog, &TFrameDialog::Stored, this, [this, dialog] { ProfileChanged(dialog->ProfileID()); });
    return dialog;
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

int64_t TMainWindow::DeviceNamed(const QString &UniqueID) {
    int64_t id = 0;
    RunGuarded(this, [&] {
        const std::vector<TDeviceRecord> devices = FDatabase.DevicesWith("UniqueID", UniqueID);
        id = devices.empty() ? 0 : devices.front().DeviceID;
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
    const int64_t revision = ShownRevision(ui->lvProfiles, ProfileID, record->Revision);
    if (MessageBox(this, QStringLiteral("Delete profile \"%1\"?").arg(record->Name), title, QMessageBox::Question,
                   QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return false;
    bool deleted = false;
    const bool ran = RunGuarded(this, [&] { deleted = FDatabase.DeleteProfile(ProfileID, revision); });
    ProfileChanged(ProfileID);
    if (ran && !deleted)
        TellChanged(QStringLiteral("Profile \"%1\"").arg(record->Name), title);
    return deleted;
}

bool TMainWindow::ImportSite(const QString &FileName) {
    // The user's Cancel, raised out of the import so that its transaction rolls back.
    struct ECancelled {};
    QString imported; // what the status bar says when it is done
    // The slices wait while the progress dialog lets events through: the
    // import replaces what they judge, and the indexes they read go until
    // its end. ShowSite takes them up again.
    FSlices.stop();
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
    PassOwnChanges();
    ShowSite();
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
    // The lists' verdicts come from the same run.
    struct TCollector : TVerdictSink {
        void Profile(const TVerdict &Verdict) override { Report.Profiles.push_back(Verdict); }
        void Device(const TVerdict &Verdict) override { Report.Devices.push_back(Verdict); }
        TValidationReport Report;
    } collector;
    FSlices.stop();
    const bool judged = RunGuarded(this, [&] { FVerdicts.JudgeSite(&collector); });
    ReadLists();
    if (!judged)
        return nullptr;
    const TValidationReport &report = collector.Report;
    auto *dialog = new QDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    Ui::ValidationDialog form;
    form.setupUi(dialog);
    const std::array<QIcon, 3> marks = LevelMarks();
    const auto add = [&](const QString &Object, const QString &Profile, const TVerdict &Verdict) {
        auto *item = new QTreeWidgetItem(form.lvResults, {Object, Profile, LevelName(Verdict.Level), Verdict.Message});
        item->setIcon(2, marks[Verdict.Level]);
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

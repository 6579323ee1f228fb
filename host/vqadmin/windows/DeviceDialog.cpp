#include "DeviceDialog.h"

#include "DialogPanel.h"
#include "HostFailures.h"
#include "ui_DeviceDialog.h"

#include <QLineEdit>

namespace {

// The frame's controls whose texts the host checks against the other devices.
const QString UniqueIDControl = QStringLiteral("edUniqueID");
const QString MACAddressControl = QStringLiteral("edMACAddress");
// A range's start number, which the host reads.
const QString StartNumberControl = QStringLiteral("vqseStartNumber");
// The frame's LAN IP address, enabled while the profile gives its phones fixed addresses.
const QString LANIPControl = QStringLiteral("vqipIP");

uint64_t MACNumber(const TdpMACAddress &MAC) {
    uint64_t n = 0;
    for (uint8_t byte : MAC.mac)
        n = n << 8 | byte;
    return n;
}

TdpMACAddress MACFromNumber(uint64_t Number) {
    TdpMACAddress mac{};
    for (int i = 5; i >= 0; --i, Number >>= 8)
        mac.mac[i] = uint8_t(Number);
    return mac;
}

constexpr uint64_t LastMAC = (uint64_t(1) << 48) - 1;
constexpr uint64_t LastIPv4 = (uint64_t(1) << 32) - 1;

// Why a range of Count devices cannot start at the LAN IP address Text (IP
// when it parses); empty when it can.
QString FirstIPProblem(const QString &Text, const std::optional<TIPAddressRec> &IP, int Count) {
    if (Text.isEmpty())
        return QStringLiteral("First LAN IP address is empty");
    if (!IP || IP->version != 4)
        return QStringLiteral("Invalid first LAN IP address");
    if (IP->ip4 + uint64_t(Count) - 1 > LastIPv4)
        return QStringLiteral("The range runs past the last LAN IP address");
    return {};
}

// The fields the device frame shows, in its order, by the controls that show them.
const std::vector<std::pair<const char *, QString>> FrameFields = {
    {"ProfileID", QStringLiteral("cbProfile")},     {"UniqueID", UniqueIDControl},
    {"MacAddress", MACAddressControl},              {"AssignedIP", LANIPControl},
    {"ProxyPassword", QStringLiteral("edProxyPassword")},
};

} // namespace

TDeviceDialog::TDeviceDialog(TConfigDatabase &Database, IDevicePluginModule &Module, TDeviceAction Action,
                             const TDeviceRecord &Record, QWidget *Parent)
    : TFrameDialog(Database, Module, Parent), FAction(Action), ui(new Ui::DeviceDialog),
      FDevice(new THostDevice(Database, Record)), FProfiles(new THostProfileList(Database)), FRead(Record) {
    ui->setupUi(this);
    Attach({ui->scFrame, ui->lyFrame, ui->imgConflict, ui->stConflict, ui->pnlButtons, ui->btReload});
    ui->pnlCount->setVisible(Action == TDeviceAction::NewRange);
    connect(ui->seCount, &QSpinBox::valueChanged, this, [this] { SetApplyProblem({}); });
    connect(ui->edFirstIP, &QLineEdit::textChanged, this, [this] { SetApplyProblem({}); });
    // A range is created at once; the dialog has nothing left to show.
    if (Action == TDeviceAction::NewRange)
        connect(this, &TFrameDialog::Stored, this, &TFrameDialog::Discard, Qt::QueuedConnection);
    UpdateTitle();
}

TDeviceDialog::~TDeviceDialog() { FreeFrame(); }

QWidget *TDeviceDialog::CreateFrame() { return FModule.CreateDeviceFrame(FContainer.get()); }

void TDeviceDialog::ShowObject() {
    FDeviceFrame = FrameInterface<IPluginDeviceFrame>(Frame());
    if (!FDeviceFrame)
        throw Exception(QStringLiteral("The plug-in's device frame cannot show devices"));
    for (const QString &name : {UniqueIDControl, MACAddressControl})
        if (auto *edit = Frame()->findChild<QLineEdit *>(name))
            connect(edit, &QLineEdit::textChanged, this, &TDeviceDialog::CheckKeys, Qt::UniqueConnection);
    if (auto *ip = Frame()->findChild<QWidget *>(LANIPControl); ip && FAction == TDeviceAction::NewRange)
        ip->installEventFilter(this);
    uint16_t flags = 0;
    if (FAction != TDeviceAction::Edit)
        flags |= 1u << pffCreating;
    if (FAction == TDeviceAction::NewRange)
        flags |= 1u << pffRange;
    if (!CanEdit())
        flags |= 1u << pffReadOnly;
    if (!FDeviceFrame->ShowDevice(FDevice.get(), FProfiles.get(), TPluginFrameFlags::FromBits(flags)))
        throw Exception(QStringLiteral("The plug-in's device frame did not show the device"));
    ShowFirstIP();
    CheckKeys();
}

bool TDeviceDialog::eventFilter(QObject *Watched, QEvent *Event) {
    if (Event->type() == QEvent::EnabledChange)
        ShowFirstIP();
    return TFrameDialog::eventFilter(Watched, Event);
}

bool TDeviceDialog::TakesFirstIP() const {
    const QWidget *ip = Frame() ? Frame()->findChild<QWidget *>(LANIPControl) : nullptr;
    return FAction == TDeviceAction::NewRange && ip && ip->isEnabled();
}

void TDeviceDialog::ShowFirstIP() {
    ui->stFirstIP->setVisible(TakesFirstIP());
    ui->edFirstIP->setVisible(TakesFirstIP());
    SetApplyProblem({});
}

void TDeviceDialog::HideObject() { FDeviceFrame->HideDevice(); }

void TDeviceDialog::FrameConflictChanged() {
    // The frame takes the first free start number of a new prefix only while
    // it finds no error. Once it finds none, a prefix typed meanwhile gets
    // its number here, as the frame gives it (through the spin edit's Qt
    // properties): the start number is the host's to read, no value of the device.
    const auto *idEdit = Frame() ? Frame()->findChild<QLineEdit *>(UniqueIDControl) : nullptr;
    QWidget *startEdit = Frame() ? Frame()->findChild<QWidget *>(StartNumberControl) : nullptr;
    if (FAction != TDeviceAction::NewRange || FrameConflict().Level == clvError || !idEdit || !startEdit)
        return;
    if (const int32_t first = FDatabase.FirstFreeStartNumber(idEdit->text());
        startEdit->property("value").toInt() < first) {
        startEdit->setProperty("minValue", first);
        startEdit->setProperty("value", first);
    }
}

void TDeviceDialog::UpdateTitle() {
    switch (FAction) {
    case TDeviceAction::New:
        setWindowTitle(QStringLiteral("New Device[*]"));
        break;
    case TDeviceAction::NewRange:
        setWindowTitle(QStringLiteral("New Devices[*]"));
        break;
    case TDeviceAction::Edit:
        setWindowTitle(QStringLiteral("Device %1[*]").arg(FDevice->Record().UniqueID));
        break;
    }
}

std::optional<TDeviceRecord> TDeviceDialog::OtherDeviceWith(const char *Field, const QString &Value) {
    for (const TDeviceRecord &d : FDatabase.DevicesWith(Field, Value))
        if (d.DeviceID != FRead.DeviceID)
            return d;
    return std::nullopt;
}

void TDeviceDialog::CheckKeys() {
    QStringList findings;
    const auto *idEdit = Frame() ? Frame()->findChild<QLineEdit *>(UniqueIDControl) : nullptr;
    const auto *macEdit = Frame() ? Frame()->findChild<QLineEdit *>(MACAddressControl) : nullptr;
    RunGuarded(this, [&] {
        // A range's device IDs are checked when it is created, but it needs a prefix to make them.
        if (idEdit && FAction == TDeviceAction::NewRange && idEdit->text().isEmpty())
            findings << QStringLiteral("Device prefix is empty");
        if (idEdit && FAction != TDeviceAction::NewRange && !idEdit->text().isEmpty() &&
            OtherDeviceWith("UniqueID", idEdit->text()))
            findings << QStringLiteral("Device ID \"%1\" is already used by another device").arg(idEdit->text());
        if (macEdit)
            if (const std::optional<TdpMACAddress> mac = ParseMACText(macEdit->text()); mac && *mac != TdpMACAddress{})
                if (const std::optional<TDeviceRecord> d = OtherDeviceWith("MacAddress", MACToText(*mac)))
                    findings << QStringLiteral("MAC address %1 is already used by device \"%2\"")
                                    .arg(macEdit->text(), d->UniqueID);
    });
    SetHostFinding(findings.join(QStringLiteral("; ")));
}

bool TDeviceDialog::Store() {
    TStored stored;
    switch (FAction) {
    case TDeviceAction::Edit:
        if (!FDatabase.UpdateDevice(FDevice->Record())) {
            ShowStale();
            return false;
        }
        stored = {{FRead}, {FRead.DeviceID}};
        FRead = FDevice->Record();
        ++FRead.Revision;
        break;
    case TDeviceAction::New:
        FRead = FDatabase.InsertDevice(FDevice->Record());
        stored.IDs = {FRead.DeviceID};
        FAction = TDeviceAction::Edit;
        break;
    case TDeviceAction::NewRange:
        if (!CreateRange(stored.IDs))
            return false;
        break;
    }
    if (FAction == TDeviceAction::Edit)
        FDevice->Reset(FRead);
    FLastStored = stored;
    UpdateTitle();
    CheckKeys();
    return true;
}

void TDeviceDialog::ShowStale() {
    const std::optional<TDeviceRecord> now = FDatabase.LoadDevice(FRead.DeviceID);
    QStringList changed;
    if (now) {
        changed = ChangedFields(FRead, *now, DeviceFields(), FrameFields);
        if (now->CustomData != FRead.CustomData)
            changed << QStringLiteral("custom data");
    }
    SetStale(QStringLiteral("Device %1").arg(FRead.UniqueID), !now, changed);
}

bool TDeviceDialog::ReloadObject() {
    const std::optional<TDeviceRecord> now = FDatabase.LoadDevice(FRead.DeviceID);
    if (!now) {
        ShowStale();
        return false;
    }
    FRead = *now;
    FDevice->Reset(FRead);
    UpdateTitle();
    return true;
}

bool TDeviceDialog::CreateRange(std::vector<int64_t> &IDs) {
    intptr_t start = 0;
    if (!FFrame->ProcessRequest(frqStartNumber, 0, start))
        throw Exception(QStringLiteral("The plug-in's device frame did not tell the start number"));
    const TDeviceRecord &pattern = FDevice->Record();
    const int count = ui->seCount->value();
    // Each device of the range takes the next MAC address after the one before,
    // and with fixed addresses the next LAN IP address.
    const uint64_t firstMAC = MACNumber(pattern.MacAddress);
    std::optional<TIPAddressRec> firstIP;
    if (TakesFirstIP()) {
        firstIP = ParseIPText(ui->edFirstIP->text());
        if (const QString problem = FirstIPProblem(ui->edFirstIP->text(), firstIP, count); !problem.isEmpty()) {
            SetApplyProblem(problem);
            return false;
        }
    }
    std::vector<TDeviceRecord> devices;
    for (int i = 0; i < count; ++i) {
        TDeviceRecord &d = devices.emplace_back(pattern);
        d.UniqueID = pattern.UniqueID + QString::number(start + i);
        if (firstMAC != 0)
            d.MacAddress = MACFromNumber(firstMAC + uint64_t(i));
        if (firstIP)
            d.AssignedIP = IPRecFromIPv4(firstIP->ip4 + uint32_t(i));
    }
    // Checked and stored under one lock: what another session stores meanwhile
    // is either seen by the check or waits until the range is stored.
    TConfigDatabase::TTransaction transaction(FDatabase, TConfigDatabase::TTransaction::TLock::Now);
    if (const QString problem = RangeProblem(devices); !problem.isEmpty()) {
        SetApplyProblem(problem);
        return false;
    }
    for (const TDeviceRecord &d : devices)
        IDs.push_back(FDatabase.InsertDevice(d).DeviceID);
    transaction.Commit();
    return true;
}

QString TDeviceDialog::RangeProblem(const std::vector<TDeviceRecord> &Devices) {
    if (MACNumber(Devices.front().MacAddress) + Devices.size() - 1 > LastMAC)
        return QStringLiteral("The range runs past the last MAC address");
    std::optional<TProfileRecord> profileRecord = FDatabase.LoadProfile(Devices.front().ProfileID);
    const TInterfaceRef<THostProfile> profile(profileRecord ? new THostProfile(FDatabase, *profileRecord) : nullptr);
    for (const TDeviceRecord &d : Devices) {
        if (d.UniqueID.size() > 31)
            return QStringLiteral("Device ID \"%1\" is longer than 31 characters").arg(d.UniqueID);
        if (OtherDeviceWith("UniqueID", d.UniqueID))
            return QStringLiteral("Device ID \"%1\" is already used by another device").arg(d.UniqueID);
        if (d.MacAddress != TdpMACAddress{})
            if (const std::optional<TDeviceRecord> other = OtherDeviceWith("MacAddress", MACToText(d.MacAddress)))
                return QStringLiteral("MAC address %1 of device \"%2\" is already used by device \"%3\"")
                    .arg(MACToText(d.MacAddress), d.UniqueID, other->UniqueID);
        if (!IsEmptyIPRec(d.AssignedIP))
            if (const std::optional<TDeviceRecord> other = OtherDeviceWith("AssignedIP", IPText(d.AssignedIP)))
                return QStringLiteral("LAN IP address %1 of device \"%2\" is already used by device \"%3\"")
                    .arg(IPText(d.AssignedIP), d.UniqueID, other->UniqueID);
        const TInterfaceRef<THostDevice> device(new THostDevice(FDatabase, d));
        PAnsiStringRef message = nullptr;
        const TConflictLevel level = FModule.ValidateDevice(device.get(), profile.get(), FContainer.get(), message);
        const QString text = TakeAnsiStringRef(&FModule, message);
        if (level == clvError)
            return QStringLiteral("Device \"%1\": %2").arg(d.UniqueID, text);
    }
    return {};
}

QString TDeviceDialog::SaveQuestion() const {
    switch (FAction) {
    case TDeviceAction::Edit:
        return QStringLiteral("device \"%1\"").arg(FDevice->Record().UniqueID);
    case TDeviceAction::New:
        return QStringLiteral("the new device");
    case TDeviceAction::NewRange:
        break;
    }
    return QStringLiteral("the new devices");
}

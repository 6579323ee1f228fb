#include "HostObjects.h"

#include "DevProfileOption.h"

// ---- THostServant ------------------------------------------------------------

THostServant::THostServant(TConfigDatabase &Database) : FDatabase(Database), FValues(Database.LoadSystem()) {}

bool THostServant::GetValue(int32_t Id, uintptr_t Param, uintptr_t &Value) {
    const auto number = [&](const auto &v) {
        if (v)
            Value = uintptr_t(uint32_t(*v));
        return bool(v);
    };
    const auto text = [&](const std::optional<QString> &v) {
        if (v)
            Value = reinterpret_cast<uintptr_t>(NewAnsiStringRef(*v)); // the caller gives it back through FreeStr
        return bool(v);
    };
    switch (Id) {
    case svFirstFreeStartNumber: {
        const auto *prefix = reinterpret_cast<const PUnicodeStringRef *>(Param);
        if (!prefix || !*prefix)
            return false;
        const QString p = QString::fromUtf16((*prefix)->Chars.data(), qsizetype((*prefix)->Chars.size()));
        return number(std::optional<int32_t>(FDatabase.FirstFreeStartNumber(p)));
    }
    case svSIPAddress:
        return number(FValues.SIPAddress);
    case svSIPPort:
        return number(FValues.SIPPort);
    case svDomainName:
        return text(FValues.Domain);
    case svEditRights:
        return number(FValues.EditRights);
    case svNodeSIPAddress: {
        const auto it = FValues.NodeAddresses.constFind(int32_t(Param));
        return text(it == FValues.NodeAddresses.cend() ? std::nullopt : std::optional<QString>(*it));
    }
    case svProposedFailoverNode:
        return number(FValues.ProposedFailoverNode);
    case svCurrentNode:
        return number(FValues.CurrentNode);
    case svRedundant:
        return number(FValues.Redundant);
    default:
        return false;
    }
}

// ---- THostProfile ------------------------------------------------------------

THostProfile::THostProfile(TConfigDatabase &Database, TProfileRecord Record)
    : THostRecordObject(Database, std::move(Record)), FStoredID(FRecord.ProfileID) {}

void THostProfile::Save() {
    if (!FModified)
        return;
    if (FRecord.ProfileID != FStoredID)
        throw EDatabase(FDatabase.Path() + QStringLiteral(": profile ") + QString::number(FStoredID) +
                        QStringLiteral(": the profile ID cannot change"));
    FDatabase.SaveProfile(FRecord);
    FModified = false;
}

void THostProfile::Reset(TProfileRecord Record) {
    FRecord = std::move(Record);
    FStoredID = FRecord.ProfileID;
    FModified = false;
}

void THostProfile::setOptions(const TDPOptionList &Options) {
    TSIPDevice_Profile_Option_List list{};
    Options.ToStructure(list);
    if (!SameOptions(list, FRecord.Options)) {
        FRecord.Options = list;
        FModified = true;
    }
}

void THostProfile::FillOptions(TDPOptionList &Options) { Options.FromStructure(FRecord.Options); }

// ---- THostDevice -------------------------------------------------------------

THostDevice::THostDevice(TConfigDatabase &Database, TDeviceRecord Record)
    : THostRecordObject(Database, std::move(Record)), FStoredID(FRecord.DeviceID) {}

void THostDevice::Save() {
    if (!FModified)
        return;
    if (FRecord.DeviceID != FStoredID)
        throw EDatabase(FDatabase.Path() + QStringLiteral(": device ") + QString::number(FStoredID) +
                        QStringLiteral(": the device's database ID cannot change"));
    FDatabase.SaveDevice(FRecord);
    FModified = false;
}

void THostDevice::Reset(TDeviceRecord Record) {
    FRecord = std::move(Record);
    FStoredID = FRecord.DeviceID;
    FModified = false;
}

// ---- THostProfileList --------------------------------------------------------

THostProfileList::THostProfileList(TConfigDatabase &Database) {
    for (TProfileRecord &r : Database.LoadProfiles())
        FItems.emplace_back(new THostProfile(Database, std::move(r)));
}

IDeviceProfile *THostProfileList::getItem(int32_t Index) {
    return Index >= 0 && std::size_t(Index) < FItems.size() ? FItems[std::size_t(Index)].get() : nullptr;
}

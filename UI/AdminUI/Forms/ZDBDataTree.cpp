#include "ZDBDataTree.h"

namespace {

constexpr const char *UnitPath = "UI\\AdminUI\\Forms\\ZDBDataTree";

void StoreText(void *context, const char *text) { *static_cast<QString *>(context) = FromAnsi(text); }

} // namespace

// TZDBDataValue

TZDBDataValue::TZDBDataValue() : fHandle(0), fMaintList(nullptr) {
    throw ZDBDataTreeError(QStringLiteral("Do not create TZDBDataTree object manually"));
}

TZDBDataValue::TZDBDataValue(ZDBDataValueHandle handle, TZDBDataValueList &maintList)
    : fHandle(handle), fMaintList(&maintList) {
    Assert(handle != 0, UnitPath, 212, QStringLiteral("Zero handle has been passed to TZDBDataValue constructor"));
}

TZDBDataValue *TZDBDataValue::Lookup(TZDBDataValueList &list, ZDBDataValueHandle handle) {
    if (handle == 0)
        return nullptr;
    int low = 0;
    int high = int(list.size()) - 1;
    while (low <= high) {
        const int mid = int((unsigned(low) + unsigned(high)) / 2);
        const auto difference = int32_t(list[std::size_t(mid)]->fHandle - handle);
        if (difference > 0)
            high = mid - 1;
        else if (difference < 0)
            low = mid + 1;
        else
            return list[std::size_t(mid)].get();
    }
    auto wrapper = std::unique_ptr<TZDBDataValue>(new TZDBDataValue(handle, list));
    return list.insert(list.begin() + low, std::move(wrapper))->get();
}

QString TZDBDataValue::asString() const { return FromAnsi(ZDB_DataValue_GetString(fHandle)); }

void TZDBDataValue::setAsString(const QString &value) { setAsAnsiString(ToAnsi(value)); }

AnsiString TZDBDataValue::asAnsiString() const {
    const char *text = ZDB_DataValue_GetString(fHandle);
    return text ? text : AnsiString();
}

void TZDBDataValue::setAsAnsiString(const AnsiString &value) { ZDB_DataValue_SetString(fHandle, value.c_str()); }

int32_t TZDBDataValue::asInt() const { return ZDB_DataValue_GetInt(fHandle); }

void TZDBDataValue::setAsInt(int32_t value) { ZDB_DataValue_SetInt(fHandle, value); }

uint32_t TZDBDataValue::asCardinal() const { return ZDB_DataValue_GetUInt(fHandle); }

void TZDBDataValue::setAsCardinal(uint32_t value) { ZDB_DataValue_SetUInt(fHandle, value); }

bool TZDBDataValue::asBool() const { return ZDB_DataValue_GetBool(fHandle) != 0; }

void TZDBDataValue::setAsBool(bool value) { ZDB_DataValue_SetBool(fHandle, value); }

bool TZDBDataValue::IsArray() const { return ZDB_DataValue_IsArray(fHandle) != 0; }

void TZDBDataValue::setIsArray(bool value) { ZDB_DataValue_SetArray(fHandle, value); }

QString TZDBDataValue::Name() const { return FromAnsi(ZDB_DataValue_GetName(fHandle)); }

TZDBDataValue *TZDBDataValue::Items(int index) const {
    return Lookup(*fMaintList, ZDB_DataValue_FindSubItemByIndex(fHandle, index));
}

TZDBDataValue *TZDBDataValue::Fields(const QString &name) const { return Fields(ToAnsi(name).c_str()); }

TZDBDataValue *TZDBDataValue::Fields(const char *name) const {
    return Lookup(*fMaintList, ZDB_DataValue_FindSubItemByName(fHandle, name, ZDB_FindOrCreate));
}

bool TZDBDataValue::HasField(const QString &name) const { return HasField(ToAnsi(name).c_str()); }

bool TZDBDataValue::HasField(const char *name) const {
    return ZDB_DataValue_FindSubItemByName(fHandle, name, ZDB_FindOnly) != 0;
}

int TZDBDataValue::ArraySize() const { return ZDB_DataValue_ArraySize(fHandle); }

// TZDBDataTree

TZDBDataTree::TZDBDataTree() : fHandle(0) {
    throw ZDBDataTreeError(QStringLiteral("Use CreateNew rather than Create to create TZDBDataTree objects"));
}

TZDBDataTree::TZDBDataTree(ZDBDataTreeHandle handle) : fHandle(handle) {}

TZDBDataTree::~TZDBDataTree() {
    fMaintList.clear();
    if (fHandle != 0)
        ZDB_DataTree_Destroy(fHandle);
}

std::unique_ptr<TZDBDataTree> TZDBDataTree::CreateNew(const QString &ZDBString) {
    const ZDBDataTreeHandle handle = ZDB_DataTree_Create(ToAnsi(ZDBString).c_str());
    if (handle == 0)
        return nullptr;
    return std::unique_ptr<TZDBDataTree>(new TZDBDataTree(handle));
}

TZDBDataValue *TZDBDataTree::Root() const { return TZDBDataValue::Lookup(fMaintList, ZDB_DataTree_GetRoot(fHandle)); }

QString TZDBDataTree::ToString() const {
    QString result;
    ZDB_DataTree_ToString(fHandle, &result, StoreText);
    return result;
}

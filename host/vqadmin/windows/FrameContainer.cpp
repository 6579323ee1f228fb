#include "FrameContainer.h"

THostFrameContainer::THostFrameContainer(TConfigDatabase &Database) : FServant(new THostServant(Database)) {}

HResult THostFrameContainer::QueryInterface(const TGUID &iid, void **obj) {
    if (iid != IDevicePluginServant::IID)
        return THostObject::QueryInterface(iid, obj);
    *obj = static_cast<IDevicePluginServant *>(this);
    _AddRef();
    return S_OK;
}

bool THostFrameContainer::GetValue(int32_t Id, uintptr_t Param, uintptr_t &Value) {
    return FServant->GetValue(Id, Param, Value);
}

void THostFrameContainer::SetModified(bool Modified) {
    if (OnModified)
        OnModified(Modified);
}

void THostFrameContainer::ShowConflict(TConflictLevel Level, bool IsExternal, const char *Message) {
    if (OnConflict)
        OnConflict(Level, IsExternal, FromAnsi(Message));
}

bool THostFrameContainer::HasEditRights() {
    uintptr_t value = 0;
    return GetValue(svEditRights, 0, value) && value == 1;
}

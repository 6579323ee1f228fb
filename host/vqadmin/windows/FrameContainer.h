#pragma once
// The host's side of an embedded editing frame (its container): the phone
// system's values come from a servant over the database, the frame's reports
// go on to whoever shows the frame.

#include "plugin/HostObjects.h"

#include <functional>

class THostFrameContainer : public THostObject<IPluginFrameContainer> {
public:
    explicit THostFrameContainer(TConfigDatabase &Database);

    // Also answers IDevicePluginServant, the interface it extends.
    HResult QueryInterface(const TGUID &iid, void **obj) override;
    bool GetValue(int32_t Id, uintptr_t Param, uintptr_t &Value) override;
    void SetModified(bool Modified) override;
    void ShowConflict(TConflictLevel Level, bool IsExternal, const char *Message) override;

    // Where the reports go. The frame may hold the container longer than the
    // dialog lives, so the dialog clears these when it goes away.
    std::function<void(bool Modified)> OnModified;
    std::function<void(TConflictLevel Level, bool IsExternal, const QString &Message)> OnConflict;

    // Servant value 17: the user may change the configuration.
    bool HasEditRights();

private:
    TInterfaceRef<THostServant> FServant;
};

#pragma once
// The host's wrapper manager, which the program exports as UTC_GetWrapperManager:
// a plug-in registers the wrapper classes of its frames here when it is loaded;
// the host makes wrappers for those frames, for its own forms and for the
// standard controls.

#include "UTCFormWrapper.h"

#include <utility>
#include <vector>

class THostWrapperManager final : public TUTCWrapperManager {
public:
    void RegisterWrapper(const TMetaClass *FrameClass, const TUTCFormWrapperClass *WrapperClass) override;
    // The first registration whose frame class the control is or descends from.
    const TUTCFormWrapperClass *FindWrapperClass(QWidget *Control) override;
    // A registered frame's wrapper, else the host's own for a form or a standard control.
    std::unique_ptr<TUTCGenericWrapper> CreateWrapper(QWidget *Control) override;

    // The registrations a library makes while it loads are dropped before it is
    // unloaded: they name its classes.
    std::size_t RegistrationCount() const { return FRegistrations.size(); }
    void DropRegistrations(std::size_t From);

private:
    std::vector<std::pair<const TMetaClass *, const TUTCFormWrapperClass *>> FRegistrations;
};

// The program's one manager.
THostWrapperManager &HostWrapperManager();

#pragma once
// The host's wrapper manager as the plug-in sees it, for test programs that
// stand in for the host: such a program defines the export
//   extern "C" TUTCWrapperManager *UTC_GetWrapperManager()
// returning one of these, and is linked with its symbols exported.

#include "UTCFormWrapper.h"

#include <functional>
#include <map>

class TTestWrapperManager : public TUTCWrapperManager {
public:
    // Frame classes and the wrapper classes bound to them.
    std::map<const TMetaClass *, const TUTCFormWrapperClass *> Registered;
    // Makes wrappers for the controls that are no registered frames, when set.
    std::function<std::unique_ptr<TUTCGenericWrapper>(QWidget *Control)> ControlWrapper;

    void RegisterWrapper(const TMetaClass *FrameClass, const TUTCFormWrapperClass *WrapperClass) override {
        Registered[FrameClass] = WrapperClass;
    }
    const TUTCFormWrapperClass *FindWrapperClass(QWidget *Control) override {
        if (const auto *object = dynamic_cast<TObjectWithClass *>(Control))
            for (const auto &[frameClass, wrapperClass] : Registered)
                if (object->InheritsFrom(*frameClass))
                    return wrapperClass;
        return nullptr;
    }
    std::unique_ptr<TUTCGenericWrapper> CreateWrapper(QWidget *Control) override {
        if (const TUTCFormWrapperClass *cls = FindWrapperClass(Control))
            return cls->Create(Control);
        return ControlWrapper ? ControlWrapper(Control) : nullptr;
    }
};

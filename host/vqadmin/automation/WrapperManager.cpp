#include "WrapperManager.h"

#include "HostWrappers.h"
#include "UTCUtils.h"

#include <QWidget>

void THostWrapperManager::RegisterWrapper(const TMetaClass *FrameClass, const TUTCFormWrapperClass *WrapperClass) {
    FRegistrations.emplace_back(FrameClass, WrapperClass);
}

const TUTCFormWrapperClass *THostWrapperManager::FindWrapperClass(QWidget *Control) {
    if (const auto *object = dynamic_cast<const TObjectWithClass *>(Control))
        for (const auto &[frameClass, wrapperClass] : FRegistrations)
            if (object->InheritsFrom(*frameClass))
                return wrapperClass;
    return nullptr;
}

std::unique_ptr<TUTCGenericWrapper> THostWrapperManager::CreateWrapper(QWidget *Control) {
    if (!Control)
        return nullptr;
    if (const TUTCFormWrapperClass *cls = FindWrapperClass(Control))
        return cls->Create(Control);
    if (IsForm(Control))
        return CreateFormWrapper(Control);
    return CreateControlWrapper(Control);
}

void THostWrapperManager::DropRegistrations(std::size_t From) {
    if (From < FRegistrations.size())
        FRegistrations.resize(From);
}

THostWrapperManager &HostWrapperManager() {
    static THostWrapperManager manager;
    return manager;
}

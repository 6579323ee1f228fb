#include "VQConfigChangeNotif.h"

void TVQConfigChangeList::Add(TVQConfigParameter AParameter, const QString &AOldValue, const QString &ANewValue,
                              uint32_t AData) {
    FItems.push_back(std::make_unique<TVQConfigChangedValue>(TVQConfigChangedValue{AParameter, AOldValue, ANewValue, AData}));
}

TVQConfigChangedValue *TVQConfigChangeList::GetItemByParameter(TVQConfigParameter AParameter) const {
    for (const auto &item : FItems)
        if (item->Parameter == AParameter)
            return item.get();
    return nullptr;
}

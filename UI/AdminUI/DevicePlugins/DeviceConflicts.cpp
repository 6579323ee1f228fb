#include "DeviceConflicts.h"

#include <algorithm>
#include <stdexcept>

void TDeviceConflictList::setItem(int Index, std::unique_ptr<TDeviceConflict> Value) {
    FItems.at(std::size_t(Index)) = std::move(Value);
}

int TDeviceConflictList::Add(std::unique_ptr<TDeviceConflict> Value) {
    FItems.push_back(std::move(Value));
    return Count() - 1;
}

void TDeviceConflictList::Insert(int Index, std::unique_ptr<TDeviceConflict> Value) {
    if (Index < 0 || Index > Count())
        throw std::out_of_range("List index out of bounds");
    FItems.insert(FItems.begin() + Index, std::move(Value));
}

int TDeviceConflictList::Remove(TDeviceConflict *Value) {
    const int index = IndexOf(Value);
    if (index >= 0)
        Delete(index);
    return index;
}

void TDeviceConflictList::Delete(int Index) {
    getItem(Index);
    FItems.erase(FItems.begin() + Index);
}

int TDeviceConflictList::IndexOf(const TDeviceConflict *Value) const {
    auto it = std::find_if(FItems.begin(), FItems.end(), [&](const auto &c) { return c.get() == Value; });
    return it == FItems.end() ? -1 : int(it - FItems.begin());
}

std::unique_ptr<TDeviceConflict> TDeviceConflictList::Extract(TDeviceConflict *Value) {
    const int index = IndexOf(Value);
    if (index < 0)
        return nullptr;
    std::unique_ptr<TDeviceConflict> result = std::move(FItems[std::size_t(index)]);
    FItems.erase(FItems.begin() + index);
    return result;
}

int TDeviceConflictList::ConflictsCount(TDeviceConflictLevel Level) const {
    return int(std::count_if(FItems.begin(), FItems.end(), [&](const auto &c) { return c->Level == Level; }));
}

int TDeviceConflictList::FindByObject(const QObject *AObject) const {
    if (!AObject)
        return -1;
    for (int i = 0; i < Count(); ++i)
        if (FItems[std::size_t(i)]->AObject == AObject)
            return i;
    return -1;
}

int TDeviceConflictList::FindByObjectMsg(const QObject *AObject, const QString &Message) const {
    if (!AObject)
        return -1;
    const AnsiString message = ToAnsi(Message);
    for (int i = 0; i < Count(); ++i) {
        const TDeviceConflict &c = *FItems[std::size_t(i)];
        if (c.AObject == AObject && c.Message == message)
            return i;
    }
    return -1;
}

TDeviceConflict *TDeviceConflictList::FirstConflictWithHighestLevel() const {
    TDeviceConflict *kept = nullptr;
    TDeviceConflictLevel highest = dclNone;
    for (const auto &c : FItems) {
        if (c->Level == dclError)
            return c.get();
        if (!kept || CompareConflictLevels(c->Level, highest) > 0) {
            kept = c.get();
            highest = c->Level;
        }
    }
    return kept;
}

#pragma once
// Findings of validation: a level, the message for the administrator and the
// object (usually an input control) the finding is about.

#include "SysUtils.h"

#include <QObject>

#include <memory>
#include <vector>

enum TDeviceConflictLevel : uint8_t { dclNone = 0, dclWarning = 1, dclError = 2 };

// 0 for equal levels, positive when A stands higher than B. A finding replaces
// the current one only when it compares strictly greater.
inline int CompareConflictLevels(TDeviceConflictLevel A, TDeviceConflictLevel B) { return int(A) - int(B); }

class TDeviceConflict {
public:
    TDeviceConflict() = default;
    TDeviceConflict(TDeviceConflictLevel ALevel, const QString &AMessage, QObject *AObj)
        : Level(ALevel), Message(ToAnsi(AMessage)), AObject(AObj) {}

    void Clear() { *this = TDeviceConflict(); }
    void Assign(const TDeviceConflict &Source) { *this = Source; }
    std::unique_ptr<TDeviceConflict> Clone() const { return std::make_unique<TDeviceConflict>(*this); }
    // Same level, byte-identical message and the very same object.
    bool Equals(const TDeviceConflict &Conflict) const {
        return Level == Conflict.Level && Message == Conflict.Message && AObject == Conflict.AObject;
    }

    TDeviceConflictLevel Level = dclNone;
    AnsiString Message;
    QObject *AObject = nullptr; // not owned
};

// An owning list of conflicts. Index arguments outside the list raise std::out_of_range.
class TDeviceConflictList {
public:
    int Count() const { return int(FItems.size()); }
    TDeviceConflict *getItem(int Index) const { return FItems.at(std::size_t(Index)).get(); }
    void setItem(int Index, std::unique_ptr<TDeviceConflict> Value);

    int Add(std::unique_ptr<TDeviceConflict> Value);
    void Insert(int Index, std::unique_ptr<TDeviceConflict> Value);
    // Frees the element; returns its former index, or -1 when it was not in the list.
    int Remove(TDeviceConflict *Value);
    void Delete(int Index);
    void Clear() { FItems.clear(); }
    int IndexOf(const TDeviceConflict *Value) const;
    // Hands the element out without freeing it.
    std::unique_ptr<TDeviceConflict> Extract(TDeviceConflict *Value);
    TDeviceConflict *First() const { return getItem(0); }
    TDeviceConflict *Last() const { return getItem(Count() - 1); }

    int ConflictsCount(TDeviceConflictLevel Level) const;
    int FindByObject(const QObject *AObject) const;
    int FindByObjectMsg(const QObject *AObject, const QString &Message) const;
    // The first error; otherwise the first element of the highest level; none when empty.
    TDeviceConflict *FirstConflictWithHighestLevel() const;

private:
    std::vector<std::unique_ptr<TDeviceConflict>> FItems;
};

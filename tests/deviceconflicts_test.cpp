// The conflicts a frame shows: which of several it reports, and when a new
// one counts as a change.

#include "DeviceConflicts.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::unique_ptr<TDeviceConflict> Conflict(TDeviceConflictLevel level, const char *message = "", QObject *obj = nullptr) {
    return std::make_unique<TDeviceConflict>(level, QString::fromUtf8(message), obj);
}

TEST(DeviceConflict, EqualityNeedsTheSameLevelObjectAndBytes) {
    QObject a, b;
    const auto bad = Conflict(dclError, "Bad", &a);
    EXPECT_TRUE(bad->Equals(*Conflict(dclError, "Bad", &a)));
    EXPECT_FALSE(bad->Equals(*Conflict(dclError, "Bad", &b)));
    EXPECT_FALSE(bad->Equals(*Conflict(dclError, "bad", &a)));
    EXPECT_FALSE(bad->Equals(*Conflict(dclWarning, "Bad", &a)));
    TDeviceConflict assigned;
    assigned.Assign(*bad);
    EXPECT_TRUE(assigned.Equals(*bad));
}

TEST(DeviceConflictList, TheFirstOfTheMostSevereIsReportedAndAnObjectsFirstIsFound) {
    const auto listOf = [](const std::vector<TDeviceConflictLevel> &levels, QObject *obj = nullptr) {
        TDeviceConflictList list;
        for (auto level : levels)
            list.Add(Conflict(level, "", obj));
        return list;
    };
    EXPECT_EQ(TDeviceConflictList().FirstConflictWithHighestLevel(), nullptr);
    const std::pair<std::vector<TDeviceConflictLevel>, int> cases[] = {
        {{dclWarning, dclNone, dclError, dclWarning}, 2}, {{dclNone, dclWarning, dclWarning}, 1},
        {{dclNone, dclNone}, 0}, {{dclError, dclError}, 0}};
    for (const auto &[levels, first] : cases) {
        TDeviceConflictList list = listOf(levels);
        EXPECT_EQ(list.FirstConflictWithHighestLevel(), list.getItem(first)) << first;
    }
    QObject x;
    TDeviceConflictList list = listOf({dclError});
    list.Add(Conflict(dclError, "one", &x));
    list.Add(Conflict(dclWarning, "two", &x));
    EXPECT_EQ(list.FindByObject(&x), 1);
    EXPECT_EQ(list.FindByObject(nullptr), -1);
}

} // namespace

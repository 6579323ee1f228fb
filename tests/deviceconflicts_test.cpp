#include "DeviceConflicts.h"

#include <gtest/gtest.h>

namespace {

std::unique_ptr<TDeviceConflict> Conflict(TDeviceConflictLevel level, const char *message = "", QObject *obj = nullptr) {
    return std::make_unique<TDeviceConflict>(level, QString::fromUtf8(message), obj);
}

TDeviceConflictList ListOf(std::initializer_list<TDeviceConflictLevel> levels) {
    TDeviceConflictList list;
    for (auto level : levels)
        list.Add(Conflict(level));
    return list;
}

TEST(DeviceConflict, EqualityNeedsTheSameObjectAndBytes) {
    QObject a, b;
    EXPECT_TRUE(Conflict(dclError, "Bad", &a)->Equals(*Conflict(dclError, "Bad", &a)));
    EXPECT_FALSE(Conflict(dclError, "Bad", &a)->Equals(*Conflict(dclError, "Bad", &b)));
    EXPECT_FALSE(Conflict(dclError, "Bad", &a)->Equals(*Conflict(dclError, "bad", &a)));
    EXPECT_FALSE(Conflict(dclError, "Bad", &a)->Equals(*Conflict(dclWarning, "Bad", &a)));
}

TEST(DeviceConflict, MessageIsStoredAs8BitText) {
    EXPECT_EQ(Conflict(dclWarning, "Caf\xc3\xa9 \xe2\x82\xac \xc4\x80")->Message, "Caf\xe9 \x80 ?");
}

TEST(DeviceConflict, CloneAssignClear) {
    QObject control;
    auto original = Conflict(dclWarning, "Check", &control);
    auto copy = original->Clone();
    EXPECT_TRUE(copy->Equals(*original));
    EXPECT_EQ(copy->AObject, &control); // the reference, not a copy of the object
    TDeviceConflict assigned;
    assigned.Assign(*original);
    EXPECT_TRUE(assigned.Equals(*original));
    assigned.Clear();
    EXPECT_EQ(assigned.Level, dclNone);
    EXPECT_TRUE(assigned.Message.empty());
    EXPECT_EQ(assigned.AObject, nullptr);
}

TEST(DeviceConflictList, FirstConflictWithHighestLevel) {
    TDeviceConflictList empty;
    EXPECT_EQ(empty.FirstConflictWithHighestLevel(), nullptr);
    auto a = ListOf({dclWarning, dclNone, dclError, dclWarning});
    EXPECT_EQ(a.FirstConflictWithHighestLevel(), a.getItem(2));
    auto b = ListOf({dclNone, dclWarning, dclWarning});
    EXPECT_EQ(b.FirstConflictWithHighestLevel(), b.getItem(1));
    auto c = ListOf({dclNone, dclNone});
    EXPECT_EQ(c.FirstConflictWithHighestLevel(), c.getItem(0));
    auto d = ListOf({dclError, dclError});
    EXPECT_EQ(d.FirstConflictWithHighestLevel(), d.getItem(0));
}

TEST(DeviceConflictList, FindByObjectAndMessage) {
    QObject x, y;
    TDeviceConflictList list;
    list.Add(Conflict(dclError, "free", nullptr));
    list.Add(Conflict(dclError, "one", &x));
    list.Add(Conflict(dclWarning, "caf\xc3\xa9", &y));
    list.Add(Conflict(dclWarning, "two", &x));
    EXPECT_EQ(list.FindByObject(nullptr), -1);
    EXPECT_EQ(list.FindByObject(&x), 1);
    EXPECT_EQ(list.FindByObjectMsg(&x, QStringLiteral("two")), 3);
    EXPECT_EQ(list.FindByObjectMsg(&x, QStringLiteral("Two")), -1);
    EXPECT_EQ(list.FindByObjectMsg(&y, QString::fromUtf8("caf\xc3\xa9")), 2);
    EXPECT_EQ(list.FindByObjectMsg(nullptr, QStringLiteral("free")), -1);
}

TEST(DeviceConflictList, CountsAndOwnership) {
    auto list = ListOf({dclError, dclWarning, dclError});
    list.getItem(0)->Clear();
    EXPECT_EQ(list.ConflictsCount(dclNone), 1);
    EXPECT_EQ(list.ConflictsCount(dclError), 1);

    TDeviceConflict *middle = list.getItem(1);
    std::unique_ptr<TDeviceConflict> extracted = list.Extract(middle);
    EXPECT_EQ(extracted.get(), middle);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.IndexOf(middle), -1);
    EXPECT_EQ(list.Remove(list.Last()), 1);
    EXPECT_EQ(list.Count(), 1);

    list.Insert(0, Conflict(dclWarning, "front"));
    EXPECT_EQ(list.First()->Message, "front");
    EXPECT_THROW(list.getItem(5), std::out_of_range);
    EXPECT_THROW(list.Insert(9, Conflict(dclNone)), std::out_of_range);
    EXPECT_THROW(list.Delete(-1), std::out_of_range);
}

} // namespace

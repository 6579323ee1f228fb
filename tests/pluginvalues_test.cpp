// The plug-in's small value types: the profile option list, the value tables
// and the configuration change list.

#include "DPValueTables.h"
#include "DevProfileOption.h"
#include "VQConfigChangeNotif.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

TSIPDevice_Profile_Option_List Record(std::initializer_list<TSIPDevice_Profile_Option> entries, int len) {
    TSIPDevice_Profile_Option_List r;
    std::memset(&r, 0, sizeof r);
    int i = 0;
    for (const auto &e : entries)
        r.list[i++] = e;
    r.len = len;
    return r;
}

TEST(OptionList, EqualityIgnoresOrderNotLength) {
    TDPOptionList a, b, subset;
    a.AddOption(POT_SilenceSuppression, 1);
    a.AddOption(POT_AutoAnswerType, 2);
    b.AddOption(POT_AutoAnswerType, 2);
    b.AddOption(POT_SilenceSuppression, 1);
    subset.AddOption(POT_AutoAnswerType, 2);
    EXPECT_TRUE(a.Equals(b));
    EXPECT_FALSE(a.Equals(subset));
    EXPECT_FALSE(subset.Equals(a));
    b.FindByTag(POT_AutoAnswerType)->Value = 3;
    EXPECT_FALSE(a.Equals(b));
    EXPECT_TRUE(TDPOptionList().Equals(TDPOptionList()));
}

TEST(OptionList, FromStructureSkipsEmptyAndKnownTags) {
    TDPOptionList list;
    list.FromStructure(Record({{POT_displayToFrom, 4}, {POT_Invalid, 9}, {POT_AutoAnswerType, 1}}, 3));
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Items(1)->Tag, POT_AutoAnswerType);

    TDPOptionList kept;
    kept.AddOption(POT_SilenceSuppression, 1);
    kept.FromStructure(Record({{POT_SilenceSuppression, 0}, {POT_AutoAnswerType, 5}, {POT_AutoAnswerType, 6}}, 3));
    EXPECT_EQ(kept.FindByTag(POT_SilenceSuppression)->Value, 1);
    EXPECT_EQ(kept.FindByTag(POT_AutoAnswerType)->Value, 5);
    EXPECT_EQ(kept.Count(), 2);
}

TEST(OptionList, FromStructureTrustsOnlyTheNineEntries) {
    TDPOptionList list;
    list.FromStructure(Record({{POT_displayToFrom, 1}}, 1000));
    EXPECT_EQ(list.Count(), 1);
    list.FromStructure(Record({{POT_AutoAnswerType, 1}}, -3));
    EXPECT_EQ(list.Count(), 1);
}

TEST(OptionList, ToStructure) {
    TSIPDevice_Profile_Option_List r = Record({{POT_displayToFrom, 7}, {POT_AutoAnswerType, 8}}, 2);
    TDPOptionList().ToStructure(r);
    EXPECT_EQ(r.len, 0);
    for (const auto &e : r.list) {
        EXPECT_EQ(e.tag, POT_Invalid);
        EXPECT_EQ(e.value, 0);
    }

    TDPOptionList many;
    for (int i = 0; i < 11; ++i)
        many.AddOption(TSIPDevice_Profile_Option_Tag(1 + i % 8), i);
    many.ToStructure(r);
    EXPECT_EQ(r.len, 9);
    EXPECT_EQ(r.list[8].value, 8);

    TDPOptionList back;
    back.FromStructure(r);
    EXPECT_EQ(back.Count(), 8); // the ninth repeats a tag
}

TEST(OptionList, GetOrCreateAssignDelete) {
    TDPOptionList list;
    TDPOptionValue *created = list.GetOrCreate(POT_AutoAnswerType, 2);
    EXPECT_EQ(created->Value, 2);
    created->Value = 4;
    EXPECT_EQ(list.GetOrCreate(POT_AutoAnswerType, 2), created);
    EXPECT_EQ(created->Value, 4);
    EXPECT_EQ(list.Count(), 1);

    TDPOptionList copy;
    copy.AddOption(POT_displayToFrom, 1);
    copy.Assign(list);
    EXPECT_TRUE(copy.Equals(list));
    EXPECT_NE(copy.Items(0), list.Items(0));
    EXPECT_THROW(copy.Delete(1), std::out_of_range);
    copy.Delete(0);
    EXPECT_EQ(copy.Count(), 0);
}

struct RecordingList final : TItemList {
    void Clear() override { Items.clear(); }
    void AddItem(const QString &Text, int Data) override { Items.emplace_back(Text, Data); }
    std::vector<std::pair<QString, int>> Items{{QStringLiteral("stale"), 99}};
};

TEST(ValueTables, Lookups) {
    EXPECT_EQ(FindCountry(QStringLiteral("UK")), 1);
    EXPECT_EQ(FindCountry(QStringLiteral("usa")), -1);
    EXPECT_EQ(FindTimeZone(-210), -1);
    // Every time zone is stored as the offset its name shows, and found by it.
    const QRegularExpression hours(QStringLiteral("^GMT([+-]\\d\\d):00"));
    for (std::size_t i = 0; i < TimeZoneTable.size(); ++i) {
        const QString name = QString::fromLatin1(TimeZoneTable[i].Name);
        const int offset = 60 * hours.match(name).captured(1).toInt();
        EXPECT_EQ(TimeZoneTable[i].Offset, offset) << name.toStdString();
        EXPECT_EQ(FindTimeZone(offset), int(i)) << name.toStdString();
    }
}

TEST(ValueTables, FillingClearsAndCarriesIndexes) {
    RecordingList transports;
    FillTransportList(transports);
    EXPECT_EQ(transports.Items, (std::vector<std::pair<QString, int>>{{"TCP", 1}, {"UDP", 2}, {"TLS", 3}}));

    RecordingList sources;
    FillProxySourceList(sources);
    EXPECT_EQ(sources.Items, (std::vector<std::pair<QString, int>>{{"VQ Address", 0}, {"Specified Address", 1}, {"Domain", 2}}));

    RecordingList zones;
    FillTimeZoneList(zones);
    ASSERT_EQ(zones.Items.size(), 25u);
    EXPECT_EQ(zones.Items[24], (std::pair<QString, int>{"GMT+12:00", 24}));

    RecordingList countries;
    FillCountryList(countries);
    EXPECT_EQ(countries.Items.back(), (std::pair<QString, int>{"Japan", 5}));
}

TEST(ConfigChangeList, FirstChangeOfAParameterWins) {
    TVQConfigChangeList changes;
    EXPECT_EQ(changes.GetItemByParameter(vqcpIP), nullptr);
    changes.Add(vqcpParkServer, QStringLiteral("1"), QStringLiteral("2"), 0);
    changes.Add(vqcpIP, QStringLiteral("10.0.0.1"), QStringLiteral("10.0.0.2"), 7);
    changes.Add(vqcpIP, QStringLiteral("10.0.0.2"), QStringLiteral("10.0.0.3"), 8);
    ASSERT_NE(changes.GetItemByParameter(vqcpIP), nullptr);
    EXPECT_EQ(changes.GetItemByParameter(vqcpIP)->Data, 7u);
    EXPECT_EQ(changes.GetItem(2)->NewValue, "10.0.0.3");
    EXPECT_EQ(changes.GetItemByParameter(vqcpVM), nullptr);
    EXPECT_THROW(changes.GetItem(3), std::out_of_range);
}

} // namespace

#include "DevProfileOption.h"

#include <gtest/gtest.h>

#include <cstring>

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

    TDPOptionValue *empty = list.AddOption();
    EXPECT_EQ(empty->Tag, POT_Invalid);
    TDPOptionList copy;
    copy.AddOption(POT_displayToFrom, 1);
    copy.Assign(list);
    EXPECT_TRUE(copy.Equals(list));
    EXPECT_NE(copy.Items(0), list.Items(0));
    copy.Delete(0);
    EXPECT_EQ(copy.Count(), 1);
    EXPECT_THROW(copy.Delete(1), std::out_of_range);
}

} // namespace

// The data-tree wrappers and the custom-data schema resolved over them.

#include "CustomDataSchema.h"
#include "ZDBDataTree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

// Readable failure messages.
void PrintTo(const QString &text, std::ostream *out) { *out << '"' << text.toStdString() << '"'; }

namespace {

std::unique_ptr<TZDBDataTree> Parse(const QString &text) {
    auto tree = TZDBDataTree::CreateNew(text);
    EXPECT_NE(tree, nullptr) << text.toStdString();
    return tree;
}

} // namespace

TEST(ZDBDataTree, OneWrapperPerNodeWhateverOrderNodesAreMet) {
    constexpr int count = 300;
    QString text;
    for (int i = 0; i < count; ++i)
        text += QStringLiteral("f%1=%1 ").arg(i);
    auto tree = Parse(text);
    TZDBDataValue *root = tree->Root();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(tree->Root(), root);

    std::vector<int> order(count);
    std::iota(order.begin(), order.end(), 0);
    std::mt19937 random(7);
    // HasField hands out node handles without making wrappers, so the wrappers
    // made afterwards land in the middle of the list as well as at its end.
    std::shuffle(order.begin(), order.end(), random);
    for (int i = 0; i < count / 2; ++i)
        EXPECT_TRUE(root->HasField(QStringLiteral("f%1").arg(order[std::size_t(i)])));
    std::shuffle(order.begin(), order.end(), random);
    std::vector<TZDBDataValue *> byName(count);
    for (int i : order)
        byName[std::size_t(i)] = root->Fields(QStringLiteral("f%1").arg(i));

    for (int i = count - 1; i >= 0; --i) {
        TZDBDataValue *value = root->Items(i);
        ASSERT_EQ(value, byName[std::size_t(i)]) << "item " << i;
        EXPECT_EQ(value->Name(), QStringLiteral("f%1").arg(i)); // so the wrappers are distinct
    }
}

TEST(ZDBDataTree, HasFieldOnlyAsks) {
    auto tree = Parse("a=1");
    TZDBDataValue *root = tree->Root();
    EXPECT_FALSE(root->HasField("b"));
    EXPECT_EQ(tree->ToString(), "a=1");
    EXPECT_TRUE(root->HasField("a"));
    // Fields, unlike HasField, makes the missing node for the caller to fill.
    root->Fields("b")->setAsBool(true);
    EXPECT_TRUE(root->HasField("b"));
    EXPECT_EQ(tree->ToString(), "a=1 b=true");
}

TEST(ZDBDataTree, CreateNewReadsOnlyTreesAndToStringIsTheLibrarysText) {
    EXPECT_EQ(TZDBDataTree::CreateNew("General{"), nullptr);
    EXPECT_EQ(Parse(" VLAN {\n  VLANtag = -1\n  PriorityTag = 0 }\n")->ToString(), "VLAN{VLANtag=-1 PriorityTag=0}");

    auto empty = Parse(QString());
    ASSERT_NE(empty->Root(), nullptr);
    EXPECT_EQ(empty->Root()->ArraySize(), 0);
    EXPECT_EQ(empty->ToString(), "");
    // What proxies do with a tree built from empty custom data: write into it.
    empty->Root()->Fields("IPComm")->Fields("DHCP")->setAsBool(true);
    EXPECT_EQ(empty->ToString(), "IPComm{DHCP=true}");
}

// The 8-bit forms are the same text in the code page's bytes.
TEST(ZDBDataTree, TextIsTheSameInEitherForm) {
    auto tree = Parse(QString::fromUtf8("a=\"Z\u00FCrich \u20AC\""));
    TZDBDataValue *a = tree->Root()->Fields("a");
    EXPECT_EQ(a->asAnsiString(), "Z\xFCrich \x80");
    a->setAsAnsiString("caf\xE9 \x99");
    EXPECT_EQ(a->asString(), QString::fromUtf8("caf\u00E9 \u2122"));
    EXPECT_EQ(tree->ToString(), QString::fromUtf8("a=\"caf\u00E9 \u2122\""));
}

namespace {

// Paths that come back to a section after leaving it, and one at the top.
constexpr TCustomDataPath Paths[] = {
    {"A/B/x", TCustomDataKind::Integer}, {"A/B/y", TCustomDataKind::Integer}, {"A/z", TCustomDataKind::Integer},
    {"C/w", TCustomDataKind::Integer},   {"A/B/v", TCustomDataKind::Integer}, {"top", TCustomDataKind::Integer},
};

TEST(CustomDataSchema, NodesAreMadeInPathOrderUnderTheirSections) {
    const TCustomDataSchema schema(Paths);
    const auto tree = TZDBDataTree::CreateNew(QString());
    const std::vector<TZDBDataValue *> nodes = schema.Nodes(*tree->Root());
    ASSERT_EQ(nodes.size(), 6u);
    for (std::size_t i = 0; i < nodes.size(); ++i)
        nodes[i]->setAsInt(int32_t(i));
    EXPECT_EQ(tree->ToString(), "A{B{x=0 y=1 v=4} z=2} C{w=3} top=5");
}

TEST(CustomDataSchema, FindingAPathMakesNothing) {
    const TCustomDataSchema schema(Paths);
    const QString text = QStringLiteral("A{B{y=7} q=1}");
    const auto tree = TZDBDataTree::CreateNew(text);
    ASSERT_NE(schema[1].FindNode(*tree->Root()), nullptr);
    EXPECT_EQ(schema[1].FindNode(*tree->Root())->asInt(), 7);
    for (std::size_t index : {0, 2, 3, 4, 5})
        EXPECT_EQ(schema[index].FindNode(*tree->Root()), nullptr) << schema[index].Path();
    EXPECT_EQ(tree->ToString(), text);

    schema[3].Node(*tree->Root()); // made, with its section
    EXPECT_EQ(tree->ToString(), "A{B{y=7} q=1} C{w}");
}

TEST(CustomDataSchema, PathsAreFoundByTheirWholeText) {
    const TCustomDataSchema schema(Paths);
    EXPECT_EQ(schema.Find(u"A/B/v"), &schema[4]);
    EXPECT_EQ(schema.Find(u"top"), &schema[5]);
    for (const char16_t *missing : {u"A/B", u"A", u"B/v", u"A/B/v/", u"a/b/v", u""})
        EXPECT_EQ(schema.Find(missing), nullptr);
}

} // namespace

#include "ZDBDataTree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <set>

// Readable failure messages.
void PrintTo(const QString &text, std::ostream *out) { *out << '"' << text.toStdString() << '"'; }

namespace {

std::unique_ptr<TZDBDataTree> Parse(const QString &text) {
    auto tree = TZDBDataTree::CreateNew(text);
    EXPECT_NE(tree, nullptr) << text.toStdString();
    return tree;
}

} // namespace

TEST(ZDBDataTree, AsksTwiceGetsTheSameWrapper) {
    auto tree = Parse("General{Regional{Country=\"USA\"}} SIP{ReceivePort=5060}");
    ASSERT_NE(tree->Root(), nullptr);
    EXPECT_EQ(tree->Root(), tree->Root());
    TZDBDataValue *general = tree->Root()->Fields("General");
    EXPECT_EQ(tree->Root()->Fields("General"), general);
    EXPECT_EQ(tree->Root()->Items(0), general);
    EXPECT_EQ(general->Fields("Regional")->Fields("Country"), tree->Root()->Items(0)->Items(0)->Items(0));
    EXPECT_EQ(tree->Root()->Fields("SIP")->Fields("ReceivePort")->asInt(), 5060);
}

TEST(ZDBDataTree, CacheStaysSortedWhateverOrderNodesAreMet) {
    constexpr int count = 300;
    QString text;
    for (int i = 0; i < count; ++i)
        text += QStringLiteral("f%1=%1 ").arg(i);
    auto tree = Parse(text);
    TZDBDataValue *root = tree->Root();

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
        EXPECT_EQ(value->asInt(), i);
        EXPECT_EQ(value->Name(), QStringLiteral("f%1").arg(i));
    }
    EXPECT_EQ(std::set<TZDBDataValue *>(byName.begin(), byName.end()).size(), std::size_t(count));
}

TEST(ZDBDataTree, HasFieldOnlyAsks) {
    auto tree = Parse("a=1");
    TZDBDataValue *root = tree->Root();
    EXPECT_FALSE(root->HasField("b"));
    EXPECT_FALSE(root->HasField("b"));
    EXPECT_EQ(root->ArraySize(), 1);
    EXPECT_EQ(tree->ToString(), "a=1");
    EXPECT_TRUE(root->HasField("a"));

    // Fields, unlike HasField, makes the missing node for the caller to fill.
    root->Fields("b")->setAsBool(true);
    EXPECT_TRUE(root->HasField("b"));
    EXPECT_EQ(tree->ToString(), "a=1 b=true");
}

TEST(ZDBDataTree, ItemsOutsideTheNodeAreNone) {
    auto tree = Parse("list[x=1 y=2]");
    TZDBDataValue *list = tree->Root()->Fields("list");
    EXPECT_TRUE(list->IsArray());
    EXPECT_EQ(list->ArraySize(), 2);
    EXPECT_EQ(list->Items(1)->Name(), "y");
    EXPECT_EQ(list->Items(2), nullptr);
    EXPECT_EQ(list->Items(-1), nullptr);
    EXPECT_EQ(list->Items(1)->Items(0), nullptr);
}

TEST(ZDBDataTree, CreateNewRefusesWhatIsNotATree) {
    EXPECT_EQ(TZDBDataTree::CreateNew("General{"), nullptr);
    EXPECT_EQ(TZDBDataTree::CreateNew("a=\"unterminated"), nullptr);

    auto empty = TZDBDataTree::CreateNew(QString());
    ASSERT_NE(empty, nullptr);
    ASSERT_NE(empty->Root(), nullptr);
    EXPECT_EQ(empty->Root()->ArraySize(), 0);
    EXPECT_EQ(empty->ToString(), "");
    // What proxies do with a tree built from empty custom data: write into it.
    empty->Root()->Fields("IPComm")->Fields("DHCP")->setAsBool(true);
    EXPECT_EQ(empty->ToString(), "IPComm{DHCP=true}");
}

TEST(ZDBDataTree, TypedPropertiesSurviveTheText) {
    auto tree = Parse("");
    TZDBDataValue *root = tree->Root();
    root->Fields("s")->setAsString(QString::fromUtf8("Zürich € \"quoted\" \\ {x}"));
    root->Fields("i")->setAsInt(-480);
    root->Fields("c")->setAsCardinal(0xFFFFFF00u);
    root->Fields("b")->setAsBool(false);
    root->Fields(QString::fromUtf8("naïve name"))->setIsArray(true);

    auto copy = Parse(tree->ToString());
    TZDBDataValue *r = copy->Root();
    EXPECT_EQ(r->Fields("s")->asString(), QString::fromUtf8("Zürich € \"quoted\" \\ {x}"));
    EXPECT_EQ(r->Fields("i")->asInt(), -480);
    EXPECT_EQ(r->Fields("c")->asCardinal(), 0xFFFFFF00u);
    EXPECT_FALSE(r->Fields("b")->asBool());
    ASSERT_TRUE(r->HasField(QString::fromUtf8("naïve name")));
    EXPECT_TRUE(r->Fields(QString::fromUtf8("naïve name"))->IsArray());
    EXPECT_EQ(r->Items(4)->Name(), QString::fromUtf8("naïve name"));
    EXPECT_EQ(copy->ToString(), tree->ToString());
}

TEST(ZDBDataTree, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    auto tree = Parse("");
    TZDBDataValue *value = tree->Root()->Fields(QString::fromUtf8("Ā"));
    value->setAsString(QString::fromUtf8("a€Āÿ😀"));
    EXPECT_EQ(value->asString(), QString::fromUtf8("a€?ÿ?"));
    EXPECT_EQ(value->Name(), "?");
    EXPECT_EQ(tree->ToString(), QString::fromUtf8("\"?\"=\"a€?ÿ?\""));
}

TEST(ZDBDataTree, ToStringIsTheLibrarysSerialisation) {
    auto tree = Parse(" VLAN {\n  VLANtag = -1\n  PriorityTag = 0 }\n");
    EXPECT_EQ(tree->ToString(), "VLAN{VLANtag=-1 PriorityTag=0}");
    tree->Root()->Fields("VLAN")->Fields("VLANtag")->setAsInt(100);
    EXPECT_EQ(tree->ToString(), "VLAN{VLANtag=100 PriorityTag=0}");
}

TEST(ZDBDataTree, RefusesManualConstruction) {
    try {
        TZDBDataTree tree;
        FAIL() << "constructed";
    } catch (const Exception &e) {
        EXPECT_NE(dynamic_cast<const ZDBDataTreeError *>(&e), nullptr);
        EXPECT_EQ(e.Message(), "Use CreateNew rather than Create to create TZDBDataTree objects");
    }
    try {
        TZDBDataValue value;
        FAIL() << "constructed";
    } catch (const ZDBDataTreeError &e) {
        EXPECT_EQ(e.Message(), "Do not create TZDBDataTree object manually");
    }
}

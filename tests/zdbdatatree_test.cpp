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

// The message with which constructing a T directly fails.
template <typename T>
QString RefusalOf() {
    try {
        T();
    } catch (const ZDBDataTreeError &e) {
        return e.Message();
    }
    return "(constructed)";
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

TEST(ZDBDataTree, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    auto tree = Parse("");
    TZDBDataValue *value = tree->Root()->Fields(QString::fromUtf8("Ā"));
    value->setAsString(QString::fromUtf8("a€Āÿ😀"));
    EXPECT_EQ(value->asString(), QString::fromUtf8("a€?ÿ?"));
    EXPECT_EQ(value->Name(), "?");
    EXPECT_EQ(tree->ToString(), QString::fromUtf8("\"?\"=\"a€?ÿ?\""));
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

TEST(ZDBDataTree, RefusesManualConstruction) {
    EXPECT_EQ(RefusalOf<TZDBDataTree>(), "Use CreateNew rather than Create to create TZDBDataTree objects");
    EXPECT_EQ(RefusalOf<TZDBDataValue>(), "Do not create TZDBDataTree object manually");
}

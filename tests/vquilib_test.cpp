// The host library's data tree through its C functions, then the plug-in's
// wrappers over it and the custom-data schema resolved over those.

#include "CustomDataSchema.h"
#include "VQUILibA.h"
#include "ZDBDataTree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <numeric>
#include <random>
#include <set>
#include <string>

// Readable failure messages.
void PrintTo(const QString &text, std::ostream *out) { *out << '"' << text.toStdString() << '"'; }

namespace {

// A tree handle that is destroyed with the test.
class Tree {
public:
    explicit Tree(const char *text) : FHandle(ZDB_DataTree_Create(text)) {}
    ~Tree() { ZDB_DataTree_Destroy(FHandle); }
    Tree(const Tree &) = delete;
    Tree &operator=(const Tree &) = delete;

    ZDBDataTreeHandle handle() const { return FHandle; }
    ZDBDataValueHandle root() const { return ZDB_DataTree_GetRoot(FHandle); }
    std::string text() const {
        std::string result = "(no callback)";
        ZDB_DataTree_ToString(FHandle, &result,
                              [](void *context, const char *text) { *static_cast<std::string *>(context) = text; });
        return result;
    }

private:
    ZDBDataTreeHandle FHandle;
};

ZDBDataValueHandle field(ZDBDataValueHandle node, const std::string &name) {
    return ZDB_DataValue_FindSubItemByName(node, name.c_str(), ZDB_FindOrCreate);
}

ZDBDataValueHandle existing(ZDBDataValueHandle node, const std::string &name) {
    return ZDB_DataValue_FindSubItemByName(node, name.c_str(), ZDB_FindOnly);
}

// What a node reads as in every kind, then the tree's text.
std::string reads(const Tree &tree, ZDBDataValueHandle node) {
    return std::to_string(ZDB_DataValue_GetInt(node)) + ' ' + std::to_string(ZDB_DataValue_GetUInt(node)) + ' ' +
           std::to_string(ZDB_DataValue_GetBool(node)) + " '" + ZDB_DataValue_GetString(node) + "' " + tree.text();
}

} // namespace

TEST(DataTreeText, AnyNameAndStringSurviveARoundTrip) {
    std::vector<std::string> names{"", " ", "a b", "\"", "\\", "\\\"", "{", "}", "[", "]", "=", "u", "1", "-1", "true",
                                   "x=1", "\\x41", "\x7F", "\xFF\x80"};
    std::string allBytes;
    for (int b = 1; b < 256; ++b) {
        allBytes += char(b);
        if (std::find(names.begin(), names.end(), std::string(1, char(b))) == names.end())
            names.emplace_back(1, char(b));
    }
    names.push_back(allBytes);
    Tree source("");
    for (const std::string &name : names)
        ZDB_DataValue_SetString(field(source.root(), name), name.c_str());

    Tree copy(source.text().c_str());
    ASSERT_EQ(ZDB_DataValue_ArraySize(copy.root()), int32_t(names.size())) << source.text();
    for (std::size_t i = 0; i < names.size(); ++i) {
        const ZDBDataValueHandle node = ZDB_DataValue_FindSubItemByIndex(copy.root(), int32_t(i));
        EXPECT_EQ(ZDB_DataValue_GetName(node), names[i]) << "name #" << i;
        EXPECT_EQ(ZDB_DataValue_GetString(node), names[i]) << "name #" << i;
    }
}

TEST(DataTreeText, ArraysAndRecordsNestAndKeepTheirOrder) {
    // The root, too, has a value and an array flag.
    const char *text = "=7u[list[e0=0 e1=10{inner[]} e2=20] emptyList[] record{a=\"x\"}]";
    Tree tree(text);
    EXPECT_EQ(tree.text(), text);
    EXPECT_EQ(ZDB_DataValue_GetUInt(tree.root()), 7u);
    EXPECT_EQ(ZDB_DataValue_IsArray(tree.root()), 1);
    const ZDBDataValueHandle list = existing(tree.root(), "list");
    EXPECT_EQ(ZDB_DataValue_IsArray(list), 1);
    EXPECT_EQ(ZDB_DataValue_IsArray(existing(tree.root(), "record")), 0);
    EXPECT_EQ(ZDB_DataValue_ArraySize(list), 3);
    EXPECT_EQ(ZDB_DataValue_GetInt(ZDB_DataValue_FindSubItemByIndex(list, 2)), 20);
    EXPECT_EQ(ZDB_DataValue_FindSubItemByIndex(list, 3), 0u);
    EXPECT_EQ(ZDB_DataValue_FindSubItemByIndex(list, -1), 0u);

    ZDB_DataValue_SetArray(list, 0);
    ZDB_DataValue_SetArray(field(existing(list, "e2"), "new"), 1);
    ZDB_DataValue_SetArray(tree.root(), 0);
    EXPECT_EQ(tree.text(), "=7u list{e0=0 e1=10{inner[]} e2=20{new[]}} emptyList[] record{a=\"x\"}");
}

TEST(DataTreeText, DeepNestingNeedsNoCallStack) {
    // Far deeper than a recursive parser, serialiser or destructor could go.
    constexpr int depth = 200000;
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += "n{";
    text += "leaf=1" + std::string(depth, '}');

    Tree deep(text.c_str());
    EXPECT_EQ(deep.text(), text);
    ZDBDataValueHandle node = deep.root();
    for (int i = 0; i < depth; ++i)
        node = existing(node, "n");
    EXPECT_EQ(ZDB_DataValue_GetInt(existing(node, "leaf")), 1);

    text.pop_back();
    EXPECT_EQ(ZDB_DataTree_Create(text.c_str()), 0u) << "one brace short";
}

TEST(DataTreeText, ReadsAnyLayoutAndWritesTheCanonicalOne) {
    const std::pair<const char *, const char *> texts[] = {
        {" \r\n\t a =\t-5 \n b\n{ c = \"x\" d [ ] }\n\"e f\" = true ", "a=-5 b{c=\"x\" d[]} \"e f\"=true"},
        // Leading zeros and -0 read as numbers; escapes in either case.
        {"a=007 b=-0 c=00u d=\"\\x41\\x4a\\x4A\" e\"f\"", "a=7 b=0 c=0u d=\"AJJ\" e f"},
        {"", ""}, // the empty text is an empty tree
        {" \r\n\t", ""},
        // Already canonical: the extremes of every kind, and the documented example.
        {"empty=\"\" min=-2147483648 max=2147483647 zero=0 umax=4294967295u uzero=0u yes=true no=false none", nullptr},
        {"Codecs[c=1 c=2] \"Door \\\"A\\\"\\x09B\"=\"open\" Level=3{Min=0 Max=7}", nullptr},
    };
    for (const auto &[text, canonical] : texts)
        EXPECT_EQ(Tree(text).text(), canonical ? canonical : text) << text;
    EXPECT_EQ(Tree(nullptr).text(), "");

    Tree example(texts[5].first);
    EXPECT_EQ(ZDB_DataValue_GetName(ZDB_DataValue_FindSubItemByIndex(example.root(), 1)), std::string("Door \"A\"\tB"));
    EXPECT_EQ(ZDB_DataValue_GetInt(existing(existing(example.root(), "Level"), "Max")), 7);
}

TEST(DataTreeText, MalformedTextsAreNoTrees) {
    const char *malformed[] = {
        "{", "a}", "a[}", "a{b}}", "[a] b", "a= ", "=1 =2", "a=1b", "a=TRUE", "a=1uu", "a=-1u", "a=+1",
        "a=2147483648", "a=4294967296u", "a=\"x", "a=\"\\q\"", "a=\"\\x4\"", "a=\"\\x00\"", "a=1=2", "a{b=1 c=}",
    };
    for (const char *text : malformed)
        EXPECT_EQ(ZDB_DataTree_Create(text), 0u) << text;
}

TEST(DataTreeNodes, FindOrCreateMakesAUsableNodeFindOnlyDoesNot) {
    Tree tree("");
    const ZDBDataValueHandle root = tree.root();
    EXPECT_EQ(existing(root, "General"), 0u);
    EXPECT_EQ(ZDB_DataValue_ArraySize(root), 0) << "a failed find adds nothing";
    const ZDBDataValueHandle made = field(root, "General");
    ASSERT_NE(made, 0u);
    EXPECT_EQ(field(root, "General"), made);
    EXPECT_EQ(existing(root, "General"), made);
    EXPECT_STREQ(ZDB_DataValue_GetName(made), "General");
    EXPECT_EQ(reads(tree, made), "0 0 0 '' General"); // a new node reads as nothing in every kind
    ZDB_DataValue_SetInt(field(made, "InterdigitTO"), 2200);
    EXPECT_EQ(tree.text(), "General{InterdigitTO=2200}");

    // The first of two equal names wins; a NULL name is the empty name.
    Tree twins("a=1 a=2");
    EXPECT_EQ(ZDB_DataValue_GetInt(existing(twins.root(), "a")), 1);
    EXPECT_EQ(ZDB_DataValue_FindSubItemByName(twins.root(), nullptr, ZDB_FindOnly), 0u);
    const ZDBDataValueHandle unnamed = ZDB_DataValue_FindSubItemByName(twins.root(), nullptr, ZDB_FindOrCreate);
    EXPECT_EQ(existing(twins.root(), ""), unnamed);
    EXPECT_EQ(twins.text(), "a=1 a=2 \"\"");
}

TEST(DataTreeNodes, SettersReplaceTheKindAndGettersConvert) {
    Tree tree("");
    const ZDBDataValueHandle v = field(tree.root(), "v");
    const std::pair<std::function<void()>, const char *> steps[] = {
        {[v] { ZDB_DataValue_SetInt(v, -1); }, "-1 4294967295 1 '-1' v=-1"},
        {[v] { ZDB_DataValue_SetUInt(v, 0x80000000u); }, "-2147483648 2147483648 1 '2147483648' v=2147483648u"},
        {[v] { ZDB_DataValue_SetBool(v, 2); }, "1 1 1 'true' v=true"}, // any non-zero byte is true
        {[v] { ZDB_DataValue_SetString(v, "42"); }, "42 42 0 '42' v=\"42\""},
        {[v] { ZDB_DataValue_SetString(v, "-7"); }, "-7 0 0 '-7' v=\"-7\""},
        {[v] { ZDB_DataValue_SetString(v, nullptr); }, "0 0 0 '' v=\"\""},
        {[v] { ZDB_DataValue_SetInt(v, 5); }, "5 5 1 '5' v=5"},
        {[v] { ZDB_DataValue_SetBool(v, 0); }, "0 0 0 'false' v=false"}, // the number's text is gone
    };
    for (const auto &[set, reading] : steps) {
        set();
        EXPECT_EQ(reads(tree, v), reading);
    }
}

TEST(DataTreeNodes, ReturnedTextOutlivesCallsOnOtherNodes) {
    Tree tree("a=\"first\" b=12");
    const ZDBDataValueHandle a = existing(tree.root(), "a");
    const char *text = ZDB_DataValue_GetString(a);
    const char *name = ZDB_DataValue_GetName(a);
    const char *number = ZDB_DataValue_GetString(existing(tree.root(), "b"));
    ZDB_DataValue_SetString(field(tree.root(), "c"), "other");
    ZDB_DataValue_GetString(field(tree.root(), "c"));
    for (int i = 0; i < 100; ++i)
        field(tree.root(), "n" + std::to_string(i));
    EXPECT_STREQ(text, "first");
    EXPECT_STREQ(name, "a");
    EXPECT_STREQ(number, "12");
}

TEST(DataTreeHandles, AreNonZeroDistinctAndStableUntilTheTreeGoes) {
    Tree first("a{b=1}"), second("a{b=2}");
    const ZDBDataValueHandle a = existing(first.root(), "a");
    const ZDBDataValueHandle b = existing(a, "b");
    const std::set<uint32_t> seen{first.handle(), second.handle(), first.root(), second.root(), a, b,
                                  existing(second.root(), "a")};
    EXPECT_EQ(seen.size(), 7u);
    EXPECT_EQ(seen.count(0), 0u);

    // Many siblings later (the node storage grows) the early handles still work.
    for (int i = 0; i < 5000; ++i)
        field(a, "x" + std::to_string(i));
    EXPECT_EQ(ZDB_DataValue_GetInt(b), 1);
    EXPECT_EQ(existing(a, "b"), b);
}

TEST(DataTreeHandles, StaleAndForeignHandlesAreRefused) {
    Tree gone("a=5");
    const ZDBDataValueHandle root = gone.root();
    const ZDBDataValueHandle a = ZDB_DataValue_FindSubItemByIndex(root, 0);
    ZDB_DataTree_Destroy(gone.handle());
    ZDB_DataTree_Destroy(gone.handle());
    EXPECT_EQ(gone.root(), 0u);
    EXPECT_EQ(gone.text(), "(no callback)");
    ZDB_DataValue_SetInt(a, 1);
    EXPECT_EQ(ZDB_DataValue_GetInt(a), 0);
    EXPECT_EQ(ZDB_DataValue_FindSubItemByName(root, "b", ZDB_FindOrCreate), 0u);

    // A tree handle is not a node handle, and a node handle is not a tree handle.
    Tree live("a=5");
    EXPECT_EQ(ZDB_DataValue_ArraySize(live.handle()), 0);
    EXPECT_EQ(ZDB_DataTree_GetRoot(live.root()), 0u);
    ZDB_DataTree_Destroy(live.root());
    EXPECT_EQ(ZDB_DataValue_GetInt(existing(live.root(), "a")), 5);
    EXPECT_EQ(ZDB_DataValue_GetInt(0xFFFFFFFFu), 0);
}

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

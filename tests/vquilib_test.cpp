#include "VQUILibA.h"

#include "IPC_ResidentDeviceCommon_Types.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <algorithm>
#include <climits>
#include <set>
#include <string>

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

std::string allBytes() {
    std::string bytes;
    for (int b = 1; b < 256; ++b)
        bytes.push_back(char(b));
    return bytes;
}

} // namespace

TEST(DataTreeText, EveryKindSurvivesARoundTrip) {
    Tree source("");
    const ZDBDataValueHandle root = source.root();
    ZDB_DataValue_SetString(field(root, "text"), allBytes().c_str());
    ZDB_DataValue_SetString(field(root, "empty"), "");
    ZDB_DataValue_SetInt(field(root, "min"), INT32_MIN);
    ZDB_DataValue_SetInt(field(root, "max"), INT32_MAX);
    ZDB_DataValue_SetInt(field(root, "zero"), 0);
    ZDB_DataValue_SetUInt(field(root, "umax"), UINT32_MAX);
    ZDB_DataValue_SetUInt(field(root, "uzero"), 0);
    ZDB_DataValue_SetBool(field(root, "yes"), 1);
    ZDB_DataValue_SetBool(field(root, "no"), 0);
    field(root, "none");

    Tree copy(source.text().c_str());
    ASSERT_NE(copy.handle(), 0u) << source.text();
    const ZDBDataValueHandle r = copy.root();
    EXPECT_EQ(ZDB_DataValue_ArraySize(r), 10);
    EXPECT_EQ(ZDB_DataValue_GetString(existing(r, "text")), allBytes());
    EXPECT_STREQ(ZDB_DataValue_GetString(existing(r, "empty")), "");
    EXPECT_EQ(ZDB_DataValue_GetInt(existing(r, "min")), INT32_MIN);
    EXPECT_EQ(ZDB_DataValue_GetInt(existing(r, "max")), INT32_MAX);
    EXPECT_EQ(ZDB_DataValue_GetUInt(existing(r, "umax")), UINT32_MAX);
    EXPECT_EQ(ZDB_DataValue_GetBool(existing(r, "yes")), 1);
    EXPECT_EQ(ZDB_DataValue_GetBool(existing(r, "no")), 0);
    ASSERT_NE(existing(r, "none"), 0u);
    // The kinds themselves come back, not just values that read alike.
    EXPECT_EQ(copy.text(), source.text());
    EXPECT_NE(source.text().find(
                  "empty=\"\" min=-2147483648 max=2147483647 zero=0 umax=4294967295u uzero=0u yes=true no=false none"),
              std::string::npos)
        << source.text();
}

TEST(DataTreeText, AnyNameSurvivesARoundTrip) {
    std::vector<std::string> names{"", " ", "a b", "\"", "\\", "\\\"", "{", "}", "[", "]", "=", "u", "1", "-1", "true",
                                   "x=1", "\\x41", "\x7F", "\xFF\x80", allBytes()};
    for (int b = 1; b < 256; ++b)
        if (std::find(names.begin(), names.end(), std::string(1, char(b))) == names.end())
            names.emplace_back(1, char(b));

    Tree source("");
    for (std::size_t i = 0; i < names.size(); ++i)
        ZDB_DataValue_SetInt(field(source.root(), names[i]), int32_t(i));

    Tree copy(source.text().c_str());
    ASSERT_NE(copy.handle(), 0u) << source.text();
    ASSERT_EQ(ZDB_DataValue_ArraySize(copy.root()), int32_t(names.size()));
    for (std::size_t i = 0; i < names.size(); ++i) {
        const ZDBDataValueHandle node = ZDB_DataValue_FindSubItemByIndex(copy.root(), int32_t(i));
        EXPECT_EQ(ZDB_DataValue_GetName(node), names[i]) << "name #" << i;
        EXPECT_EQ(ZDB_DataValue_GetInt(node), int32_t(i)) << "name #" << i;
    }
}

TEST(DataTreeText, ArraysAndRecordsNestAndKeepTheirOrder) {
    Tree source("");
    const ZDBDataValueHandle list = field(source.root(), "list");
    ZDB_DataValue_SetArray(list, 1);
    for (int i = 0; i < 3; ++i)
        ZDB_DataValue_SetInt(field(list, "e" + std::to_string(i)), i * 10);
    const ZDBDataValueHandle inner = field(field(list, "e1"), "inner");
    ZDB_DataValue_SetArray(inner, 1);
    ZDB_DataValue_SetArray(field(source.root(), "emptyList"), 1);
    ZDB_DataValue_SetString(field(field(source.root(), "record"), "a"), "x");
    EXPECT_EQ(source.text(), "list[e0=0 e1=10{inner[]} e2=20] emptyList[] record{a=\"x\"}");

    Tree copy(source.text().c_str());
    ASSERT_NE(copy.handle(), 0u);
    const ZDBDataValueHandle copied = existing(copy.root(), "list");
    EXPECT_EQ(ZDB_DataValue_IsArray(copied), 1);
    EXPECT_EQ(ZDB_DataValue_ArraySize(copied), 3);
    EXPECT_EQ(ZDB_DataValue_GetInt(ZDB_DataValue_FindSubItemByIndex(copied, 2)), 20);
    EXPECT_EQ(ZDB_DataValue_IsArray(existing(existing(copied, "e1"), "inner")), 1);
    EXPECT_EQ(ZDB_DataValue_IsArray(existing(copy.root(), "emptyList")), 1);
    EXPECT_EQ(ZDB_DataValue_ArraySize(existing(copy.root(), "emptyList")), 0);
    EXPECT_EQ(ZDB_DataValue_IsArray(existing(copy.root(), "record")), 0);
    EXPECT_EQ(ZDB_DataValue_FindSubItemByIndex(copied, 3), 0u);
    EXPECT_EQ(ZDB_DataValue_FindSubItemByIndex(copied, -1), 0u);

    // Unmarking turns the brackets back into braces.
    ZDB_DataValue_SetArray(copied, 0);
    EXPECT_EQ(copy.text().substr(0, 6), "list{e");
}

TEST(DataTreeText, TheRootKeepsItsValueAndArrayFlag) {
    Tree source("");
    ZDB_DataValue_SetUInt(source.root(), 7);
    ZDB_DataValue_SetArray(source.root(), 1);
    field(source.root(), "a");
    EXPECT_EQ(source.text(), "=7u[a]");
    Tree copy(source.text().c_str());
    EXPECT_EQ(ZDB_DataValue_GetUInt(copy.root()), 7u);
    EXPECT_EQ(ZDB_DataValue_IsArray(copy.root()), 1);
    EXPECT_EQ(copy.text(), source.text());
}

TEST(DataTreeText, DeepNestingNeedsNoCallStack) {
    // Far deeper than a recursive parser, serialiser or destructor could go.
    constexpr int depth = 200000;
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += "n{";
    text += "leaf=1";
    text += std::string(depth, '}');

    Tree deep(text.c_str());
    ASSERT_NE(deep.handle(), 0u);
    EXPECT_EQ(deep.text(), text);
    ZDBDataValueHandle node = deep.root();
    for (int i = 0; i < depth; ++i)
        node = existing(node, "n");
    EXPECT_EQ(ZDB_DataValue_GetInt(existing(node, "leaf")), 1);

    text.pop_back();
    EXPECT_EQ(ZDB_DataTree_Create(text.c_str()), 0u) << "one brace short";
}

TEST(DataTreeText, ReadsAnyLayoutAndWritesTheCanonicalOne) {
    Tree spaced(" \r\n\t a =\t-5 \n b\n{ c = \"x\" d [ ] }\n\"e f\" = true ");
    ASSERT_NE(spaced.handle(), 0u);
    EXPECT_EQ(spaced.text(), "a=-5 b{c=\"x\" d[]} \"e f\"=true");

    // Leading zeros and -0 read as numbers; escapes in either case.
    Tree loose("a=007 b=-0 c=00u d=\"\\x41\\x4a\\x4A\" e\"f\"");
    ASSERT_NE(loose.handle(), 0u);
    EXPECT_EQ(loose.text(), "a=7 b=0 c=0u d=\"AJJ\" e f");

    const char *documented[] = {
        "General{SoftwareVersion=\"2.3.1\" InterdigitTO=2200 Regional{Country=\"USA\" Timezone=-480 "
        "DaylightSavings=true}} IPSettings{Gateway=3232235777u SubnetMask=4294967040u DNS=\"192.168.1.2\"}",
        "Codecs[c=1 c=2] \"Door \\\"A\\\"\\x09B\"=\"open\" Level=3{Min=0 Max=7}"};
    for (const char *text : documented) {
        Tree example(text);
        EXPECT_EQ(example.text(), text);
    }
    Tree example(documented[1]);
    EXPECT_EQ(ZDB_DataValue_GetName(ZDB_DataValue_FindSubItemByIndex(example.root(), 1)), std::string("Door \"A\"\tB"));
    EXPECT_EQ(ZDB_DataValue_GetInt(existing(existing(example.root(), "Level"), "Max")), 7);
}

TEST(DataTreeText, MalformedTextsAreNoTrees) {
    const char *malformed[] = {
        "{", "}", "]", "a{", "a}", "a[}", "a{]", "a{b}}", "[a", "[a]]", "[a] b", "a=", "a= ", "=",
        "= a", "=1 =2", "a=1b", "a=tru", "a=TRUE", "a=u", "a=1uu", "a=-1u", "a=+1", "a=1.5", "a=x",
        "a=2147483648", "a=-2147483649", "a=4294967296u", "a=99999999999999999999", "\"a", "a=\"x",
        "a=\"\\\"", "a=\"\\q\"", "a=\"\\x\"", "a=\"\\x4\"", "a=\"\\xG0\"", "a=\"\\x00\"", "a==1", "a=1=2",
        "a=\"x\"=1", "!", "a b ;", "a{b=1 c=}", "\"\\x41",
    };
    for (const char *text : malformed)
        EXPECT_EQ(ZDB_DataTree_Create(text), 0u) << text;
}

TEST(DataTreeText, EmptyTextIsAnEmptyTree) {
    for (const char *text : {"", " \r\n\t", static_cast<const char *>(nullptr)}) {
        Tree empty(text);
        ASSERT_NE(empty.handle(), 0u);
        ASSERT_NE(empty.root(), 0u);
        EXPECT_EQ(ZDB_DataValue_ArraySize(empty.root()), 0);
        EXPECT_STREQ(ZDB_DataValue_GetName(empty.root()), "");
        EXPECT_EQ(empty.text(), "");
    }
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
    EXPECT_EQ(ZDB_DataValue_ArraySize(root), 1);
    EXPECT_STREQ(ZDB_DataValue_GetName(made), "General");

    // A new node reads as nothing in every kind.
    EXPECT_EQ(ZDB_DataValue_GetInt(made), 0);
    EXPECT_EQ(ZDB_DataValue_GetUInt(made), 0u);
    EXPECT_EQ(ZDB_DataValue_GetBool(made), 0);
    EXPECT_STREQ(ZDB_DataValue_GetString(made), "");
    EXPECT_EQ(ZDB_DataValue_IsArray(made), 0);
    EXPECT_EQ(tree.text(), "General");

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
    const ZDBDataValueHandle node = field(tree.root(), "v");
    ZDB_DataValue_SetInt(node, -1);
    EXPECT_EQ(ZDB_DataValue_GetUInt(node), UINT32_MAX);
    EXPECT_EQ(ZDB_DataValue_GetBool(node), 1);
    EXPECT_STREQ(ZDB_DataValue_GetString(node), "-1");

    ZDB_DataValue_SetUInt(node, 0x80000000u);
    EXPECT_EQ(ZDB_DataValue_GetInt(node), INT32_MIN);
    EXPECT_STREQ(ZDB_DataValue_GetString(node), "2147483648");
    EXPECT_EQ(tree.text(), "v=2147483648u");

    ZDB_DataValue_SetBool(node, 2);
    EXPECT_EQ(ZDB_DataValue_GetInt(node), 1) << "any non-zero byte is true";
    EXPECT_STREQ(ZDB_DataValue_GetString(node), "true");

    ZDB_DataValue_SetString(node, "42");
    EXPECT_EQ(ZDB_DataValue_GetInt(node), 42);
    EXPECT_EQ(ZDB_DataValue_GetUInt(node), 42u);
    EXPECT_EQ(ZDB_DataValue_GetBool(node), 0);
    EXPECT_EQ(tree.text(), "v=\"42\"");
    ZDB_DataValue_SetString(node, "-7");
    EXPECT_EQ(ZDB_DataValue_GetInt(node), -7);
    EXPECT_EQ(ZDB_DataValue_GetUInt(node), 0u);
    ZDB_DataValue_SetString(node, "true");
    EXPECT_EQ(ZDB_DataValue_GetBool(node), 1);
    EXPECT_EQ(ZDB_DataValue_GetInt(node), 0);
    ZDB_DataValue_SetString(node, nullptr);
    EXPECT_EQ(tree.text(), "v=\"\"");

    // A string written after a number does not keep the number's text.
    ZDB_DataValue_SetInt(node, 5);
    ZDB_DataValue_GetString(node);
    ZDB_DataValue_SetBool(node, 0);
    EXPECT_EQ(tree.text(), "v=false");
}

TEST(DataTreeNodes, ReturnedTextOutlivesCallsOnOtherNodes) {
    Tree tree("a=\"first\" b=12");
    const ZDBDataValueHandle a = existing(tree.root(), "a");
    const ZDBDataValueHandle b = existing(tree.root(), "b");
    const char *text = ZDB_DataValue_GetString(a);
    const char *name = ZDB_DataValue_GetName(a);
    const char *number = ZDB_DataValue_GetString(b);
    ZDB_DataValue_SetString(field(tree.root(), "c"), "other");
    ZDB_DataValue_GetString(field(tree.root(), "c"));
    for (int i = 0; i < 100; ++i)
        field(tree.root(), "n" + std::to_string(i));
    EXPECT_STREQ(text, "first");
    EXPECT_STREQ(name, "a");
    EXPECT_STREQ(number, "12");
}

TEST(DataTreeHandles, AreNonZeroDistinctAndStableUntilTheTreeGoes) {
    Tree first("a{b=1}");
    Tree second("a{b=2}");
    const ZDBDataValueHandle a = existing(first.root(), "a");
    const ZDBDataValueHandle b = existing(a, "b");
    std::set<uint32_t> seen{first.handle(), second.handle(), first.root(), second.root(), a, b,
                            existing(second.root(), "a")};
    EXPECT_EQ(seen.size(), 7u);
    EXPECT_EQ(seen.count(0), 0u);

    // Many siblings later (the node storage grows) the early handles still work.
    for (int i = 0; i < 5000; ++i)
        field(a, "x" + std::to_string(i));
    EXPECT_EQ(ZDB_DataValue_GetInt(b), 1);
    EXPECT_EQ(existing(a, "b"), b);

    // Handles of one tree grow in the order they are handed out, whatever
    // other trees get in between.
    uint32_t previous = b;
    for (int i = 0; i < 50; ++i) {
        field(second.root(), "z" + std::to_string(i));
        const uint32_t next = field(a, "y" + std::to_string(i));
        EXPECT_GT(int32_t(next - previous), 0);
        previous = next;
    }
}

TEST(DataTreeHandles, StaleAndForeignHandlesAreRefused) {
    ZDBDataTreeHandle gone = ZDB_DataTree_Create("a=5");
    const ZDBDataValueHandle root = ZDB_DataTree_GetRoot(gone);
    const ZDBDataValueHandle a = ZDB_DataValue_FindSubItemByIndex(root, 0);
    ZDB_DataTree_Destroy(gone);
    ZDB_DataTree_Destroy(gone);

    EXPECT_EQ(ZDB_DataTree_GetRoot(gone), 0u);
    EXPECT_EQ(ZDB_DataValue_GetInt(a), 0);
    EXPECT_STREQ(ZDB_DataValue_GetString(a), "");
    EXPECT_STREQ(ZDB_DataValue_GetName(a), "");
    EXPECT_EQ(ZDB_DataValue_FindSubItemByName(root, "b", ZDB_FindOrCreate), 0u);
    ZDB_DataValue_SetInt(a, 1);
    ZDB_DataValue_SetString(a, "x");
    bool called = false;
    ZDB_DataTree_ToString(gone, &called, [](void *context, const char *) { *static_cast<bool *>(context) = true; });
    EXPECT_FALSE(called);

    // A tree handle is not a node handle, and a node handle is not a tree handle.
    Tree live("a=5");
    EXPECT_EQ(ZDB_DataValue_ArraySize(live.handle()), 0);
    EXPECT_EQ(ZDB_DataTree_GetRoot(live.root()), 0u);
    ZDB_DataTree_Destroy(live.root());
    EXPECT_EQ(ZDB_DataValue_GetInt(existing(live.root(), "a")), 5);
    for (uint32_t junk : {0u, 0xFFFFFFFFu, 0x7FFFFFFFu})
        EXPECT_EQ(ZDB_DataValue_GetInt(junk), 0);
    ZDB_DataTree_ToString(live.handle(), nullptr, nullptr);
}

TEST(OptionListRecord, ConstructAndFreeLeaveAnEmptyRecord) {
    TSIPDevice_Profile_Option_List record;
    for (auto &entry : record.list)
        entry = {POT_AutoAnswerType, -3};
    record.len = 9;
    TSIPDevice_Profile_Option_List_Free(&record);
    EXPECT_EQ(record.len, 0);
    for (const auto &entry : record.list) {
        EXPECT_EQ(entry.tag, POT_Invalid);
        EXPECT_EQ(entry.value, 0);
    }
    record.list[4] = {POT_displayToFrom, 1};
    record.len = -1;
    TSIPDevice_Profile_Option_List_Construct(&record);
    EXPECT_EQ(record.len, 0);
    EXPECT_EQ(record.list[4].tag, POT_Invalid);
    EXPECT_EQ(record.list[4].value, 0);
    TSIPDevice_Profile_Option_List_Construct(nullptr);
    TSIPDevice_Profile_Option_List_Free(nullptr);
}

TEST(LibraryFile, ExportsExactlyTheInterface) {
    Dl_info info{};
    ASSERT_NE(dladdr(reinterpret_cast<void *>(&ZDB_DataTree_Create), &info), 0);
    QProcess nm;
    nm.start("nm", {"-D", "--defined-only", "--format=just-symbols", QString::fromLocal8Bit(info.dli_fname)});
    ASSERT_TRUE(nm.waitForFinished()) << "nm from binutils is needed";
    ASSERT_EQ(nm.exitCode(), 0) << nm.readAllStandardError().toStdString();
    const QStringList exported = QString::fromLatin1(nm.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    const QStringList expected{
        "TSIPDevice_Profile_Option_List_Construct", "TSIPDevice_Profile_Option_List_Free",
        "ZDB_DataTree_Create", "ZDB_DataTree_Destroy", "ZDB_DataTree_GetRoot", "ZDB_DataTree_ToString",
        "ZDB_DataValue_ArraySize", "ZDB_DataValue_FindSubItemByIndex", "ZDB_DataValue_FindSubItemByName",
        "ZDB_DataValue_GetBool", "ZDB_DataValue_GetInt", "ZDB_DataValue_GetName", "ZDB_DataValue_GetString",
        "ZDB_DataValue_GetUInt", "ZDB_DataValue_IsArray", "ZDB_DataValue_SetArray", "ZDB_DataValue_SetBool",
        "ZDB_DataValue_SetInt", "ZDB_DataValue_SetString", "ZDB_DataValue_SetUInt"};
    QStringList sorted = exported;
    sorted.sort();
    EXPECT_EQ(sorted, expected) << QString::fromLatin1(info.dli_fname).toStdString();
}

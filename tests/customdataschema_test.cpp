// A custom-data schema resolved once: the nodes it finds and makes, seen in
// the text the tree is written as.

#include "CustomDataSchema.h"

#include <gtest/gtest.h>

// Readable failure messages.
void PrintTo(const QString &text, std::ostream *out) { *out << '"' << text.toStdString() << '"'; }

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

#include "SysUtils.h"
#include "MetaClass.h"

#include <gtest/gtest.h>

TEST(CodePage, RoundTripsEveryByte) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        all.push_back(char(b));
    EXPECT_EQ(ToAnsi(FromAnsi(all)), all);
}

TEST(CodePage, MapsWindows1252AndReplacesTheRest) {
    EXPECT_EQ(FromAnsi("\x80\x99\xE9"), QString::fromUtf8("€™é"));
    EXPECT_EQ(ToAnsi(QString::fromUtf8("€ŸÿĀ")), std::string("\x80\x9F\xFF?"));
    // A character outside the basic plane is one '?', not two.
    EXPECT_EQ(ToAnsi(QString::fromUtf8("a😀b")), "a?b");
    EXPECT_EQ(FromAnsi(nullptr), QString());
}

TEST(Assertion, NamesTheUnitAndLine) {
    try {
        Assert(false, "UI\\AdminUI\\DevicePlugins\\PluginExport", 42);
        FAIL();
    } catch (const EAssertionFailed &e) {
        EXPECT_EQ(e.Message(), "Assertion failure (UI\\AdminUI\\DevicePlugins\\PluginExport, line 42)");
    }
    EXPECT_NO_THROW(Assert(true, "x", 1, "never"));
    EXPECT_THROW(Assert(false, "x", 1, "custom"), Exception);
}

namespace {
struct TestMeta : TMetaClass { using TMetaClass::TMetaClass; };
const TestMeta Base("TBase", nullptr), Child("TChild", &Base), Other("TOther", nullptr);
}

TEST(MetaClass, InheritsFromFollowsParents) {
    EXPECT_TRUE(Child.InheritsFrom(&Base));
    EXPECT_TRUE(Child.InheritsFrom(&Child));
    EXPECT_FALSE(Base.InheritsFrom(&Child));
    EXPECT_FALSE(Child.InheritsFrom(&Other));
    EXPECT_EQ(Child.ClassName(), "TChild");
}

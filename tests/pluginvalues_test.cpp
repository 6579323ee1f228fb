// The small value types: the 8-bit code page, assertions and conversions of
// the system's runtime; the plug-in's profile option list and value tables.

#include "DPValueTables.h"
#include "DevProfileOption.h"
#include "SysUtils.h"

#include <QRegularExpression>

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
}

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

} // namespace

// Texts that are ASCII up to some point, long and short: what is not ASCII
// is converted wherever it stands.
TEST(CodePage, ASCIIAndTheRestMixed) {
    const QString ascii = QStringLiteral("General{SoftwareVersion=\"2.3.1\" InterdigitTO=2200} IPComm{DHCP=false}");
    const std::string bytes = ascii.toStdString();
    const std::pair<QString, std::string> texts[] = {
        {QString(), ""},
        {ascii, bytes},
        {ascii + QChar(0) + ascii, bytes + '\0' + bytes},
        {QString::fromUtf8("€™é") + ascii, "\x80\x99\xE9" + bytes},
        {ascii + QChar(0x9D) + ascii + QString::fromUtf8("Ÿÿ"), bytes + "\x9D" + bytes + "\x9F\xFF"},
    };
    for (const auto &[text, ansi] : texts) {
        EXPECT_EQ(ToAnsi(text), ansi) << text.toStdString();
        EXPECT_EQ(FromAnsi(ansi), text) << ansi;
    }
    // Characters the code page lacks, a lone surrogate included, become one '?' each.
    EXPECT_EQ(ToAnsi(ascii + QChar(0x80) + QChar(0xD800) + QString::fromUtf8("😀") + QChar(0xDC00) + QChar(0x100)),
              bytes + "?????");
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

TEST(Conversions, IntegersAreSignedDecimalsAndNothingElse) {
    struct {
        const char *Text;
        bool Valid;
        int32_t Value;
    } const cases[] = {
        {"-17", true, -17},       {"+42", true, 42},   {"-2147483648", true, INT32_MIN},
        {"2147483648", false, 0}, {"", false, 0},      {"+-1", false, 0},
        {" 1", false, 0},         {"0x10", false, 0},  {"1.0", false, 0},
    };
    for (const auto &c : cases) {
        int32_t value = -99;
        EXPECT_EQ(TryStrToInt(c.Text, value), c.Valid) << c.Text;
        EXPECT_EQ(value, c.Valid ? c.Value : -99) << c.Text;
        if (!c.Valid) {
            EXPECT_THROW(StrToInt(c.Text), EConvertError) << c.Text;
        }
    }
}

TEST(Conversions, BooleansAreTheTwoWordsInAnyCaseOrNumbers) {
    struct {
        const char *Text;
        bool Value;
    } const valid[] = {{"TRUE", true}, {"FaLsE", false}, {"0", false}, {"-2", true}, {"0.5", true}, {"1e3", true}};
    for (const auto &c : valid)
        EXPECT_EQ(StrToBool(c.Text), c.Value) << c.Text;
    for (const char *text : {"", "yes", "true ", " 1", "1.2.3", "0x1"})
        EXPECT_THROW(StrToBool(text), EConvertError) << text;
}

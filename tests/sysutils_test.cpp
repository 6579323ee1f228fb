#include "SysUtils.h"

#include <gtest/gtest.h>

TEST(CodePage, MapsWindows1252AndReplacesTheRest) {
    EXPECT_EQ(FromAnsi("\x80\x99\xE9"), QString::fromUtf8("€™é"));
    EXPECT_EQ(ToAnsi(QString::fromUtf8("€ŸÿĀ")), std::string("\x80\x9F\xFF?"));
    // A character outside the basic plane is one '?', not two.
    EXPECT_EQ(ToAnsi(QString::fromUtf8("a😀b")), "a?b");
    EXPECT_EQ(FromAnsi(nullptr), QString());
}

// Texts that are ASCII up to some point, long and short: what is not ASCII
// is converted wherever it stands.
TEST(CodePage, ASCIIAndTheRestMixed) {
    const QString ascii = QStringLiteral("General{SoftwareVersion=\"2.3.1\" InterdigitTO=2200} IPComm{DHCP=false}");
    const std::string bytes = ascii.toStdString();
    const std::pair<QString, std::string> texts[] = {
        {QString(), ""},
        {ascii, bytes},
        {ascii + QChar(0) + ascii, bytes + '\0' + bytes},
        {QString::fromUtf8("€") + ascii, "\x80" + bytes},
        {ascii + QChar(0x9D) + ascii + QString::fromUtf8("Ÿ"), bytes + "\x9D" + bytes + "\x9F"},
    };
    for (const auto &[text, ansi] : texts) {
        EXPECT_EQ(ToAnsi(text), ansi) << text.toStdString();
        EXPECT_EQ(FromAnsi(ansi), text) << ansi;
    }
    // Characters the code page lacks, a lone surrogate included, become one '?' each.
    EXPECT_EQ(ToAnsi(ascii + QChar(0x80) + QChar(0xD800) + QString::fromUtf8("😀") + QChar(0xDC00) + QChar(0x100)),
              bytes + "?????");
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
    try {
        StrToInt("12a");
        FAIL();
    } catch (const EConvertError &e) {
        EXPECT_EQ(e.Message(), "'12a' is not a valid integer value");
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
    try {
        StrToBool("yes");
        FAIL();
    } catch (const EConvertError &e) {
        EXPECT_EQ(e.Message(), "'yes' is not a valid boolean value");
    }
}

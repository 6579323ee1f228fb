// Splitting script lines into words as a POSIX shell does.

#include "commandline/ShellWords.h"

#include <gtest/gtest.h>

namespace {

TEST(ShellWords, SplitsAsTheShellDoes) {
    struct TCase {
        QString Line;
        QStringList Words;
    } cases[] = {
        {"", {}},
        {" \t ", {}},
        {"type  edUniqueID\tabc ", {"type", "edUniqueID", "abc"}},
        {"a 'b c' \"d e\"", {"a", "b c", "d e"}},
        {"'' \"\" x", {"", "", "x"}},
        {"ab'cd'\"ef\"gh", {"abcdefgh"}},
        {"a\\ b \\'c\\\\", {"a b", "'c\\"}},
        {"'it''s' \"it's\" 'say \"hi\"'", {"its", "it's", "say \"hi\""}},
        // In single quotes a backslash is a backslash.
        {"'a\\b' 'c\\'", {"a\\b", "c\\"}},
        // In double quotes it escapes only $ ` \" \\ and newline.
        {"\"a\\$b\\`c\\\"d\\\\e\\xf\"", {"a$b`c\"d\\e\\xf"}},
        {"\"a\\\nb\" c\\\nd", {"ab", "cd"}},
        // Nothing is expanded.
        {"$HOME *.png ~ #x", {"$HOME", "*.png", "~", "#x"}},
        {"caf\u00E9 \u201Aok\u201A", {"caf\u00E9", "\u201Aok\u201A"}},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Line.toStdString());
        EXPECT_EQ(SplitShellWords(c.Line), c.Words);
    }
}

TEST(ShellWords, RefusesAnUnfinishedLine) {
    struct TCase {
        QString Line;
        const char *Message;
    } cases[] = {
        {"type x 'abc", "unterminated single quote"},
        {"type x \"abc", "unterminated double quote"},
        {"type x \"abc\\\"", "unterminated double quote"},
        {"type x abc\\", "a backslash ends the line"},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Line.toStdString());
        try {
            SplitShellWords(c.Line);
            ADD_FAILURE() << "accepted";
        } catch (const EShellWords &e) {
            EXPECT_EQ(e.Message(), c.Message);
        }
    }
}

} // namespace

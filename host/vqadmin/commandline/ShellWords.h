#pragma once
// Splitting a line into words as a POSIX shell does, without expansions:
// blanks separate words; a backslash keeps the next character as it is (and
// drops a newline); single quotes keep everything up to the next single
// quote; double quotes keep everything up to the next unescaped double quote,
// where a backslash escapes only $ ` " \ and newline. "" and '' make an empty word.

#include "SysUtils.h"

#include <QStringList>

// An unterminated quote or a backslash at the very end.
class EShellWords : public Exception {
public:
    using Exception::Exception;
};

QStringList SplitShellWords(const QString &Line);

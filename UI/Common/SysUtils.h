#pragma once
// Runtime basics every unit leans on: the exception root, assertions that name
// the unit and line, and the one place where text crosses between UTF-16 and
// the system's default 8-bit code page (Windows-1252).

#include <QString>

#include <cstdint>
#include <stdexcept>
#include <string>

// Root of every exception the plug-in raises.
class Exception : public std::exception {
public:
    explicit Exception(QString message);
    const QString &Message() const { return FMessage; }
    const char *what() const noexcept override { return FWhat.c_str(); }

private:
    QString FMessage;
    std::string FWhat;
};

// A programming error: a missing class, a zero handle, an object of the wrong class.
class EAssertionFailed : public Exception {
public:
    EAssertionFailed(const QString &message, const char *unitPath, int line);
};

// A text that does not convert to the value asked for.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// An object taken as a class it is not an instance of.
class EInvalidCast : public Exception {
public:
    EInvalidCast();
};

// Raises EAssertionFailed "<message> (<unit path>, line <line>)" when the condition fails;
// an empty message reads "Assertion failure".
void Assert(bool condition, const char *unitPath, int line, const QString &message = {});

// A signed 32-bit decimal number: an optional sign and digits, nothing else.
bool TryStrToInt(const QString &Text, int32_t &Value);
// As TryStrToInt; raises EConvertError "'<text>' is not a valid integer value".
int32_t StrToInt(const QString &Text);
// "True" and "False" in any letter case, or a decimal number (true unless 0);
// raises EConvertError "'<text>' is not a valid boolean value" on anything else.
bool StrToBool(const QString &Text);

// 8-bit text in the system's default code page. Characters it cannot hold become '?'.
using AnsiString = std::string;

AnsiString ToAnsi(const QString &text);
QString FromAnsi(const char *text, qsizetype length);
QString FromAnsi(const AnsiString &text);
inline QString FromAnsi(const char *text) { return text ? FromAnsi(text, qsizetype(std::char_traits<char>::length(text))) : QString(); }

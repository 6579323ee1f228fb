#include "SysUtils.h"

#include <QRegularExpression>

#include <array>

Exception::Exception(QString message) : FMessage(std::move(message)), FWhat(FMessage.toStdString()) {}

EAssertionFailed::EAssertionFailed(const QString &message, const char *unitPath, int line)
    : Exception(QStringLiteral("%1 (%2, line %3)")
                    .arg(message.isEmpty() ? QStringLiteral("Assertion failure") : message)
                    .arg(QString::fromLatin1(unitPath))
                    .arg(line)) {}

EInvalidCast::EInvalidCast() : Exception(QStringLiteral("Invalid class typecast")) {}

void Assert(bool condition, const char *unitPath, int line, const QString &message) {
    if (!condition)
        throw EAssertionFailed(message, unitPath, line);
}

bool TryStrToInt(const QString &Text, int32_t &Value) {
    const qsizetype digits = Text.startsWith('+') || Text.startsWith('-') ? 1 : 0;
    if (Text.size() == digits)
        return false;
    for (qsizetype i = digits; i < Text.size(); ++i)
        if (Text.at(i) < '0' || Text.at(i) > '9')
            return false;
    bool ok = false;
    const int value = Text.toInt(&ok, 10);
    if (ok)
        Value = value;
    return ok;
}

int32_t StrToInt(const QString &Text) {
    int32_t value = 0;
    if (!TryStrToInt(Text, value))
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(Text));
    return value;
}

bool StrToBool(const QString &Text) {
    if (Text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (Text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    // Any decimal number, fractions and exponents included, the C locale's way.
    static const QRegularExpression number(
        QRegularExpression::anchoredPattern(QStringLiteral("[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?")));
    if (!number.match(Text).hasMatch())
        throw EConvertError(QStringLiteral("'%1' is not a valid boolean value").arg(Text));
    return Text.toDouble() != 0;
}

namespace {

// Windows-1252 bytes 0x80..0x9F; the five bytes the code page leaves undefined
// map to the C1 control character of the same value, as the system does.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char toByte(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return char(c);
    for (std::size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == c)
            return char(0x80 + i);
    return '?';
}

} // namespace

AnsiString ToAnsi(const QString &text) {
    const qsizetype length = text.size();
    const char16_t *in = reinterpret_cast<const char16_t *>(text.utf16());
    AnsiString result(std::size_t(length), '\0');
    // Most texts are ASCII, which the code page holds as it is: copy first,
    // convert character by character only when something else turns up.
    char16_t seen = 0;
    for (qsizetype i = 0; i < length; ++i) {
        seen |= in[i];
        result[std::size_t(i)] = char(in[i]);
    }
    if (seen < 0x80)
        return result;
    result.clear();
    for (qsizetype i = 0; i < length; ++i) {
        const char16_t c = in[i];
        // A surrogate pair is one character the code page cannot hold.
        if (QChar::isHighSurrogate(c) && i + 1 < length && QChar::isLowSurrogate(in[i + 1]))
            ++i;
        result.push_back(toByte(c));
    }
    return result;
}

QString FromAnsi(const char *text, qsizetype length) {
    // The code page is Latin-1 but for the bytes 0x80..0x9F.
    QString result = QString::fromLatin1(text, length);
    unsigned char seen = 0;
    for (qsizetype i = 0; i < length; ++i)
        seen |= static_cast<unsigned char>(text[i]);
    if (seen < 0x80)
        return result;
    QChar *out = result.data();
    for (qsizetype i = 0; i < length; ++i)
        if (const auto b = static_cast<unsigned char>(text[i]); b >= 0x80 && b < 0xA0)
            out[i] = QChar(kHigh[b - 0x80]);
    return result;
}

QString FromAnsi(const AnsiString &text) { return FromAnsi(text.data(), qsizetype(text.size())); }

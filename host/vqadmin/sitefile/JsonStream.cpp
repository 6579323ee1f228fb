#include "JsonStream.h"

#include <QIODevice>
#include <QJsonArray>
#include <QJsonObject>

#include <charconv>
#include <cmath>
#include <limits>
#include <span>

namespace {

constexpr qint64 ChunkSize = 1 << 16;
// Site files nest a few levels; this bounds the reader's recursion.
constexpr std::size_t MaxDepth = 64;

bool IsSpace(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool IsDigit(int c) { return c >= '0' && c <= '9'; }
bool IsHighSurrogate(char32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

void AppendUtf8(QByteArray &out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

} // namespace

// ---- TJsonReader -------------------------------------------------------------

TJsonReader::TJsonReader(QIODevice &Source) : FSource(Source) {
    // A byte order mark is no part of the text, as QJsonDocument has it too.
    if (FSource.peek(3) == "\xEF\xBB\xBF") {
        FSource.skip(3);
        FBase = FLineStart = 3;
    }
}

bool TJsonReader::Refill() {
    FBase += FBuffer.size();
    FBuffer = FSource.read(ChunkSize);
    FPos = 0;
    return !FBuffer.isEmpty();
}

// A site file is mostly indentation: the buffer is scanned without a call per byte.
int TJsonReader::Peek() {
    while (!AtEnd()) {
        const char *begin = FBuffer.constData(), *end = begin + FBuffer.size(), *p = begin + FPos;
        for (; p < end && IsSpace(*p); ++p)
            if (*p == '\n') {
                ++FLine;
                FLineStart = FBase + (p - begin) + 1;
            }
        FPos = p - begin;
        if (p < end)
            return uchar(*p);
    }
    return -1;
}

void TJsonReader::Malformed(const QString &Why, qint64 At) const {
    if (At < 0)
        At = Offset();
    throw EJsonRead(QStringLiteral("line ") + QString::number(FLine) + QStringLiteral(", column ") +
                    QString::number(At - FLineStart + 1) + QStringLiteral(": not valid JSON: ") + Why);
}

// Spelled out only when asked: each frame's member or element, which stays
// as it is while a value inside is read.
QString TJsonReader::Place() const {
    QString place;
    for (const TFrame &f : std::span(FFrames).first(FDepth)) {
        if (!f.Object)
            place += QLatin1Char('[') + QString::number(f.Count - 1) + QLatin1Char(']');
        else if (place.isEmpty())
            place = f.Key;
        else
            place += QLatin1Char('.') + f.Key;
    }
    return place;
}

void TJsonReader::Push(bool Object) {
    if (FDepth == MaxDepth)
        Malformed(QStringLiteral("nested too deeply"));
    ++FPos;
    if (FDepth == FFrames.size())
        FFrames.emplace_back();
    FFrames[FDepth++].Begin(Object);
}

void TJsonReader::TFrame::Begin(bool IsObject) {
    Object = IsObject;
    Count = 0;
    Key.clear();
    FewKeys.clear();
    MoreKeys.clear();
}

bool TJsonReader::TFrame::AddKey(const QString &Key) {
    if (std::find(FewKeys.begin(), FewKeys.end(), Key) != FewKeys.end() || MoreKeys.contains(Key))
        return false;
    if (FewKeys.size() < FewKeys.capacity())
        FewKeys.append(Key);
    else
        MoreKeys.insert(Key);
    return true;
}

bool TJsonReader::EnterObject() {
    if (Peek() != '{')
        return false;
    Push(true);
    return true;
}

bool TJsonReader::EnterArray() {
    if (Peek() != '[')
        return false;
    Push(false);
    return true;
}

bool TJsonReader::NextInFrame(char Close) {
    TFrame &f = Top();
    const int c = Peek();
    if (c == -1)
        Malformed(QStringLiteral("unexpected end of text"));
    if (c == Close) {
        ++FPos;
        --FDepth;
        return false;
    }
    if (f.Count > 0) {
        if (c != ',')
            Malformed(QStringLiteral("expected \",\" or \"") + QLatin1Char(Close) + QLatin1Char('"'));
        ++FPos;
    }
    ++f.Count;
    return true;
}

bool TJsonReader::NextMember(QString &Key) {
    if (!NextKey(Key))
        return false;
    if (!Top().AddKey(Key))
        throw EJsonRead(Place() + QStringLiteral(": given twice"));
    return true;
}

bool TJsonReader::NextKey(QString &Key) {
    if (!NextInFrame('}'))
        return false;
    if (Peek() != '"')
        Malformed(QStringLiteral("expected a key in double quotes"));
    bool lone = false;
    Key = ParseString(lone, true);
    Top().Key = Key;
    if (lone)
        throw EJsonRead(Place() + QStringLiteral(": the key holds a lone surrogate (half of a UTF-16 pair)"));
    if (Peek() != ':')
        Malformed(QStringLiteral("expected \":\""));
    ++FPos;
    return true;
}

bool TJsonReader::NextElement() { return NextInFrame(']'); }

QJsonValue TJsonReader::ReadValue() {
    switch (Peek()) {
    case '{': {
        Push(true);
        QJsonObject object;
        QString key;
        while (NextKey(key)) {
            if (object.contains(key))
                throw EJsonRead(Place() + QStringLiteral(": given twice"));
            object.insert(key, ReadValue());
        }
        return object;
    }
    case '[': {
        Push(false);
        QJsonArray array;
        while (NextElement())
            array.append(ReadValue());
        return array;
    }
    case '"':
        return *ReadString();
    case 't':
        ParseLiteral("true");
        return true;
    case 'f':
        ParseLiteral("false");
        return false;
    case 'n':
        ParseLiteral("null");
        return QJsonValue::Null;
    case -1:
        Malformed(QStringLiteral("unexpected end of text"));
    default:
        if (Peek() == '-' || IsDigit(Peek()))
            return ParseNumber();
        Malformed(QStringLiteral("expected a value"));
    }
}

std::optional<QString> TJsonReader::ReadString() {
    if (Peek() != '"')
        return std::nullopt;
    bool lone = false;
    QString text = ParseString(lone);
    if (lone)
        throw EJsonRead(Place() + QStringLiteral(": holds a lone surrogate (half of a UTF-16 pair)"));
    return text;
}

void TJsonReader::Finish() {
    if (Peek() != -1)
        Malformed(QStringLiteral("text after the end of the document"));
}

// Records give the same keys, mostly in the same order: the one that came
// after the key met last is tried first.
const QString *TJsonReader::KnownKey(QByteArrayView Utf8) {
    if (FNextKey < FKeys.size() && FKeys[FNextKey].first == Utf8)
        return &FKeys[FNextKey++].second;
    const auto known = FKeyIndex.constFind(QByteArray::fromRawData(Utf8.data(), Utf8.size()));
    if (known == FKeyIndex.cend())
        return nullptr;
    FNextKey = *known + 1;
    return &FKeys[*known].second;
}

QString TJsonReader::NewKey(QByteArrayView Utf8) {
    constexpr std::size_t MaxKeys = 512; // a file of ever new keys is read without keeping them
    const QString text = QString::fromUtf8(Utf8);
    if (FKeys.size() < MaxKeys) {
        const QByteArray bytes = Utf8.toByteArray();
        FKeyIndex.insert(bytes, FKeys.size());
        FKeys.emplace_back(bytes, text);
        FNextKey = FKeys.size();
    }
    return text;
}

QString TJsonReader::ParseString(bool &Lone, bool Key) {
    const qint64 start = Offset();
    ++FPos; // the opening quote
    QByteArray utf8;
    char32_t high = 0; // a high surrogate waiting for its low half
    const auto endPair = [&] {
        if (high) {
            Lone = true;
            AppendUtf8(utf8, 0xFFFD);
            high = 0;
        }
    };
    for (;;) {
        if (AtEnd())
            Malformed(QStringLiteral("unterminated string"));
        // The run of plain characters up to a quote, a backslash or a control character.
        const char *p = FBuffer.constData() + FPos;
        const char *end = FBuffer.constData() + FBuffer.size();
        const char *q = p;
        while (q < end && *q != '"' && *q != '\\' && uchar(*q) >= 0x20)
            ++q;
        if (q < end && *q == '"' && utf8.isEmpty() && !high) {
            // Most strings: no escapes, and all in the buffer.
            FPos += q - p + 1;
            const QByteArrayView text(p, q - p);
            if (const QString *known = Key ? KnownKey(text) : nullptr)
                return *known;
            if (!text.isValidUtf8())
                Malformed(QStringLiteral("invalid UTF-8 in a string"), start);
            return Key ? NewKey(text) : QString::fromUtf8(text);
        }
        if (q > p) {
            endPair();
            utf8.append(p, q - p);
            FPos += q - p;
        }
        if (q == end)
            continue;
        if (*q == '"') {
            ++FPos;
            break;
        }
        if (*q != '\\')
            Malformed(QStringLiteral("control character in a string"));
        ++FPos;
        const int e = PeekRaw();
        if (e == -1)
            Malformed(QStringLiteral("unterminated string"));
        ++FPos;
        if (e != 'u')
            endPair();
        switch (e) {
        case '"':
        case '\\':
        case '/':
            utf8 += char(e);
            break;
        case 'b':
            utf8 += '\b';
            break;
        case 'f':
            utf8 += '\f';
            break;
        case 'n':
            utf8 += '\n';
            break;
        case 'r':
            utf8 += '\r';
            break;
        case 't':
            utf8 += '\t';
            break;
        case 'u': {
            const char32_t u = ParseHex4();
            if (high && IsLowSurrogate(u)) {
                AppendUtf8(utf8, 0x10000 + ((high - 0xD800) << 10) + (u - 0xDC00));
                high = 0;
                break;
            }
            endPair();
            if (IsHighSurrogate(u))
                high = u;
            else if (IsLowSurrogate(u))
                Lone = true, AppendUtf8(utf8, 0xFFFD);
            else
                AppendUtf8(utf8, u);
            break;
        }
        default:
            Malformed(QStringLiteral("invalid escape sequence"), Offset() - 2);
        }
    }
    endPair();
    if (!QByteArrayView(utf8).isValidUtf8())
        Malformed(QStringLiteral("invalid UTF-8 in a string"), start);
    return QString::fromUtf8(utf8);
}

char32_t TJsonReader::ParseHex4() {
    char32_t u = 0;
    for (int i = 0; i < 4; ++i) {
        const int c = PeekRaw();
        int digit;
        if (IsDigit(c))
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            Malformed(QStringLiteral("invalid escape sequence"));
        ++FPos;
        u = u * 16 + char32_t(digit);
    }
    return u;
}

QJsonValue TJsonReader::ParseNumber() {
    std::string text;
    const auto take = [&] {
        text += char(PeekRaw());
        ++FPos;
    };
    const auto digits = [&] {
        if (!IsDigit(PeekRaw()))
            Malformed(QStringLiteral("malformed number"));
        while (IsDigit(PeekRaw()))
            take();
    };
    if (PeekRaw() == '-')
        take();
    if (PeekRaw() == '0')
        take();
    else
        digits();
    bool whole = true;
    if (PeekRaw() == '.') {
        whole = false;
        take();
        digits();
    }
    if (PeekRaw() == 'e' || PeekRaw() == 'E') {
        whole = false;
        take();
        if (PeekRaw() == '+' || PeekRaw() == '-')
            take();
        digits();
    }
    const char *first = text.data();
    const char *last = first + text.size();
    // Whole numbers stay exact up to 64 bits; anything else is a double.
    if (qint64 n = 0; whole && std::from_chars(first, last, n).ec == std::errc())
        return n;
    double d = 0;
    if (std::from_chars(first, last, d).ec == std::errc::result_out_of_range)
        d = text[0] == '-' ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    return d;
}

void TJsonReader::ParseLiteral(const char *Word) {
    for (const char *c = Word; *c; ++c) {
        if (PeekRaw() != *c)
            Malformed(QStringLiteral("expected a value"));
        ++FPos;
    }
}

// ---- TJsonWriter -------------------------------------------------------------

TJsonWriter::TJsonWriter(QIODevice &Out, QString Name) : FOut(Out), FName(std::move(Name)) {
    FBuffer.reserve(2 * ChunkSize);
}

void TJsonWriter::BeforeValue() {
    if (FAfterKey) {
        FAfterKey = false;
        return;
    }
    if (FCounts.empty())
        return;
    if (FCounts.back()++ > 0)
        FBuffer += ',';
    NewLine();
}

void TJsonWriter::NewLine() {
    FBuffer += '\n';
    FBuffer.append(qsizetype(4 * FCounts.size()), ' ');
}

void TJsonWriter::Open(char C) {
    BeforeValue();
    FBuffer += C;
    FCounts.push_back(0);
}

void TJsonWriter::Close(char C) {
    const qsizetype n = FCounts.back();
    FCounts.pop_back();
    if (n > 0)
        NewLine();
    FBuffer += C;
    if (FCounts.empty()) {
        FBuffer += '\n';
        Flush();
    } else if (FBuffer.size() >= ChunkSize) {
        Flush();
    }
}

void TJsonWriter::Key(const QString &Name) {
    BeforeValue();
    WriteString(Name);
    FBuffer += ": ";
    FAfterKey = true;
}

void TJsonWriter::Key(QLatin1String Name) {
    BeforeValue();
    FBuffer += '"';
    FBuffer.append(Name.data(), Name.size());
    FBuffer += "\": ";
    FAfterKey = true;
}

void TJsonWriter::Scalar(const QVariant &Item) {
    BeforeValue();
    switch (Item.typeId()) {
    case QMetaType::Bool:
        FBuffer += Item.toBool() ? "true" : "false";
        break;
    case QMetaType::QString:
        WriteString(Item.toString());
        break;
    default:
        FBuffer += QByteArray::number(Item.toLongLong());
    }
}

void TJsonWriter::Value(const QJsonValue &Item) {
    switch (Item.type()) {
    case QJsonValue::Object: {
        BeginObject();
        const QJsonObject object = Item.toObject();
        for (auto it = object.begin(); it != object.end(); ++it) {
            Key(it.key());
            Value(*it);
        }
        EndObject();
        return;
    }
    case QJsonValue::Array:
        BeginArray();
        for (const QJsonValue &v : Item.toArray())
            Value(v);
        EndArray();
        return;
    default:
        BeforeValue();
        WriteScalar(Item);
    }
}

void TJsonWriter::WriteScalar(const QJsonValue &Item) {
    switch (Item.type()) {
    case QJsonValue::Bool:
        FBuffer += Item.toBool() ? "true" : "false";
        break;
    case QJsonValue::Double:
        // Integers are kept as such; JSON has no text for an infinity.
        if (const QVariant v = Item.toVariant(); v.typeId() == QMetaType::LongLong)
            FBuffer += QByteArray::number(v.toLongLong());
        else if (std::isfinite(Item.toDouble()))
            FBuffer += QByteArray::number(Item.toDouble(), 'g', QLocale::FloatingPointShortest);
        else
            FBuffer += "null";
        break;
    case QJsonValue::String:
        WriteString(Item.toString());
        break;
    default:
        FBuffer += "null";
    }
}

void TJsonWriter::WriteString(QStringView Text) {
    static const char hex[] = "0123456789abcdef";
    const QByteArray utf8 = Text.toUtf8();
    const char *p = utf8.constData();
    const char *end = p + utf8.size();
    FBuffer += '"';
    for (;;) {
        const char *run = p;
        while (p < end && uchar(*p) >= 0x20 && *p != '"' && *p != '\\')
            ++p;
        FBuffer.append(run, p - run);
        if (p == end)
            break;
        switch (const char c = *p++) {
        case '"':
            FBuffer += "\\\"";
            break;
        case '\\':
            FBuffer += "\\\\";
            break;
        case '\n':
            FBuffer += "\\n";
            break;
        case '\r':
            FBuffer += "\\r";
            break;
        case '\t':
            FBuffer += "\\t";
            break;
        default:
            FBuffer += "\\u00";
            FBuffer += hex[c >> 4];
            FBuffer += hex[c & 0xF];
        }
    }
    FBuffer += '"';
}

void TJsonWriter::Flush() {
    // A device may take a part (a disk that fills up); writing the rest then fails and says why.
    for (qsizetype done = 0; done < FBuffer.size();) {
        const qint64 written = FOut.write(FBuffer.constData() + done, FBuffer.size() - done);
        if (written <= 0)
            throw Exception(FName + QStringLiteral(": cannot write: ") + FOut.errorString());
        done += written;
    }
    FBuffer.clear();
}

#pragma once
// JSON text read and written piece by piece, so that a document of any size
// passes through in little memory: the caller walks the objects and arrays it
// expects and handles the values inside them as QJsonValue. The reader is
// stricter than QJsonDocument wherever that would lose data silently: a key
// given twice in one object and a string holding a lone surrogate are refused.

#include "SysUtils.h"

#include <QByteArray>
#include <QHash>
#include <QJsonValue>
#include <QSet>
#include <QVarLengthArray>

#include <optional>

class QIODevice;

// Text that is not JSON ("line 3, column 19: not valid JSON: ..."), or JSON
// that cannot be taken as it is ("profiles[0].name: given twice").
class EJsonRead : public Exception {
public:
    using Exception::Exception;
};

class TJsonReader {
public:
    explicit TJsonReader(QIODevice &Source);

    // Takes the opening of the object or array that comes next; false, taking
    // nothing, when the value there is of another kind.
    bool EnterObject();
    bool EnterArray();
    // The next member of the object entered last, its key in Key; false at the
    // object's end, which is taken. A key given twice is refused.
    bool NextMember(QString &Key);
    // Whether another element of the array entered last follows; false at the
    // array's end, which is taken.
    bool NextElement();
    // The whole value that comes next.
    QJsonValue ReadValue();
    // The string that comes next, without the copies a QJsonValue makes;
    // none, taking nothing, when the value there is of another kind.
    std::optional<QString> ReadString();
    // Refuses anything but white space after the document's value.
    void Finish();

    // Where the value that comes next sits in the document: "profiles[2].fields".
    QString Place() const;
    // Bytes of the source taken so far.
    qint64 Offset() const { return FBase + FPos; }

private:
    struct TFrame {
        bool Object;
        qsizetype Count = 0; // members or elements begun
        QString Key;         // of the member begun last
        // Of the members begun: most objects have a few, looked through
        // without a hash; the others beyond them.
        QVarLengthArray<QString, 16> FewKeys;
        QSet<QString> MoreKeys;
        // False when the object has the key already.
        bool AddKey(const QString &Key);
        // Taken again for an object or array that begins, keeping its room.
        void Begin(bool IsObject);
    };

    // Refills the buffer when it is used up. Inline: every byte of the text passes here.
    bool AtEnd() { return FPos >= FBuffer.size() && !Refill(); }
    bool Refill(); // the source's next piece; false at its end
    int PeekRaw() { return AtEnd() ? -1 : uchar(FBuffer[FPos]); } // the next byte; -1 at the end of the text
    int Peek();     // the next byte after white space
    void Push(bool Object);
    TFrame &Top() { return FFrames[FDepth - 1]; }
    bool NextInFrame(char Close);
    bool NextKey(QString &Key); // without looking for it among those before
    QString ParseString(bool &Lone, bool Key = false);
    const QString *KnownKey(QByteArrayView Utf8);
    QString NewKey(QByteArrayView Utf8);
    char32_t ParseHex4();
    QJsonValue ParseNumber();
    void ParseLiteral(const char *Word);
    // At the byte of the source at At, or where reading stands.
    [[noreturn]] void Malformed(const QString &Why, qint64 At = -1) const;

    QIODevice &FSource;
    QByteArray FBuffer;
    qsizetype FPos = 0;
    qint64 FBase = 0;      // source offset of FBuffer[0]
    qint64 FLineStart = 0; // source offset where the current line begins
    qsizetype FLine = 1;
    // The objects and arrays open around the reading position, the first
    // FDepth; those beyond stay for the next ones to begin.
    std::vector<TFrame> FFrames;
    std::size_t FDepth = 0;
    // The keys met so far, a few hundred at most, in the order they came, and
    // where each is among them: a key is made a QString once.
    std::vector<std::pair<QByteArray, QString>> FKeys;
    QHash<QByteArray, std::size_t> FKeyIndex;
    std::size_t FNextKey = 0; // the one after the key met last
};

// Writes indented JSON text, four spaces a level as QJsonDocument does.
class TJsonWriter {
public:
    // Name is the output's, for messages.
    TJsonWriter(QIODevice &Out, QString Name);

    void BeginObject() { Open('{'); }
    void EndObject() { Close('}'); }
    void BeginArray() { Open('['); }
    void EndArray() { Close(']'); }
    // Names the next member of the current object.
    void Key(const QString &Name);
    void Key(QLatin1String Name);
    // A whole value: a member's after Key, or an array's element.
    void Value(const QJsonValue &Item);
    // A Boolean, an integer or a text given as a QVariant of bool, qlonglong or QString.
    void Scalar(const QVariant &Item);

    // Hands what is buffered to the device; raises Exception when it refuses.
    // The document's end does so by itself.
    void Flush();

private:
    void Open(char C);
    void Close(char C);
    void BeforeValue();
    void NewLine();
    void WriteScalar(const QJsonValue &Item);
    void WriteString(QStringView Text);

    QIODevice &FOut;
    QString FName;
    QByteArray FBuffer;
    std::vector<qsizetype> FCounts; // values written in each open container
    bool FAfterKey = false;
};

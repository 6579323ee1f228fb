#pragma once
// THelpContextMap: turns topic names into help context numbers through a
// table of (hash, context) pairs read from a help project's [MAP] section.
// The reader of help projects is here too, for every part that needs one.

#include "ehsbase.h"

#include <QList>
#include <QStringList>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

class EHelpProject : public Exception {
public:
    using Exception::Exception;
};

// The help compiler's hash of a topic name: h = h * 43 + v(c) in 32-bit arithmetic.
int32_t HelpTopicHash(const QString &TopicID);

struct THelpMapEntry {
    QString Topic;
    int32_t Context;
    friend bool operator==(const THelpMapEntry &, const THelpMapEntry &) = default;
};

// The lines of one section of a help project ("MAP" for [MAP]), up to the next section.
QStringList HelpProjectSection(const QString &ProjectText, const QString &Section);

// The text of an included file by the name it is included with; nothing when it is missing.
using THelpIncludeReader = std::function<std::optional<QString>(const QString &Name)>;

// The entries of map lines: "#define TOPIC NUMBER", "TOPIC NUMBER" and "TOPIC=NUMBER", with
// "#include" lines read through Include where they stand. Numbers are decimal or 0x hexadecimal.
QList<THelpMapEntry> ReadHelpMap(const QStringList &Lines, const THelpIncludeReader &Include);

// The [MAP] of a help project file, its includes relative to the project's folder; each missing
// include is passed to MissingInclude with its path. Raises EHelpProject when the project is missing.
QList<THelpMapEntry> ReadHelpProjectMap(const QString &FileName,
                                        const std::function<void(const QString &Path)> &MissingInclude);

// A help project file's text, read in the system's 8-bit code page; nothing when it cannot be read.
std::optional<QString> ReadHelpFile(const QString &FileName);

class THelpContextMap : public TehsBase {
    Q_OBJECT
public:
    using THashContext = std::pair<int32_t, int32_t>;

    explicit THelpContextMap(QObject *Owner = nullptr);

    QString FileName() const { return FFileName; }
    // Reads the project's map into the table and reports how many pairs it stored; a
    // missing include is reported and skipped. Raises EHelpProject when the project is missing.
    void SetFileName(const QString &Value);

    // The stored table, sorted by hash.
    const std::vector<THashContext> &Pairs() const { return FPairs; }
    // The context of the topic; 0 when the table does not hold it.
    int32_t GetContext(const QString &TopicID) const;
    // The topic name of a control of a form, the names joined as the project's kind wants
    // ("." for .hpj, "_" for .hhp); the form's name alone when ControlName is empty.
    QString TopicName(const QString &FormName, const QString &ControlName) const;

private:
    QString FFileName;
    std::vector<THashContext> FPairs;
};

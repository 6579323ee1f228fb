#include "ehscontextmap.h"

#include "VQControls.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace {

// The help compiler's value of a topic character. Characters outside its
// alphabet (digits, letters, "!", ".", "_") do not occur in valid topic
// names; they count with their code-page byte.
uint32_t TopicCharValue(unsigned char c) {
    if (c >= '1' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 17;
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 17;
    switch (c) {
    case '0':
        return 10;
    case '!':
        return 11;
    case '.':
        return 12;
    case '_':
        return 13;
    default:
        return c;
    }
}

// Decimal, or hexadecimal after "0x"; the value must fit in 32 bits.
std::optional<int32_t> ParseContext(const QString &Text) {
    bool ok = false;
    if (Text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        const qulonglong value = Text.mid(2).toULongLong(&ok, 16);
        if (ok && value <= 0xFFFFFFFFull)
            return int32_t(uint32_t(value));
        return std::nullopt;
    }
    const int value = Text.toInt(&ok, 10);
    return ok ? std::optional<int32_t>(value) : std::nullopt;
}

// Included files may include others; one already being read is skipped, so
// that files including each other end.
class TMapReader {
public:
    explicit TMapReader(const THelpIncludeReader &Include) : FInclude(Include) {}

    void Read(const QStringList &Lines) {
        // A topic name runs up to a space, "=" or ";"; spaces are every character Qt
        // counts as one, as in trimming the line.
        constexpr auto unicode = QRegularExpression::UseUnicodePropertiesOption;
        static const QRegularExpression define(QStringLiteral(R"(^#define\s+([^\s=;]+)\s+(\S+))"), unicode);
        static const QRegularExpression include(QStringLiteral(R"re(^#include\s+(?:"([^"]+)"|<([^>]+)>|(\S+)))re"),
                                                unicode);
        static const QRegularExpression plain(QStringLiteral(R"(^([^\s=;#/][^\s=;]*)\s*(?:=\s*|\s+)([^\s;]+))"),
                                              unicode);
        for (const QString &line : Lines) {
            const QString text = line.trimmed();
            if (const auto m = include.match(text); m.hasMatch())
                Include(m.captured(1) + m.captured(2) + m.captured(3));
            else if (const auto m = define.match(text); m.hasMatch())
                Add(m.captured(1), m.captured(2));
            else if (const auto m = plain.match(text); m.hasMatch())
                Add(m.captured(1), m.captured(2));
        }
    }

    QList<THelpMapEntry> Entries;

private:
    void Add(const QString &Topic, const QString &Number) {
        if (const auto context = ParseContext(Number))
            Entries.append({Topic, *context});
    }

    void Include(const QString &Name) {
        if (FReading.contains(Name))
            return;
        const std::optional<QString> text = FInclude(Name);
        if (!text)
            return;
        FReading.insert(Name);
        Read(text->split(QRegularExpression(QStringLiteral("\r\n|\r|\n"))));
        FReading.remove(Name);
    }

    const THelpIncludeReader &FInclude;
    QSet<QString> FReading;
};

} // namespace

int32_t HelpTopicHash(const QString &TopicID) {
    uint32_t hash = 0;
    for (const char c : ToAnsi(TopicID))
        hash = hash * 43 + TopicCharValue(static_cast<unsigned char>(c));
    return int32_t(hash);
}

QStringList HelpProjectSection(const QString &ProjectText, const QString &Section) {
    const QString header = QLatin1Char('[') + Section + QLatin1Char(']');
    QStringList lines;
    bool inside = false;
    for (const QString &line : ProjectText.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")))) {
        const QString text = line.trimmed();
        if (text.startsWith(QLatin1Char('[')) && text.endsWith(QLatin1Char(']')))
            inside = text.compare(header, Qt::CaseInsensitive) == 0;
        else if (inside)
            lines.append(line);
    }
    return lines;
}

QList<THelpMapEntry> ReadHelpMap(const QStringList &Lines, const THelpIncludeReader &Include) {
    TMapReader reader(Include);
    reader.Read(Lines);
    return reader.Entries;
}

std::optional<QString> ReadHelpFile(const QString &FileName) {
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return FromAnsi(file.readAll().toStdString());
}

QList<THelpMapEntry> ReadHelpProjectMap(const QString &FileName,
                                        const std::function<void(const QString &Path)> &MissingInclude) {
    const std::optional<QString> project = QFileInfo(FileName).isFile() ? ReadHelpFile(FileName) : std::nullopt;
    if (!project)
        throw EHelpProject(QStringLiteral("File %1 not found.").arg(FileName));
    const QDir folder = QFileInfo(FileName).absoluteDir();
    return ReadHelpMap(HelpProjectSection(*project, QStringLiteral("MAP")), [&](const QString &Name) {
        const QString path = QDir::cleanPath(folder.filePath(Name));
        std::optional<QString> text = QFileInfo(path).isFile() ? ReadHelpFile(path) : std::nullopt;
        if (!text)
            MissingInclude(path);
        return text;
    });
}

THelpContextMap::THelpContextMap(QObject *Owner) : TehsBase(Owner) {}

void THelpContextMap::SetFileName(const QString &Value) {
    const QList<THelpMapEntry> entries = ReadHelpProjectMap(Value, [](const QString &Path) {
        MessageBox(nullptr, QStringLiteral("Include file \"%1\" not found!").arg(Path), QString(),
                   QMessageBox::Warning);
    });
    FFileName = Value;
    FPairs.clear();
    FPairs.reserve(std::size_t(entries.size()));
    for (const THelpMapEntry &entry : entries)
        FPairs.emplace_back(HelpTopicHash(entry.Topic), entry.Context);
    std::stable_sort(FPairs.begin(), FPairs.end(),
                     [](const THashContext &a, const THashContext &b) { return a.first < b.first; });
    MessageBox(nullptr, QStringLiteral("Help context list updated. %1 items stored.").arg(FPairs.size()), QString(),
               QMessageBox::Information);
}

int32_t THelpContextMap::GetContext(const QString &TopicID) const {
    const int32_t hash = HelpTopicHash(TopicID);
    const auto found = std::lower_bound(FPairs.begin(), FPairs.end(), hash,
                                        [](const THashContext &pair, int32_t h) { return pair.first < h; });
    return found != FPairs.end() && found->first == hash ? found->second : 0;
}

QString THelpContextMap::TopicName(const QString &FormName, const QString &ControlName) const {
    if (ControlName.isEmpty())
        return FormName;
    const QChar joiner = FFileName.endsWith(QLatin1String(".hhp"), Qt::CaseInsensitive) ? u'_' : u'.';
    return FormName + joiner + ControlName;
}

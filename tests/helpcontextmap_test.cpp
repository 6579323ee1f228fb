// The help context map: the help compiler's hash, the lines of a project's
// [MAP] section with its includes, and the messages the map reports.
#include "ControlTesting.h"
#include "ehscontextmap.h"

#include <QDir>
#include <QTemporaryDir>

namespace {

// Writes the files (path relative to the folder, text) into a fresh folder.
class THelpFolder {
public:
    explicit THelpFolder(std::initializer_list<std::pair<const char *, const char *>> Files) {
        for (const auto &[name, text] : Files) {
            const QString path = Path(name);
            QDir().mkpath(QFileInfo(path).path());
            QFile file(path);
            file.open(QIODevice::WriteOnly);
            file.write(text);
        }
    }
    QString Path(const char *Name) const { return FDir.filePath(QLatin1String(Name)); }

private:
    QTemporaryDir FDir;
};

QStringList Entries(const QList<THelpMapEntry> &Map) {
    QStringList entries;
    for (const THelpMapEntry &e : Map)
        entries.append(QStringLiteral("%1=%2").arg(e.Topic).arg(e.Context));
    return entries;
}

QList<THelpMapEntry> ReadLines(const QString &Text) {
    return ReadHelpMap(Text.split('\n'), [](const QString &) { return std::nullopt; });
}

} // namespace

TEST(HelpTopicHash, IsTheHelpCompilersHash) {
    const struct {
        const char *Topic;
        int32_t Hash;
    } cases[] = {
        {"", 0},          {"9", 9},           {"0", 10},         {"!", 11},        {"_", 13},
        {"z", 42},        {"AB", 749},        {"idh_main", 1980242789},            {"Page!1.0", 134669123},
        {"TestForm.edName", -1463558052}, // past 32 bits the value wraps
    };
    for (const auto &c : cases)
        EXPECT_EQ(HelpTopicHash(QLatin1String(c.Topic)), c.Hash) << c.Topic;
}

TEST(HelpMapLines, DefinesAndPlainLinesPairATopicWithANumber) {
    const struct {
        const char *Line;
        QStringList Entries;
    } cases[] = {
        {"#define IDH_A 100 // the first", {"IDH_A=100"}},
        {"  #define\tIDH_A\t0x64", {"IDH_A=100"}},
        {"IDH_A = 100", {"IDH_A=100"}},
        {"IDH_A 100", {"IDH_A=100"}},
        {"IDH_A=-3", {"IDH_A=-3"}},
        {"IDH_A=0xFFFFFFFF", {"IDH_A=-1"}},
        {"IDH_A=0X10", {"IDH_A=16"}},
        {"IDH_A\xA0=\xA0""100", {"IDH_A=100"}}, // a no-break space is a space too
        // Not a pair: comments, other directives, missing or bad numbers.
        {"; IDH_A=100", {}},
        {"// IDH_A 100", {}},
        {"#ifndef IDH_A", {}},
        {"#define IDH=A 100", {}},
        {"IDH_A=abc", {}},
        {"IDH_A=4294967296", {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Entries(ReadLines(QLatin1String(c.Line))), c.Entries) << c.Line;
}

TEST(HelpMapLines, SectionsEndAtTheNextHeader) {
    const QString project = "[OPTIONS]\nA=1\n[map]\r\nB=2\r\n\r\nC=3\n[ALIAS]\nD=4\n[MAP]\nE=5";
    EXPECT_EQ(HelpProjectSection(project, "MAP"), QStringList({"B=2", "", "C=3", "E=5"}));
    EXPECT_EQ(HelpProjectSection(project, "FILES"), QStringList());
}

TEST(HelpContextMap, ReadsTheProjectsMapWithItsIncludes) {
    THelpFolder folder({
        {"help/project.hhp", "[OPTIONS]\nTitle=Test\n[MAP]\n#include context.h\n#include \"sub/more.h\"\n"
                             "TopicPlain=20\nTopicSpace 0x15\n; a comment\n[ALIAS]\nNotMapped=99\n"},
        {"help/context.h", "#ifndef CONTEXT_H\n#define IDH_A 100 // the first\n#define IDH_B 0x65\n#include <nested.h>\n"},
        // Includes are found in the project's folder, whoever includes them; a file
        // including itself is read once.
        {"help/nested.h", "#define IDH_C 102\n"},
        {"help/sub/more.h", "#define IDH_D 103\n#include sub/more.h\n"},
    });
    TMessageBoxRecorder boxes;
    THelpContextMap map;
    map.SetFileName(folder.Path("help/project.hhp"));
    for (const auto &[topic, context] : {std::pair{"IDH_A", 100}, {"idh_b", 101}, {"IDH_C", 102}, {"IDH_D", 103},
                                         {"TopicPlain", 20}, {"TopicSpace", 21}, {"NotMapped", 0}, {"IDH_E", 0}})
        EXPECT_EQ(map.GetContext(QLatin1String(topic)), context) << topic;
    EXPECT_TRUE(std::is_sorted(map.Pairs().begin(), map.Pairs().end()));
    ASSERT_EQ(boxes.Requests.size(), 1);
    EXPECT_EQ(boxes.Requests[0].Text, "Help context list updated. 6 items stored.");
    EXPECT_EQ(boxes.Requests[0].Icon, QMessageBox::Information);
}

TEST(HelpContextMap, ReportsWhatIsMissing) {
    THelpFolder folder({{"project.hpj", "[MAP]\n#include gone.h\nIDH_A=1\n"}});
    TMessageBoxRecorder boxes;
    THelpContextMap map;
    map.SetFileName(folder.Path("project.hpj"));
    const QStringList texts = {boxes.Requests.value(0).Text, boxes.Requests.value(1).Text};
    EXPECT_EQ(texts, QStringList({QStringLiteral("Include file \"%1\" not found!").arg(folder.Path("gone.h")),
                                  "Help context list updated. 1 items stored."}));
    EXPECT_EQ(boxes.Requests.value(0).Icon, QMessageBox::Warning);

    // A missing project leaves the table as it was.
    const QString missing = folder.Path("missing.hpj");
    EXPECT_EQ(RaisedMessage<EHelpProject>([&] { map.SetFileName(missing); }),
              QStringLiteral("File %1 not found.").arg(missing));
    EXPECT_EQ(map.GetContext("IDH_A"), 1);
    EXPECT_EQ(map.FileName(), folder.Path("project.hpj"));
}

TEST(HelpContextMap, TopicNamesJoinFormAndControlAsTheProjectsKindWants) {
    THelpFolder folder({{"a.hpj", ""}, {"b.HHP", ""}});
    TMessageBoxRecorder boxes;
    THelpContextMap map;
    EXPECT_EQ(map.TopicName("MainForm", "edName"), "MainForm.edName");
    map.SetFileName(folder.Path("b.HHP"));
    EXPECT_EQ(map.TopicName("MainForm", "edName"), "MainForm_edName");
    EXPECT_EQ(map.TopicName("MainForm", ""), "MainForm");
    map.SetFileName(folder.Path("a.hpj"));
    EXPECT_EQ(map.TopicName("MainForm", "edName"), "MainForm.edName");
}

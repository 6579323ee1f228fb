// Help projects from outside: a project and the files it may include are read
// into a help context map, which must hold exactly what the reader found and
// answer every topic with the first context read for its hash.
#include "VQControls.h"
#include "ehscontextmap.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <map>

namespace {

// Stops the run where an invariant does not hold.
void Require(bool Holds) {
    if (!Holds)
        std::abort();
}

void Write(const QString &Path, const std::string &Bytes) {
    QFile file(Path);
    Require(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(Bytes.data(), qint64(Bytes.size()));
}

// The names a project may include; the fuzzer writes some of them.
const char *const IncludeNames[] = {"a.h", "b.h", "sub/c.h"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
    static int argc = 1;
    static char name[] = "helpproject_fuzz";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static QTemporaryDir dir;
    static QStringList messages;
    static const bool quiet = [] {
        SetMessageBoxHandler([](const TMessageBoxRequest &Request) {
            messages.append(Request.Text);
            return QMessageBox::Ok;
        });
        return QDir(dir.path()).mkpath(QStringLiteral("sub"));
    }();
    Require(quiet);

    FuzzedDataProvider in(data, size);
    for (const char *include : IncludeNames) {
        const QString path = dir.filePath(QLatin1String(include));
        if (in.ConsumeBool())
            Write(path, in.ConsumeRandomLengthString(512));
        else
            QFile::remove(path);
    }
    const QString project = dir.filePath(in.ConsumeBool() ? QStringLiteral("help.hhp") : QStringLiteral("help.hpj"));
    Write(project, in.ConsumeRemainingBytesAsString());

    messages.clear();
    const QList<THelpMapEntry> entries = ReadHelpProjectMap(project, [](const QString &) {});
    for (const THelpMapEntry &e : entries) {
        Require(!e.Topic.isEmpty() && !e.Topic.startsWith(QLatin1Char('#')) && !e.Topic.startsWith(QLatin1Char(';')));
        for (const QChar c : e.Topic)
            Require(!c.isSpace() && c != QLatin1Char('='));
    }

    THelpContextMap map;
    map.SetFileName(project);
    Require(messages.last() == QStringLiteral("Help context list updated. %1 items stored.").arg(entries.size()));
    const auto &pairs = map.Pairs();
    Require(pairs.size() == std::size_t(entries.size()));
    Require(std::is_sorted(pairs.begin(), pairs.end(), [](const auto &a, const auto &b) { return a.first < b.first; }));
    std::map<int32_t, int32_t> first;
    for (const THelpMapEntry &e : entries)
        first.emplace(HelpTopicHash(e.Topic), e.Context);
    for (const THelpMapEntry &e : entries)
        Require(map.GetContext(e.Topic) == first.at(HelpTopicHash(e.Topic)));
    return 0;
}

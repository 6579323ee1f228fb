// Script lines come from people. Whatever the line, splitting it either
// refuses it with a message or yields words that, each quoted again and
// joined by blanks, split back into the same words.

#include "commandline/ShellWords.h"

#include <cstdlib>

namespace {

QString Quoted(QString Word) {
    Word.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + Word + QLatin1Char('\'');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString line = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    QStringList words;
    try {
        words = SplitShellWords(line);
    } catch (const EShellWords &e) {
        if (e.Message().isEmpty())
            std::abort();
        return 0;
    }
    QStringList quoted;
    for (const QString &w : words)
        quoted << Quoted(w);
    if (SplitShellWords(quoted.join(QLatin1Char(' '))) != words)
        std::abort();
    return 0;
}

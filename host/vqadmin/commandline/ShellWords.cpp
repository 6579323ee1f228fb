#include "ShellWords.h"

QStringList SplitShellWords(const QString &Line) {
    QStringList words;
    QString word;
    bool inWord = false; // a word has begun, possibly an empty quoted one
    for (qsizetype i = 0; i < Line.size(); ++i) {
        const QChar c = Line[i];
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n')) {
            if (inWord)
                words << std::exchange(word, {});
            inWord = false;
            continue;
        }
        inWord = true;
        if (c == QLatin1Char('\\')) {
            if (++i == Line.size())
                throw EShellWords(QStringLiteral("a backslash ends the line"));
            if (Line[i] != QLatin1Char('\n'))
                word += Line[i];
        } else if (c == QLatin1Char('\'')) {
            const qsizetype end = Line.indexOf(QLatin1Char('\''), i + 1);
            if (end < 0)
                throw EShellWords(QStringLiteral("unterminated single quote"));
            word += Line.mid(i + 1, end - i - 1);
            i = end;
        } else if (c == QLatin1Char('"')) {
            for (++i;; ++i) {
                if (i == Line.size())
                    throw EShellWords(QStringLiteral("unterminated double quote"));
                const QChar d = Line[i];
                if (d == QLatin1Char('"'))
                    break;
                if (d == QLatin1Char('\\') && i + 1 < Line.size() &&
                    QStringLiteral("$`\"\\\n").contains(Line[i + 1])) {
                    if (Line[++i] != QLatin1Char('\n'))
                        word += Line[i];
                } else {
                    word += d;
                }
            }
        } else {
            word += c;
        }
    }
    if (inWord)
        words << word;
    return words;
}

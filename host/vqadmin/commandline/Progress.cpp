#include "Progress.h"

#include <cstdio>
#include <unistd.h>

namespace {

constexpr qint64 RedrawMs = 100;

void ToStandardError(const QString &text) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stderr);
}

} // namespace

TProgress::TProgress(QString What)
    : FWhat(std::move(What)), FShown(isatty(STDERR_FILENO)), FSharesTerminal(FShown && isatty(STDOUT_FILENO)) {}

TProgress::~TProgress() { Erase(); }

void TProgress::Update(qint64 Done, qint64 Total) {
    if (!FShown || (FSinceDrawn.isValid() && FSinceDrawn.elapsed() < RedrawMs))
        return;
    const qint64 percent = Total > 0 ? std::min<qint64>(100, Done * 100 / Total) : 0;
    ToStandardError(QStringLiteral("\rvqadmin: ") + FWhat + QStringLiteral(": ") + QString::number(percent) +
                    QStringLiteral("%\x1b[K"));
    FDrawn = true;
    FSinceDrawn.start();
}

void TProgress::Print(const QByteArray &Text) {
    if (FSharesTerminal)
        Erase();
    std::fwrite(Text.constData(), 1, std::size_t(Text.size()), stdout);
    if (FSharesTerminal)
        std::fflush(stdout);
}

void TProgress::Erase() {
    if (!FDrawn)
        return;
    ToStandardError(QStringLiteral("\r\x1b[K"));
    FDrawn = false;
}

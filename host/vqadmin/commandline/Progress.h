#pragma once
// How far a long command has come, shown on standard error when that is a
// terminal: one line, redrawn at most ten times a second and erased when the
// work ends. Nothing at all when standard error goes to a file or a pipe.

#include <QElapsedTimer>
#include <QString>

class TProgress {
public:
    // What is being done, as "validating".
    explicit TProgress(QString What);
    ~TProgress();
    TProgress(const TProgress &) = delete;
    TProgress &operator=(const TProgress &) = delete;

    void Update(qint64 Done, qint64 Total);
    // Writes to standard output, erasing the line first when both go to the terminal.
    void Print(const QByteArray &Text);

private:
    void Erase();

    QString FWhat;
    bool FShown;            // standard error is a terminal
    bool FSharesTerminal;   // and so is standard output
    bool FDrawn = false;
    QElapsedTimer FSinceDrawn;
};

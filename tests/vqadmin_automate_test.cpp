// vqadmin automate end to end, with the built plug-in: the exit statuses and
// the result lines a script gets, and what the database holds afterwards.

#include "HostRun.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class VqadminAutomate : public ::testing::Test {
protected:
    VqadminAutomate() {
        const TRun seeded = Vqadmin({"import", BinPath("demo-site.json")});
        EXPECT_EQ(seeded.Status, 0) << seeded.Err.toStdString();
    }
    TRun Vqadmin(const QStringList &Args) {
        return RunVqadmin(QStringList{"--db", Dir.filePath("site.db")} + Args, Dir.path());
    }
    TRun Automate(const QByteArray &Script) {
        QFile file(Dir.filePath("script.txt"));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(Script);
        file.close();
        return Vqadmin({"automate", file.fileName()});
    }

    QTemporaryDir Dir;
};

TEST_F(VqadminAutomate, StatusesTellScriptErrorsFromUsageErrors) {
    const TRun empty = Automate("# nothing to do\n\n");
    EXPECT_EQ(empty.Status, 0);
    EXPECT_EQ(empty.Out, "");

    const TRun stopped = Automate("\nconflict\nmodified\n");
    EXPECT_EQ(stopped.Status, 1);
    EXPECT_EQ(stopped.Out, "error: line 2: no dialog is open\n");

    const TRun unknown = Automate("open device nobody\n");
    EXPECT_EQ(unknown.Status, 1);
    EXPECT_EQ(unknown.Out, "error: line 1: no device with the ID nobody\n");

    const TRun missing = Vqadmin({"automate", "missing.txt"});
    EXPECT_EQ(missing.Status, 2);
    EXPECT_TRUE(missing.Err.contains("missing.txt: cannot read")) << missing.Err.toStdString();

    const TRun usage = Vqadmin({"automate", "a", "b"});
    EXPECT_EQ(usage.Status, 2);
    EXPECT_TRUE(usage.Err.contains("usage: vqadmin")) << usage.Err.toStdString();
}

} // namespace

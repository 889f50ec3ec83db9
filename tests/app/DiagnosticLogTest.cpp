#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "DbgOutput.h"
#include "DiagnosticLog.h"

namespace {

QByteArray ReadAll(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(DiagnosticLog, TakesEveryDebugTextWhileOpenAndNothingAfter)
{
    QTemporaryDir folder;
    CDiagnosticLog log;
    ASSERT_TRUE(log.Open(folder.filePath("Log").toStdString()));
    EXPECT_TRUE(QFileInfo(QString::fromStdString(log.GetPath())).fileName().startsWith("TivanePeloTOOL_"));
    EXPECT_TRUE(log.GetPath().ends_with(".log"));
    DbgOutputA(2, "State=%d, M_D=%03d\r\n", 1, 7);
    log.Close();
    DbgOutputA(2, "after close\r\n");
    const QByteArray text = ReadAll(log.GetPath());
    EXPECT_TRUE(text.endsWith("State=1, M_D=007\r\n")) << text.toStdString();
    EXPECT_FALSE(text.contains("after close"));
}

TEST(DiagnosticLog, AnEarlierRunsLogWithTheSameNameIsKept)
{
    QTemporaryDir folder;
    const std::string logFolder = folder.filePath("Log").toStdString();
    CDiagnosticLog first;
    ASSERT_TRUE(first.OpenNamed(logFolder, "TivanePeloTOOL_20240101_120000_000"));
    DbgOutputA(2, "first run\r\n");
    first.Close();

    CDiagnosticLog second;
    ASSERT_TRUE(second.OpenNamed(logFolder, "TivanePeloTOOL_20240101_120000_000"));
    DbgOutputA(2, "second run\r\n");
    second.Close();

    EXPECT_NE(first.GetPath(), second.GetPath());
    EXPECT_TRUE(second.GetPath().ends_with("TivanePeloTOOL_20240101_120000_000_2.log")) << second.GetPath();
    EXPECT_TRUE(ReadAll(first.GetPath()).contains("first run"));
    EXPECT_FALSE(ReadAll(first.GetPath()).contains("second run"));
    EXPECT_TRUE(ReadAll(second.GetPath()).contains("second run"));
}

TEST(DiagnosticLog, AnUnwritableFolderLeavesTheLogOffQuietly)
{
    QTemporaryDir folder;
    QFile blocker(folder.filePath("Log"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));  // a file where the folder should be
    blocker.close();
    CDiagnosticLog log;
    EXPECT_FALSE(log.Open(folder.filePath("Log").toStdString()));
    EXPECT_FALSE(log.IsOpen());
    DbgOutputA(2, "goes nowhere\r\n");  // must not crash with the callback registered but no file
    log.Close();
}

}  // namespace

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <filesystem>

#include "support/temp_folder.h"

namespace {

// Reads the file until it holds `text` or the time is up.
bool WaitForText(const std::string& path, const std::string& text, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        if (std::filesystem::exists(path) && ReadWholeFile(path).find(text) != std::string::npos) return true;
        QThread::msleep(50);
    }
    return false;
}

TEST(SingleInstance, ASecondStartHandsItsFileToTheFirstAndEnds) {
    TTempFolder folder;
    const QString program = QString::fromStdString(folder.File("program"));
    const QString runtime = QString::fromStdString(folder.File("run"));
    QDir().mkpath(program);
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // A program folder of its own, whose INI file asks for a log file: what the
    // first instance receives is written there.
    const QString executable = program + "/lumora";
    ASSERT_TRUE(QFile::copy(LUMORA_GUI_EXE, executable));
    const std::string log = folder.File("log.txt");
    folder.Write("program/Lumora.ini", "[Lumora]\r\nSaveLog=1\r\nSaveLogFilename=" + log +
                                           "\r\nDoNotShowNoCdrdaoAgain=1\r\nDoNotShowNoMjpegAgain=1\r\n"
                                           "DoNotShowBadVcdImagerAgain=1\r\nDoNotShowBadCdrDaoAgain=1\r\n"
                                           "DoNotShowBadMjpegtoolsAgain=1\r\nDoNotShowTooSmallDesktopAgain=1\r\n");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("XDG_RUNTIME_DIR", runtime);
    environment.insert("XDG_CONFIG_HOME", QString::fromStdString(folder.File("config")));

    QProcess first;
    first.setProcessEnvironment(environment);
    first.start(executable, {});
    ASSERT_TRUE(first.waitForStarted());
    ASSERT_TRUE(WaitForText(log, "Lumora v", 30000)) << first.readAllStandardError().toStdString();

    const std::string project = folder.Write("film.dsv", "");
    QProcess second;
    second.setProcessEnvironment(environment);
    second.setWorkingDirectory(QString::fromStdString(folder.Path().string()));
    second.start(executable, {"film.dsv"});
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(WaitForText(log, project, 10000));
    EXPECT_EQ(first.state(), QProcess::Running);
    first.kill();
    first.waitForFinished();
}

}  // namespace

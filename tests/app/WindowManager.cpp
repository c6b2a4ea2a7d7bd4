#include "tests/app/WindowManager.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

namespace testsupport {

namespace {

const char* const kMarker = "TAMSEL_WINDOW_MANAGER";

// Ends a helper program when the test is done with it.
struct Helper {
    QProcess process;
    ~Helper()
    {
        if (process.state() == QProcess::NotRunning) return;
        process.terminate();
        if (!process.waitForFinished(5000)) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
};

} // namespace

bool UnderWindowManager() { return qEnvironmentVariableIsSet(kMarker); }

void RunUnderWindowManager()
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    const QString wm = QStandardPaths::findExecutable(QStringLiteral("evilwm"));
    ASSERT_FALSE(xvfb.isEmpty() || wm.isEmpty()) << "Xvfb and evilwm are needed: run tools/install-deps.sh";

    // The server names its display on its standard output once it listens.
    Helper server;
    server.process.start(xvfb,
                         {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                          QStringLiteral("0"), QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                          QStringLiteral("tcp")});
    QByteArray number;
    while (!number.endsWith('\n') && server.process.waitForReadyRead(30000))
        number += server.process.readAllStandardOutput();
    ASSERT_TRUE(number.endsWith('\n')) << "Xvfb did not start: " << server.process.readAllStandardError().constData();
    const QString display = QStringLiteral(":") + QString::fromLatin1(number.trimmed());

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    Helper manager;
    manager.process.setProcessEnvironment(env);
    // Its one font is the server's own cursor font: the server has no other.
    manager.process.start(wm, {QStringLiteral("-fn"), QStringLiteral("cursor")});
    ASSERT_TRUE(manager.process.waitForStarted(10000)) << "evilwm did not start";

    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const QString name =
        QString::fromLatin1(test->test_suite_name()) + QLatin1Char('.') + QString::fromLatin1(test->name());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QString::fromLatin1(kMarker), wm);
    Helper run;
    run.process.setProcessEnvironment(env);
    run.process.setProcessChannelMode(QProcess::MergedChannels);
    run.process.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=") + name});
    const bool ended = run.process.waitForFinished(100000);
    const QByteArray output = run.process.readAll();
    ASSERT_TRUE(ended) << "the run under the window manager did not end:\n" << output.constData();
    EXPECT_EQ(run.process.exitStatus(), QProcess::NormalExit) << output.constData();
    EXPECT_EQ(run.process.exitCode(), 0) << output.constData();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test.")) << output.constData();
}

} // namespace testsupport

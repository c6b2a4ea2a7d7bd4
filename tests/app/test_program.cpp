// The real program as a process: started from its own directory (a link to
// the built program, so the ini file, the data folder and the error log are
// the test's), driven by the driver plugin from a script as a person would,
// and expected to end by itself.

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <unistd.h>

namespace {

class Program : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QFileInfo built(QStringLiteral(TAMSEL_PROGRAM));
        ASSERT_TRUE(built.isExecutable()) << TAMSEL_PROGRAM;
        m_dir = std::make_unique<QTemporaryDir>(built.absolutePath() + QStringLiteral("/run-XXXXXX"));
        ASSERT_TRUE(m_dir->isValid());
        m_program = m_dir->filePath(QStringLiteral("tamsel"));
        // A hard link: the program finds its directory through its own path.
        if (::link(QFile::encodeName(built.absoluteFilePath()).constData(), QFile::encodeName(m_program).constData()) !=
            0) {
            ASSERT_TRUE(QFile::copy(built.absoluteFilePath(), m_program));
        }
        QDir(m_dir->path()).mkpath(QStringLiteral("temp"));
        QDir(m_dir->path()).mkpath(QStringLiteral("home"));
        // Nobody listens there: nothing in these runs talks to a server.
        QFile ini(m_dir->filePath(QStringLiteral("tamsel.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[HOSTS]\npmserver=127.0.0.1:9\n");
    }

    // Runs the program with the script; false when it did not end.
    bool Run(const QString& script)
    {
        const QString scriptFile = m_dir->filePath(QStringLiteral("script.txt"));
        QFile f(scriptFile);
        if (!f.open(QIODevice::WriteOnly)) return false;
        f.write(script.toUtf8());
        f.close();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("QT_PLUGIN_PATH"), QStringLiteral(TAMSEL_DRIVER_PLUGINS));
        env.insert(QStringLiteral("QT_QPA_GENERIC_PLUGINS"), QStringLiteral("tamseldriver:") + scriptFile);
        env.insert(QStringLiteral("TMP"), m_dir->filePath(QStringLiteral("temp")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir->filePath(QStringLiteral("home")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_dir->filePath(QStringLiteral("home")));
        m_process.setProcessEnvironment(env);
        m_process.setWorkingDirectory(m_dir->path());
        m_process.start(m_program, {});
        if (!m_process.waitForStarted()) return false;
        // A bound for a program that never ends, not a wait for something.
        const bool ended = m_process.waitForFinished(60000);
        m_out = QString::fromLocal8Bit(m_process.readAllStandardOutput());
        m_err = QString::fromLocal8Bit(m_process.readAllStandardError());
        if (!ended) {
            m_process.kill();
            m_process.waitForFinished();
        }
        return ended;
    }

    // Each script step is reported as done, in order.
    void ExpectSteps(const QString& script) const
    {
        qsizetype at = 0;
        for (const QString& line : script.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const qsizetype found = m_out.indexOf(QStringLiteral("driver: ") + line, at);
            EXPECT_GE(found, 0) << "step not reached: " << line.toStdString() << "\n" << m_out.toStdString();
            if (found >= 0) at = found;
        }
    }

    void ExpectEndedWell() const
    {
        EXPECT_EQ(m_process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(m_process.exitCode(), 0) << m_err.toStdString();
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_program;
    QProcess m_process;
    QString m_out;
    QString m_err;
};

} // namespace

TEST_F(Program, ExitAndYesEndTheProgram)
{
    const QString script = QStringLiteral("wait LoginFrm\nclick ToolButtonExit\nanswer No Close?\n"
                                          "click ToolButtonExit\nanswer Yes Close?\n");
    ASSERT_TRUE(Run(script)) << "the program did not end\n" << m_out.toStdString() << m_err.toStdString();
    ExpectSteps(script);
    ExpectEndedWell();
    // The close wrote the settings.
    QFile ini(m_dir->filePath(QStringLiteral("tamsel.ini")));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ini.readAll().contains("tourmap"));
}

TEST_F(Program, FileExitEndsTheProgram)
{
    const QString script = QStringLiteral("wait LoginFrm\nmenubar File\nmenuitem Exit\nanswer Yes Close?\n");
    ASSERT_TRUE(Run(script)) << "the program did not end\n" << m_out.toStdString() << m_err.toStdString();
    ExpectSteps(script);
    ExpectEndedWell();
}

TEST_F(Program, TheCloseBoxEndsTheProgram)
{
    const QString script = QStringLiteral("wait LoginFrm\nclosebox MainProfileFrm\nanswer Yes Close?\n");
    ASSERT_TRUE(Run(script)) << "the program did not end\n" << m_out.toStdString() << m_err.toStdString();
    ExpectSteps(script);
    ExpectEndedWell();
}

TEST_F(Program, ClosingWithAPageThatCannotBeSavedReportsItAndEnds)
{
    // The personal page's file name is taken by a folder: saving it fails.
    ASSERT_TRUE(QDir(m_dir->path()).mkpath(QStringLiteral("data/myinfo.xml")));
    const QString script = QStringLiteral("click ToolButton2\ntype edFirst Dana\nclick ToolButtonExit\n"
                                          "answer Yes Close?\nprint Memo1\nclick OkBtn\n");
    ASSERT_TRUE(Run(script)) << "the program did not end\n" << m_out.toStdString() << m_err.toStdString();
    ExpectSteps(script);
    ExpectEndedWell();
    EXPECT_TRUE(m_out.contains(QStringLiteral("Memo1: My Page was not saved: "))) << m_out.toStdString();
    QFile log(m_dir->filePath(QStringLiteral("Error.log")));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString text = QString::fromLocal8Bit(log.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("My Page was not saved: "))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("myinfo.xml"))) << text.toStdString();
}

#pragma once
// A test with the sample service running on free ports of 127.0.0.1, and the
// helpers the protocol tests share.

#include "platform/dialogs/Dialogs.h"
#include "platform/core/Exception.h"
#include "tests/support/PrintQString.h"
#include "tests/support/SampleService.h"

#include <QString>
#include <functional>
#include <gtest/gtest.h>

class ServiceTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_service.Start(StallPort())) << m_service.Error().toStdString(); }
    void TearDown() override { m_service.Stop(); }

    // Whether the service also opens its never-accepting socket.
    virtual bool StallPort() const { return false; }

    testsupport::SampleService& Service() { return m_service; }
    QString Host() const { return m_service.Host(); }

    // The message of the error fn raises, or "(no error)".
    static QString ErrorOf(const std::function<void()>& fn)
    {
        try {
            fn();
        } catch (const Exception& e) {
            return e.Message();
        }
        return QStringLiteral("(no error)");
    }

    ScopedDialogResponder m_dialogs;

private:
    testsupport::SampleService m_service;
};

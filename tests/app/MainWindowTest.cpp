#include "tests/app/MainWindowTest.h"

#include "controls/HTMLButton.h"

namespace testsupport {

void MainWindow::LogIn(const QString& user, const QString& password)
{
    ASSERT_TRUE(WaitUntil([] { return bool(LoginFrm); }));
    LoginFrm->edUser->SetText(user);
    LoginFrm->edPass->SetText(password);
    Click(LoginFrm->btnLogin);
}

} // namespace testsupport

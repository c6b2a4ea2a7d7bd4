#pragma once
// The Login step: the login name (remembered in the registry) and password,
// and the Login button, which downloads the configuration document, hands
// its service paths to the connections and has the main window log in.

#include "forms/TBaseFrm.h"
#include "forms/TStepHost.h"

#include <QPointer>

class QLabel;
class TCustomEdit;
class THTMLButton;

class TLoginFrm : public TBaseFrm {
    Q_OBJECT
public:
    explicit TLoginFrm(QObject* owner, TStepHost* host = nullptr);
    ~TLoginFrm() override;

    QLabel* Image1 = nullptr;
    TCustomEdit* edUser = nullptr;
    TCustomEdit* edPass = nullptr;
    THTMLButton* btnLogin = nullptr;

    void btnLoginClick();
    // Whether a path of the configuration document is taken: it must start
    // with "/" and hold no "@", so it cannot name another host.
    static bool IsServicePath(const QString& path);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void FormShow();
    void FormClose(TCloseAction& action);
};

extern QPointer<TLoginFrm> LoginFrm;

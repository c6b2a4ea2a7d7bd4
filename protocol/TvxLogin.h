#pragma once
// The login connection: sends the user's credentials as "login.request" and
// leaves the "login.response" answer in its document for the caller.

#include "protocol/TvxCustomConnection.h"

class TvxLogin : public TvxCustomConnection {
public:
    explicit TvxLogin(QObject* owner = nullptr);
    ~TvxLogin() override;

    QString UserName;       // user
    QString Password;       // pass
    QString ProgramVersion; // pgm_ver
    QString MachineId;      // machine_id
    QString MlsUser;        // mls_user
    QString MlsPass;        // mls_pass
    QString MlsId;          // mls_id

    // Sends the request; the answer's type ("login.response") when Post
    // returned true, empty after a "message" answer. Every value reaches the
    // server exactly as typed.
    QString Execute();
};

#include "protocol/TvxLogin.h"

#include "protocol/TvxpDocument.h"

TvxLogin::TvxLogin(QObject* owner) : TvxCustomConnection(owner) { }

TvxLogin::~TvxLogin() = default;

QString TvxLogin::Execute()
{
    TXMLElement* request = BeginRequest(QStringLiteral("login.request"));
    AppendTextElement(request, QStringLiteral("user"), UserName);
    AppendTextElement(request, QStringLiteral("pass"), Password);
    AppendTextElement(request, QStringLiteral("pgm_ver"), ProgramVersion);
    AppendTextElement(request, QStringLiteral("machine_id"), MachineId);
    AppendTextElement(request, QStringLiteral("mls_user"), MlsUser);
    AppendTextElement(request, QStringLiteral("mls_pass"), MlsPass);
    AppendTextElement(request, QStringLiteral("mls_id"), MlsId);
    if (!PostDocument()) return QString();
    return Document().VxpTypeName;
}

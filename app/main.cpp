#include "app/MainProfileFrm.h"
#include "platform/kernel/Application.h"
#include "platform/widgets/WidgetStyle.h"

int main(int argc, char** argv)
{
    TApplication app(argc, argv);
    InstallWidgetStyle();
    TMainProfileFrm mainForm;
    mainForm.show();
    return app.exec();
}

#include "app/MainProfileFrm.h"
#include "platform/Application.h"

int main(int argc, char** argv)
{
    TApplication app(argc, argv);
    TMainProfileFrm mainForm;
    mainForm.show();
    return app.exec();
}

#include "app/MainProfileFrm.h"

#include <QGuiApplication>
#include <QScreen>

TMainProfileFrm::TMainProfileFrm(QWidget* parent) : TForm(parent)
{
    setObjectName(QStringLiteral("MainProfileFrm"));
    setWindowTitle(QStringLiteral("Tamsel"));
    setFixedSize(800, 600);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

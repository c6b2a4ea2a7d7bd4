#include "platform/clipboard/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

void TClipboard::SetMimeData(QMimeData* data)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) {
        delete data;
        return;
    }
    clipboard->setMimeData(data);
}

const QMimeData* TClipboard::MimeData()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    return clipboard ? clipboard->mimeData() : nullptr;
}

void TClipboard::Clear()
{
    if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->clear();
}

#pragma once
// A test edit link: a plain line editor that goes when the edit ends.

#include "grid/edit/TEditLink.h"

#include <QLineEdit>
#include <QPointer>

class LineEditLink : public TEditLink {
public:
    QWidget* EditControl() override { return m_edit; }
    void CreateEditor(QWidget* parent) override { m_edit = new QLineEdit(parent); }
    void DestroyEditor() override
    {
        if (m_edit) m_edit->deleteLater();
        m_edit = nullptr;
    }
    QString GetEditorValue() override { return m_edit ? m_edit->text() : QString(); }
    void SetEditorValue(const QString& value) override
    {
        if (m_edit) m_edit->setText(value);
    }

private:
    QPointer<QLineEdit> m_edit;
};

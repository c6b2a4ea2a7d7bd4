#pragma once
// The class library's push button: a caption on a raised face; a click
// (mouse released over it, or Space released while it has the focus)
// fires OnClick.

#include "platform/widgets/WinControl.h"

#include <QPushButton>

class TButton : public TWinControlOf<QPushButton> {
public:
    explicit TButton(QWidget* parent, const QString& name = QString());
    ~TButton() override;

    QString Caption() const { return text(); }
    void SetCaption(const QString& value) { setText(value); }
};

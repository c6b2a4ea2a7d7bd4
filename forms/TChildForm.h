#pragma once
// A form that lives inside a panel of the main window as a borderless child
// filling that panel: placed at the panel's top-left with its client size on
// show and after every resize.

#include "platform/kernel/Form.h"

#include <QPointer>

#include "platform/widgets/Panel.h"

class TChildForm : public TForm {
    Q_OBJECT
public:
    // The owner must be a panel; anything else raises EInvalidCast and no
    // window is made visible.
    explicit TChildForm(QObject* owner);

    TPanel* ParentPanel() const { return m_panel; }
    // Left 0, top 0, the panel's client width and height.
    void FitToPanel();

protected:
    // Call at the end of a descendant's construction, when its controls are
    // built: makes the form visible, as loading a stored form does.
    void Loaded();
    void resizeEvent(QResizeEvent* event) override;

private:
    static TPanel* PanelOf(QObject* owner);

    QPointer<TPanel> m_panel;
    bool m_fitting = false;
};

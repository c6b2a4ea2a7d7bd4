#pragma once
// The class library's combo box over a Qt combo box: an editable field
// with a list (csDropDown), a list only (csDropDownList), or an always open
// list (csSimple); the owner-drawn styles (csOwnerDrawFixed, items of one
// height, and csOwnerDrawVariable, each item measured) are lists only whose
// items the control's owner draws. A choice from the list, by mouse or keys, sets the text
// to the chosen item and fires OnClick and then OnChange; typing in the
// field fires OnChange. OnDropDown and OnCloseUp tell of the list opening
// and closing. Items put into a list leave nothing chosen (ItemIndex -1,
// the text as it was) until the program or the user chooses.

#include "platform/widgets/WinControl.h"

#include <QComboBox>

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
// The state an owner-drawn item is drawn in: chosen, focused, disabled, or
// the item shown in the field of the closed combo.
enum class TOwnerDrawStateItem {
    odSelected,
    odGrayed,
    odDisabled,
    odChecked,
    odFocused,
    odDefault,
    odHotLight,
    odInactive,
    odNoAccel,
    odNoFocusRect,
    odReserved1,
    odReserved2,
    odComboBoxEdit
};
using TOwnerDrawState = TSet<TOwnerDrawStateItem>;

class TCustomComboBox : public TWinControlOf<QComboBox> {
public:
    explicit TCustomComboBox(QWidget* parent, const QString& name = QString());
    ~TCustomComboBox() override;

    TComboBoxStyle Style() const { return m_style; }
    void SetStyle(TComboBoxStyle value);

    // The field's text (for a list: the chosen item's text).
    QString Text() const { return currentText(); }
    // A list selects the first item of that text (none when there is none).
    void SetText(const QString& value);
    int ItemIndex() const { return currentIndex(); }
    void SetItemIndex(int value);
    bool DroppedDown() const { return m_droppedDown; }
    void SetDroppedDown(bool value);
    // Items shown without scrolling (8 at creation).
    int DropDownCount() const { return maxVisibleItems(); }
    void SetDropDownCount(int value) { setMaxVisibleItems(std::max(1, value)); }
    // 0: no limit.
    int MaxLength() const { return m_maxLength; }
    void SetMaxLength(int value);

    int SelStart() const;
    void SetSelStart(int value);
    int SelLength() const;
    void SetSelLength(int value);
    void SelectAll();

    std::function<void(QObject* sender)> OnChange;
    std::function<void(QObject* sender)> OnDropDown;
    std::function<void(QObject* sender)> OnCloseUp;

    void showPopup() override;
    void hidePopup() override;

protected:
    // A choice from the list (the platform's selection-change notice).
    virtual void SelChange();
    virtual void Change();
    virtual void DropDown();
    virtual void CloseUp();

private:
    void ConnectEdit();
    void KeepNoChoiceOnFirstItems();

    TComboBoxStyle m_style = csDropDown;
    int m_maxLength = 0;
    bool m_droppedDown = false;
    bool m_noChoice = false;
    QString m_textBeforeItems;
};

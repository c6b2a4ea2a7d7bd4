#include "platform/widgets/CustomComboBox.h"

#include "platform/kernel/Application.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QSignalBlocker>

TCustomComboBox::TCustomComboBox(QWidget* parent, const QString& name)
    : TWinControlOf<QComboBox>(parent, name, clWindow)
{
    SetClickEvents(false);
    setInsertPolicy(QComboBox::NoInsert);
    setMaxVisibleItems(8);
    SetStyle(csDropDown);
    QObject::connect(this, &QComboBox::activated, this, [this](int) { GuardedCall(this, [this] { SelChange(); }); });
    KeepNoChoiceOnFirstItems();
    SetBounds(0, 0, 145, 21);
}

TCustomComboBox::~TCustomComboBox() = default;

void TCustomComboBox::KeepNoChoiceOnFirstItems()
{
    // Qt chooses the first item put into an empty list. Connected after the
    // combo's own handling of the model, this undoes that choice, quietly:
    // nothing was chosen by the program or the user.
    QAbstractItemModel* items = model();
    QObject::connect(items, &QAbstractItemModel::rowsAboutToBeInserted, this, [this] {
        m_noChoice = currentIndex() < 0;
        if (m_noChoice) m_textBeforeItems = currentText();
    });
    QObject::connect(items, &QAbstractItemModel::rowsInserted, this, [this] {
        if (!m_noChoice) return;
        m_noChoice = false;
        if (currentIndex() < 0) return;
        const QSignalBlocker quiet(this);
        setCurrentIndex(-1);
        if (isEditable() && currentText() != m_textBeforeItems) setEditText(m_textBeforeItems);
    });
}

void TCustomComboBox::SetStyle(TComboBoxStyle value)
{
    m_style = value;
    const bool editable = value == csDropDown || value == csSimple;
    if (editable != isEditable()) {
        // The field goes later; it hands the focus to the combo, and a
        // focused combo would lose it when the field is deleted.
        if (!editable && lineEdit()) lineEdit()->setFocusProxy(nullptr);
        setEditable(editable);
        if (editable) {
            lineEdit()->setObjectName(Name().isEmpty() ? QStringLiteral("Edit") : Name() + QStringLiteral("Edit"));
            SetMaxLength(m_maxLength);
        }
    }
    if (editable) ConnectEdit();
}

void TCustomComboBox::ConnectEdit()
{
    QLineEdit* edit = lineEdit();
    if (!edit || edit->property("tamselConnected").toBool()) return;
    edit->setProperty("tamselConnected", true);
    QObject::connect(edit, &QLineEdit::textEdited, this,
                     [this](const QString&) { GuardedCall(this, [this] { Change(); }); });
}

void TCustomComboBox::SetText(const QString& value)
{
    if (isEditable()) {
        setEditText(value);
        return;
    }
    setCurrentIndex(findText(value, Qt::MatchFixedString));
}

void TCustomComboBox::SetItemIndex(int value) { setCurrentIndex(value >= 0 && value < count() ? value : -1); }

void TCustomComboBox::SetDroppedDown(bool value)
{
    if (value == m_droppedDown) return;
    if (value)
        showPopup();
    else
        hidePopup();
}

void TCustomComboBox::SetMaxLength(int value)
{
    m_maxLength = std::max(0, value);
    if (QLineEdit* edit = lineEdit()) edit->setMaxLength(m_maxLength == 0 ? 32767 : m_maxLength);
}

int TCustomComboBox::SelStart() const
{
    const QLineEdit* edit = lineEdit();
    if (!edit) return 0;
    return edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
}

void TCustomComboBox::SetSelStart(int value)
{
    if (QLineEdit* edit = lineEdit()) edit->setCursorPosition(value);
}

int TCustomComboBox::SelLength() const
{
    const QLineEdit* edit = lineEdit();
    return edit && edit->hasSelectedText() ? int(edit->selectedText().size()) : 0;
}

void TCustomComboBox::SetSelLength(int value)
{
    QLineEdit* edit = lineEdit();
    if (!edit) return;
    const int start = SelStart();
    edit->setSelection(start, std::clamp(value, 0, int(edit->text().size()) - start));
}

void TCustomComboBox::SelectAll()
{
    if (QLineEdit* edit = lineEdit()) edit->selectAll();
}

void TCustomComboBox::showPopup()
{
    DropDown();
    m_droppedDown = true;
    QComboBox::showPopup();
}

void TCustomComboBox::hidePopup()
{
    QComboBox::hidePopup();
    if (m_droppedDown) {
        m_droppedDown = false;
        CloseUp();
    }
}

void TCustomComboBox::SelChange()
{
    QPointer<QWidget> alive(this);
    Click();
    if (alive) Change();
}

void TCustomComboBox::Change()
{
    if (OnChange) OnChange(this);
}

void TCustomComboBox::DropDown()
{
    if (OnDropDown) OnDropDown(this);
}

void TCustomComboBox::CloseUp()
{
    if (OnCloseUp) OnCloseUp(this);
}

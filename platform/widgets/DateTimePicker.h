#pragma once
// The class library's date and time picker: a field showing a date (in the
// short date format) or a time (in the long time format) whose parts are
// changed with the keys, with a calendar that drops down (TDTDateMode::dmComboBox) or
// up and down arrows (TDTDateMode::dmUpDown). Checked stays true (no check box is
// shown).

#include "platform/core/DateTime.h"
#include "platform/widgets/WinControl.h"

#include <QDateTimeEdit>

enum class TDateTimeKind { dtkDate, dtkTime };
enum class TDTDateMode { dmComboBox, dmUpDown };

class TDateTimePicker : public TWinControlOf<QDateTimeEdit> {
public:
    explicit TDateTimePicker(QWidget* parent, const QString& name = QString());
    ~TDateTimePicker() override;

    // The whole value; Date and Time read and write its parts.
    TDateTime DateTime() const;
    void SetDateTime(TDateTime value);
    TDateTime Date() const;
    void SetDate(TDateTime value);
    TDateTime Time() const;
    void SetTime(TDateTime value);
    TDateTimeKind Kind() const { return m_kind; }
    void SetKind(TDateTimeKind value);
    TDTDateMode DateMode() const { return m_dateMode; }
    void SetDateMode(TDTDateMode value);
    bool Checked() const { return m_checked; }
    void SetChecked(bool value) { m_checked = value; }
    // The calendar is open.
    bool DroppedDown() const { return m_droppedDown; }

    std::function<void(QObject* sender)> OnChange;
    std::function<void(QObject* sender)> OnDropDown;
    std::function<void(QObject* sender)> OnCloseUp;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ApplyFormat();
    void WatchCalendar();

    TDateTimeKind m_kind = TDateTimeKind::dtkDate;
    TDTDateMode m_dateMode = TDTDateMode::dmComboBox;
    bool m_checked = true;
    bool m_droppedDown = false;
    bool m_watching = false;
};

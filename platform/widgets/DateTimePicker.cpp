#include "platform/widgets/DateTimePicker.h"

#include "platform/core/RegionalSettings.h"
#include "platform/kernel/Application.h"

#include <QCalendarWidget>
#include <QEvent>
#include <cmath>

namespace {

const QDate kEpoch(1899, 12, 30);

QDateTime ToQt(TDateTime v)
{
    const double days = std::floor(v);
    const qint64 ms = qint64(std::llround((v - days) * double(MSecsPerDay)));
    return QDateTime(kEpoch.addDays(qint64(days)), QTime(0, 0).addMSecs(int(std::min(ms, MSecsPerDay - 1))));
}

TDateTime FromQt(const QDateTime& t)
{
    return double(kEpoch.daysTo(t.date())) + double(t.time().msecsSinceStartOfDay()) / double(MSecsPerDay);
}

// The class library's date and time specifiers in Qt's words: m and mm are
// months in a date, nn minutes, AMPM the half of the day.
QString QtFormat(const QString& format)
{
    QString out;
    for (int i = 0; i < format.size();) {
        const QChar c = format[i];
        if (format.mid(i, 4).compare(QLatin1String("AMPM"), Qt::CaseInsensitive) == 0) {
            out += QLatin1String("AP");
            i += 4;
        } else if (c == u'm' || c == u'M') {
            out += QLatin1Char('M');
            ++i;
        } else if (c == u'n' || c == u'N') {
            out += QLatin1Char('m');
            ++i;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

} // namespace

TDateTimePicker::TDateTimePicker(QWidget* parent, const QString& name)
    : TWinControlOf<QDateTimeEdit>(parent, name, clWindow)
{
    setCalendarPopup(true);
    ApplyFormat();
    setDateTime(ToQt(::Date()));
    QObject::connect(this, &QDateTimeEdit::dateTimeChanged, this, [this] {
        if (OnChange) GuardedCall(this, [this] { OnChange(this); });
    });
}

TDateTimePicker::~TDateTimePicker() = default;

TDateTime TDateTimePicker::DateTime() const { return FromQt(dateTime()); }
void TDateTimePicker::SetDateTime(TDateTime value) { setDateTime(ToQt(value)); }
TDateTime TDateTimePicker::Date() const { return std::floor(DateTime()); }

void TDateTimePicker::SetDate(TDateTime value)
{
    SetDateTime(std::floor(value) + (DateTime() - std::floor(DateTime())));
}

TDateTime TDateTimePicker::Time() const { return DateTime() - std::floor(DateTime()); }

void TDateTimePicker::SetTime(TDateTime value) { SetDateTime(std::floor(DateTime()) + (value - std::floor(value))); }

void TDateTimePicker::SetKind(TDateTimeKind value)
{
    m_kind = value;
    ApplyFormat();
}

void TDateTimePicker::SetDateMode(TDTDateMode value)
{
    m_dateMode = value;
    ApplyFormat();
}

void TDateTimePicker::ApplyFormat()
{
    const bool date = m_kind == TDateTimeKind::dtkDate;
    setDisplayFormat(QtFormat(date ? RegionalSettings::ShortDateFormat() : RegionalSettings::LongTimeFormat()));
    setCalendarPopup(date && m_dateMode == TDTDateMode::dmComboBox);
    setButtonSymbols(date && m_dateMode == TDTDateMode::dmComboBox ? QAbstractSpinBox::NoButtons
                                                                   : QAbstractSpinBox::UpDownArrows);
    WatchCalendar();
}

void TDateTimePicker::WatchCalendar()
{
    if (m_watching || !calendarPopup()) return;
    if (QCalendarWidget* cal = calendarWidget()) {
        // The calendar's window shows and hides with the drop-down.
        if (QWidget* popup = cal->window()) {
            popup->installEventFilter(this);
            m_watching = true;
        }
    }
}

bool TDateTimePicker::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show && !m_droppedDown) {
        m_droppedDown = true;
        if (OnDropDown) OnDropDown(this);
    } else if (event->type() == QEvent::Hide && m_droppedDown) {
        m_droppedDown = false;
        if (OnCloseUp) OnCloseUp(this);
    }
    return QDateTimeEdit::eventFilter(watched, event);
}

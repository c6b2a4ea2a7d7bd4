#include "controls/SpinEditCore.h"

#include "controls/EsgSpinButton.h"
#include "platform/core/RegionalSettings.h"
#include "platform/core/SysUtils.h"
#include "platform/graphics/SystemMetrics.h"

#include <QGuiApplication>
#include <cmath>
#include <limits>

namespace {

const TDateTime kFirstDay = EncodeDate(1, 1, 1);
const TDateTime kDayAfterLast = EncodeDate(9999, 12, 31) + 1.0;

double TimeOfDay(TDateTime value) { return std::fabs(value - std::trunc(value)); }

TDateTime Combine(TDateTime day, double timeOfDay) { return day >= 0 ? day + timeOfDay : day - timeOfDay; }

// To whole milliseconds, so that repeated steps do not drift off a second.
TDateTime ToMilliseconds(TDateTime value)
{
    return double(std::llround(value * double(MSecsPerDay))) / double(MSecsPerDay);
}

int Saturated(qint64 value)
{
    return int(std::clamp<qint64>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

bool IsDigit(TKeyChar c) { return c >= U'0' && c <= U'9'; }

bool IsHexLetter(TKeyChar c) { return (c >= U'A' && c <= U'F') || (c >= U'a' && c <= U'f'); }

bool IsControl(TKeyChar c) { return c < 32 || c == 127; }

// 1-based positions of the first separator and of the next one after it
// (0 when missing).
void SeparatorPositions(const QString& text, QChar separator, int& p1, int& p2)
{
    p1 = int(text.indexOf(separator)) + 1;
    p2 = p1 > 0 ? int(text.indexOf(separator, p1)) + 1 : 0;
}

} // namespace

QString DatePartOrder(const QString& shortDateFormat)
{
    const QString f = shortDateFormat.toUpper();
    struct Part {
        QChar letter;
        qsizetype pos;
    };
    QList<Part> present, missing;
    for (QChar letter : {QChar(u'D'), QChar(u'M'), QChar(u'Y')}) {
        const qsizetype pos = f.indexOf(letter);
        (pos >= 0 ? present : missing).append(Part{letter, pos});
    }
    std::stable_sort(present.begin(), present.end(), [](const Part& a, const Part& b) { return a.pos < b.pos; });
    QString order;
    for (const Part& p : present) order += p.letter;
    for (const Part& p : missing) order += p.letter;
    return order;
}

TSpinEditCore::TSpinEditCore(QWidget* parent, const QString& name, Dialect dialect)
    : TCustomEdit(parent, name), m_dialect(dialect)
{
    SetWantReturns(true);
    if (dialect == Dialect::Ext)
        m_button = new TExtSpinButton(this, QStringLiteral("SpinButton"));
    else
        m_button = new TEsgSpinButton(this, QStringLiteral("SpinButton"));
    m_button->SetBounds(0, 0, 15, 17);
    m_button->SetFocusControl(this);
    m_button->OnUpClick = [this](QObject*) { StepUp(); };
    m_button->OnDownClick = [this](QObject*) { StepDown(); };
    m_button->show();
    setText(QStringLiteral("0"));
    m_incrementFloat = dialect == Dialect::Ext ? 0.1 : 0.0;
    Resize();
}

TSpinEditCore::~TSpinEditCore() = default;

// ---------------------------------------------------------------------------
// Kinds and accessors

void TSpinEditCore::SetSpinType(TExtSpinType value)
{
    if (value == sptHex && m_dialect == Dialect::Esg) return;
    m_spinType = value;
    // The value of the new kind, read as that kind, written back in its form.
    switch (value) {
    case sptNormal: SetValue(Value()); break;
    case sptFloat: SetFloatValue(FloatValue()); break;
    case sptDate: SetDateValue(DateValue()); break;
    case sptTime: SetTimeValue(TimeValue()); break;
    case sptHex: WriteHexValue(HexValueOfText()); break;
    }
}

void TSpinEditCore::WriteText(const QString& value)
{
    if (value == text()) return;
    const int caret = cursorPosition();
    setText(value);
    setCursorPosition(std::min(caret, int(value.size())));
}

int TSpinEditCore::Value() const
{
    int v = 0;
    return TryStrToInt(Text(), v) ? v : m_minValue;
}

void TSpinEditCore::SetValue(int value)
{
    WriteText(IntToStr(CheckValue(value)));
    if (!m_editorEnabled) selectAll();
}

double TSpinEditCore::FloatValue() const
{
    double v = 0;
    return TryStrToFloat(Text(), v) ? v : double(m_minValue);
}

void TSpinEditCore::SetFloatValue(double value)
{
    const double v = CheckFloatValue(value);
    QString s;
    if (m_precision > 0)
        s = FloatToStrF(v, ffFixed, 15, m_precision);
    else if (m_precision < 0 && m_dialect == Dialect::Ext)
        s = FloatToStrF(v, ffGeneral, 4, 0);
    else
        s = FloatToStr(v);
    WriteText(s);
}

TDateTime TSpinEditCore::DateValue() const
{
    const QString t = Text();
    if (t.isEmpty() || t == QLatin1String("0")) return Now();
    TDateTime d = 0;
    if (!TryStrToDate(t, d)) return m_minDateValue;
    return m_dialect == Dialect::Ext ? Combine(d, TimeOfDay(m_storedDate)) : d;
}

void TSpinEditCore::SetDateValue(TDateTime value)
{
    m_storedDate = CheckDateValue(value);
    WriteText(FormatDateTime(QStringLiteral("ddddd"), m_storedDate));
}

TDateTime TSpinEditCore::TimeValue() const
{
    QString t = Text();
    if (m_dialect == Dialect::Ext && !m_showSeconds) t += RegionalSettings::TimeSeparator() + QStringLiteral("00");
    TDateTime v = 0;
    if (!TryStrToTime(t, v)) return 0;
    return m_dialect == Dialect::Ext ? v + std::trunc(m_storedTime) : v;
}

void TSpinEditCore::SetTimeValue(TDateTime value)
{
    m_storedTime = value;
    if (m_dialect == Dialect::Ext)
        WriteText(FormatDateTime(m_showSeconds ? QStringLiteral("h:nn:ss") : QStringLiteral("h:nn"), value));
    else
        WriteText(TimeToStr(value));
}

int TSpinEditCore::HexValueOfText() const
{
    QString t = Text();
    if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) t = t.mid(2);
    qsizetype i = 0;
    while (i < t.size() && t[i] == u'0') ++i;
    t = t.mid(i);
    if (t.size() > 8) return m_minValue;
    quint32 v = 0;
    for (QChar c : t) {
        const char16_t u = c.unicode();
        int digit;
        if (u >= u'0' && u <= u'9')
            digit = u - u'0';
        else if (u >= u'A' && u <= u'F')
            digit = u - u'A' + 10;
        else if (u >= u'a' && u <= u'f')
            digit = u - u'a' + 10;
        else
            return m_minValue;
        v = v * 16 + quint32(digit);
    }
    // Up to eight digits are a 32-bit value in two's complement, as written.
    return qint32(v);
}

bool TSpinEditCore::HexTextParses() const
{
    QString t = Text();
    if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) t = t.mid(2);
    qsizetype i = 0;
    while (i < t.size() && t[i] == u'0') ++i;
    if (t.size() - i > 8) return false;
    for (; i < t.size(); ++i)
        if (!IsDigit(t[i].unicode()) && !IsHexLetter(t[i].unicode())) return false;
    return true;
}

void TSpinEditCore::WriteHexValue(int value)
{
    m_storedHex = value;
    WriteText(QStringLiteral("0x") + IntToHex(value, 1));
}

int TSpinEditCore::CheckValue(int value) const
{
    if (m_minValue == m_maxValue) return value;
    if (value < m_minValue) return m_minValue;
    if (value > m_maxValue) return m_maxValue;
    return value;
}

double TSpinEditCore::CheckFloatValue(double value) const
{
    if (m_minFloatValue == m_maxFloatValue) return value;
    if (value < m_minFloatValue) return m_minFloatValue;
    if (value > m_maxFloatValue) return m_maxFloatValue;
    return value;
}

TDateTime TSpinEditCore::CheckDateValue(TDateTime value) const
{
    if (m_minDateValue == m_maxDateValue) return value;
    if (value < m_minDateValue) return m_minDateValue;
    if (value > m_maxDateValue) return m_maxDateValue;
    return value;
}

void TSpinEditCore::SetPrecision(int value)
{
    m_precision = value;
    if (m_spinType == sptFloat) SetFloatValue(FloatValue());
}

// ---------------------------------------------------------------------------
// Steps

void TSpinEditCore::StepUp() { Step(+1); }

void TSpinEditCore::StepDown() { Step(-1); }

void TSpinEditCore::Step(int direction)
{
    if (ReadOnly()) {
        MessageBeep();
        return;
    }
    const int selStart = SelStart();
    const int selLength = SelLength();
    const QString before = Text();
    const bool ext = m_dialect == Dialect::Ext;
    switch (m_spinType) {
    case sptNormal:
        if (ext && m_incrementSmart)
            SmartStep(direction);
        else
            SetValue(Saturated(qint64(Value()) + qint64(direction) * m_increment));
        break;
    case sptFloat:
        if (ext && m_incrementSmart)
            SmartStep(direction);
        else
            SetFloatValue(FloatValue() + direction * m_incrementFloat);
        break;
    case sptDate: StepDate(direction); break;
    case sptTime: StepTime(direction); break;
    case sptHex: WriteHexValue(int(quint32(HexValueOfText()) + quint32(qint64(direction) * m_increment))); break;
    }
    if (Text() != before) setModified(true);
    if (ext) {
        SetSelStart(selStart);
        SetSelLength(selLength);
    }
}

void TSpinEditCore::SmartStep(int direction)
{
    if (m_spinType != sptNormal && m_spinType != sptFloat) return;
    const QString t = Text();
    const int length = int(t.size());
    const int caret = SelStart();
    const int right = length - caret;
    const int d = int(t.indexOf(RegionalSettings::DecimalSeparator())) + 1;
    const int fraction = d > 0 ? length - d : -1;
    const bool isFloat = m_spinType == sptFloat;
    if (caret == 0 || (t.contains(u'-') && caret == 1)) {
        if (isFloat)
            SetFloatValue(FloatValue() + direction * m_incrementFloat);
        else
            SetValue(Saturated(qint64(Value()) + qint64(direction) * m_increment));
        return;
    }
    if (right < fraction) {
        // Inside the fraction: an integer has none to step.
        const int n = fraction - right;
        double step = 1.0;
        for (int i = 0; i < n; ++i) step /= 10.0;
        if (isFloat) SetFloatValue(FloatValue() + direction * step);
        return;
    }
    const int n = right - fraction - 1;
    qint64 step = 1;
    for (int i = 0; i < n && step < qint64(1) << 40; ++i) step *= 10;
    if (isFloat)
        SetFloatValue(FloatValue() + direction * double(step));
    else
        SetValue(Saturated(qint64(Value()) + direction * step));
}

void TSpinEditCore::StepDate(int direction)
{
    const QString t = Text();
    const int caret = SelStart();
    int p1 = 0, p2 = 0;
    SeparatorPositions(t, RegionalSettings::DateSeparator(), p1, p2);
    const int part = caret < p1 ? 0 : (p2 > caret ? 1 : 2);
    const QChar kind = DatePartOrder(RegionalSettings::ShortDateFormat())[part];
    const TDateTime v = DateValue();
    TDateTime stepped = v;
    bool ok = true;
    try {
        if (kind == u'D') {
            stepped = v + direction;
        } else if (kind == u'M') {
            stepped = IncMonth(v, direction);
        } else {
            int y = 0, m = 0, d = 0;
            DecodeDate(v, y, m, d);
            TDateTime day = 0;
            ok = TryEncodeDate(y + direction, m, d, day);
            if (ok) stepped = Combine(day, TimeOfDay(v));
        }
    } catch (const Exception&) {
        ok = false;
    }
    // 29 February a year on, or a step out of the calendar: the value stays.
    if (!ok || !(stepped >= kFirstDay && stepped < kDayAfterLast)) {
        MessageBeep();
        return;
    }
    SetDateValue(stepped);
}

void TSpinEditCore::StepTime(int direction)
{
    const QString t = Text();
    const int caret = SelStart();
    int p1 = 0, p2 = 0;
    SeparatorPositions(t, RegionalSettings::TimeSeparator(), p1, p2);
    TDateTime step = 0;
    bool ok = true;
    if (m_dialect == Dialect::Ext) {
        if (caret < p1) {
            ok = m_incrementHours != 0 ? TryEncodeTime(m_incrementHours, 0, 0, 0, step)
                                       : TryEncodeTime(0, m_incrementMinutes, 0, 0, step);
        } else if (p2 <= caret && m_showSeconds) {
            step = EncodeTime(0, 0, 1, 0);
        } else {
            ok = TryEncodeTime(0, m_incrementMinutes, 0, 0, step);
        }
        if (!ok) {
            // An hour step outside 0..23 or a minute step outside 0..59.
            MessageBeep();
            return;
        }
        const TDateTime v = TimeValue();
        if (direction > 0)
            SetTimeValue(ToMilliseconds(v + step));
        else if (v >= step)
            SetTimeValue(ToMilliseconds(v - step));
        return;
    }
    if (caret < p1)
        step = EncodeTime(1, 0, 0, 0);
    else if (caret < p2)
        step = EncodeTime(0, 1, 0, 0);
    else
        step = EncodeTime(0, 0, 1, 0);
    if (direction > 0) {
        SetTimeValue(ToMilliseconds(TimeValue() + step));
    } else {
        TDateTime v = ToMilliseconds(TimeValue() + 1.0 - step);
        if (v > 1.0) v = ToMilliseconds(v - 1.0);
        SetTimeValue(v);
    }
}

// ---------------------------------------------------------------------------
// Characters

bool TSpinEditCore::IsValidChar(TKeyChar& key)
{
    const KeySeparators sep{RegionalSettings::DecimalSeparator().unicode(),
                            RegionalSettings::ThousandSeparator().unicode(),
                            RegionalSettings::TimeSeparator().unicode(), RegionalSettings::DateSeparator().unicode()};
    bool valid = IsValueChar(key, sep) && SeparatorFitsKind(key, sep);
    switch (m_spinType) {
    case sptFloat: valid = FloatCharFits(key, sep) && valid; break; // may change the key
    case sptTime: valid = valid && TimeCharFits(key, sep); break;
    case sptHex: valid = HexCharFits(key); break; // its own rules replace the others
    default: break;
    }
    // A disabled editor takes no printable character and no backspace.
    return valid && (m_editorEnabled || (IsControl(key) && key != 8));
}

// The characters of any value: signs, digits, the locale's separators and
// controls but Enter.
bool TSpinEditCore::IsValueChar(TKeyChar key, const KeySeparators& sep)
{
    return key == U'+' || key == U'-' || IsDigit(key) || key == sep.decimal || key == sep.thousand || key == sep.time ||
        key == sep.date || (IsControl(key) && key != 13);
}

// A time or date separator outside its kind is refused. The form's edit
// lets one pass that is also a float's separator, the grid's editor one
// that is "-".
bool TSpinEditCore::SeparatorFitsKind(TKeyChar key, const KeySeparators& sep) const
{
    if (key != sep.time && key != sep.date) return true;
    const bool ext = m_dialect == Dialect::Ext;
    const bool floatSeparator = m_spinType == sptFloat && (key == sep.decimal || key == sep.thousand);
    const auto fits = [&](char32_t separator, TExtSpinType kind) {
        return key != separator || m_spinType == kind || (ext ? floatSeparator : separator == U'-');
    };
    return fits(sep.time, sptTime) && fits(sep.date, sptDate);
}

// A float's characters, except backspace, Enter and Escape: the thousand
// separator becomes the decimal one, which is typed once (the form's edit
// not at all with Precision 0), and no more decimals than Precision.
bool TSpinEditCore::FloatCharFits(TKeyChar& key, const KeySeparators& sep) const
{
    if (key == 8 || key == 13 || key == 27) return true;
    if (key == sep.thousand) key = sep.decimal;
    const QString t = Text();
    const int d = int(t.indexOf(QChar(char16_t(sep.decimal)))) + 1;
    if (key == sep.decimal && (d > 0 || (m_dialect == Dialect::Ext && m_precision == 0))) return false;
    return !(m_precision > 0 && d > 0 && SelStart() >= d && SelLength() == 0 && t.size() >= d + m_precision);
}

// A time takes one separator in the form's edit, two in the grid's editor.
bool TSpinEditCore::TimeCharFits(TKeyChar key, const KeySeparators& sep) const
{
    if (key != sep.time) return true;
    const qsizetype held = Text().count(QChar(char16_t(sep.time)));
    return held < (m_dialect == Dialect::Ext ? 1 : 2);
}

// Digits, letters A to F and controls but Enter, behind the "0x" prefix,
// which backspace cannot take either.
bool TSpinEditCore::HexCharFits(TKeyChar key) const
{
    const int caret = SelStart();
    if (caret < 2 || (key == 8 && caret == 2)) return false;
    return IsDigit(key) || IsHexLetter(key) || (IsControl(key) && key != 13);
}

void TSpinEditCore::KeyPress(TKeyChar& key)
{
    if (!IsValidChar(key)) {
        key = 0;
        MessageBeep();
        return;
    }
    TCustomEdit::KeyPress(key);
}

// ---------------------------------------------------------------------------
// Focus

void TSpinEditCore::DoEnter()
{
    const bool leftDown = (QGuiApplication::mouseButtons() & Qt::LeftButton) != 0;
    if (AutoSelect() && !(leftDown && m_editorEnabled)) selectAll();
    TCustomEdit::DoEnter();
}

void TSpinEditCore::DoExit()
{
    QPointer<QWidget> alive(this);
    TCustomEdit::DoExit();
    if (alive) CheckOnExit();
}

bool TSpinEditCore::TextParses() const
{
    const QString t = Text();
    switch (m_spinType) {
    case sptNormal: {
        int v = 0;
        return TryStrToInt(t, v);
    }
    case sptFloat: {
        double v = 0;
        return TryStrToFloat(t, v);
    }
    case sptDate: {
        TDateTime v = 0;
        return t.isEmpty() || t == QLatin1String("0") || TryStrToDate(t, v);
    }
    case sptTime: {
        QString s = t;
        if (m_dialect == Dialect::Ext && !m_showSeconds) s += RegionalSettings::TimeSeparator() + QStringLiteral("00");
        TDateTime v = 0;
        return TryStrToTime(s, v);
    }
    case sptHex: return HexTextParses();
    }
    return true;
}

void TSpinEditCore::CheckOnExit()
{
    switch (m_spinType) {
    case sptNormal: {
        const int v = Value();
        if (CheckValue(v) != v) SetValue(v);
        break;
    }
    case sptFloat: {
        const double v = FloatValue();
        if (CheckFloatValue(v) != v) SetFloatValue(v);
        break;
    }
    case sptDate: {
        const TDateTime v = DateValue();
        if (CheckDateValue(v) != v) SetDateValue(v);
        break;
    }
    case sptTime: {
        const TDateTime v = TimeValue();
        const TDateTime c = CheckDateValue(v);
        if (c != v) SetTimeValue(m_dialect == Dialect::Ext ? v : c);
        break;
    }
    case sptHex: WriteHexValue(CheckValue(HexValueOfText())); break;
    }
    // What is shown is what is read: a text that does not read as the kind
    // is written again from the value it reads as.
    if (TextParses()) return;
    switch (m_spinType) {
    case sptNormal: SetValue(Value()); break;
    case sptFloat: SetFloatValue(FloatValue()); break;
    case sptDate: SetDateValue(DateValue()); break;
    case sptTime: SetTimeValue(TimeValue()); break;
    case sptHex: WriteHexValue(HexValueOfText()); break;
    }
}

// ---------------------------------------------------------------------------
// Layout

int TSpinEditCore::MinHeight() const
{
    const int t = TextMetricsOf(Font()).tmHeight;
    const int i = std::min(SystemFontCharHeight(), t);
    int m = t + i / 4 + 2;
    if (BorderStyle() == TBorderStyle::bsSingle) m += 4 * GetSystemMetrics(Win::SM_CYBORDER);
    return m;
}

void TSpinEditCore::Resize()
{
    if (!m_button) {
        TCustomEdit::Resize();
        return;
    }
    const int m = MinHeight();
    if (Height() < m) {
        SetHeight(m);
        return;
    }
    m_button->PlaceInEdit(*this);
    SetEditRectForBorder();
}

void TSpinEditCore::SetEditRectForBorder()
{
    const int e = BorderStyle() == TBorderStyle::bsNone ? (m_dialect == Dialect::Ext ? 2 : 1) : 0;
    SetEditRect(TRect(e, e, ClientWidth() - m_button->Width() - 2 - e, ClientHeight() + 1));
}

void TSpinEditCore::SetDirection(TSpinDirection value)
{
    if (value == m_button->Direction()) return;
    m_button->SetDirection(value);
    // A fresh layout.
    SetWidth(Width() + 1);
    SetWidth(Width() - 1);
}

void TSpinEditCore::SetSpinFlat(bool value)
{
    m_button->UpButton()->SetFlat(value);
    m_button->DownButton()->SetFlat(value);
}

void TSpinEditCore::SetSpinTransparent(bool value)
{
    m_button->UpButton()->SetTransparent(value);
    m_button->DownButton()->SetTransparent(value);
    SetWidth(Width() + 1);
    SetWidth(Width() - 1);
}

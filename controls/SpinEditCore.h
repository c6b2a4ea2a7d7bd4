#pragma once
// What the form's spin edit (TExtSpinEdit) and the grid's spin editor
// (TEsgSpinEdit) share: an edit holding one value of a kind (integer, float,
// date, time, and for the form's edit hexadecimal) in its text, typed
// accessors that parse and format that text with the regional settings of
// the moment, clamping to a range (none when minimum and maximum are equal),
// stepping by the embedded button pair and the arrow keys (dates and times
// by the part under the caret), and the character rules.
//
// The two controls differ where their designs differ; the core keeps each
// difference behind the dialect:
//                      form's edit (Ext)              grid's editor (Esg)
//   float step         0.1                            0
//   float text         Precision>0 fixed, 0 shortest, Precision>0 fixed,
//                      <0 four digits                 else shortest
//   date read          keeps the stored time of day   the date alone
//   time text          h:nn[:ss] (ShowSeconds)        the long time format
//   time read          keeps the stored whole days    the time alone
//   time steps         IncrementHours/-Minutes, one   an hour, a minute, a
//                      second; down stops at 0        second; wraps at midnight
//   separators         refused outside their kind     refused outside their kind
//                      unless a float's separator     unless they are "-"
//                      is the same character
//   float separator    refused with Precision 0       allowed once
//   "+" and "-"        "+" dropped, "-" toggles the   typed as they are
//                      sign (Signed)
//   Up and Down        KeyDown (smart steps, page     before KeyDown (never
//                      steps), caret kept             seen by OnKeyDown)
//   edit rectangle     inset 2 without a border       inset 1 without a border
//   button glyphs      "ExtSpinUp"/"ExtSpinDown",     "EsgSpinUp"/"EsgSpinDown",
//                      style of the platform          style from the grid's flag
// Both take the order of the date's parts from the D, M and Y of the short
// date format at each step.

#include "controls/ExtSpinButton.h"
#include "platform/widgets/CustomEdit.h"
#include "platform/core/DateTime.h"

enum TExtSpinType { sptNormal, sptFloat, sptDate, sptTime, sptHex };

class TSpinEditCore : public TCustomEdit {
public:
    ~TSpinEditCore() override;

    TExtSpinType SpinType() const { return m_spinType; }
    virtual void SetSpinType(TExtSpinType value);

    // ----- Typed accessors (see the classes for the details)
    int Value() const;
    void SetValue(int value);
    double FloatValue() const;
    void SetFloatValue(double value);
    TDateTime DateValue() const;
    void SetDateValue(TDateTime value);
    TDateTime TimeValue() const;
    void SetTimeValue(TDateTime value);

    // ----- Ranges; equal bounds mean no range
    int MinValue() const { return m_minValue; }
    void SetMinValue(int value) { m_minValue = value; }
    int MaxValue() const { return m_maxValue; }
    void SetMaxValue(int value) { m_maxValue = value; }
    double MinFloatValue() const { return m_minFloatValue; }
    void SetMinFloatValue(double value) { m_minFloatValue = value; }
    double MaxFloatValue() const { return m_maxFloatValue; }
    void SetMaxFloatValue(double value) { m_maxFloatValue = value; }
    TDateTime MinDateValue() const { return m_minDateValue; }
    void SetMinDateValue(TDateTime value) { m_minDateValue = value; }
    TDateTime MaxDateValue() const { return m_maxDateValue; }
    void SetMaxDateValue(TDateTime value) { m_maxDateValue = value; }
    int CheckValue(int value) const;
    double CheckFloatValue(double value) const;
    TDateTime CheckDateValue(TDateTime value) const;

    // ----- Steps
    int Increment() const { return m_increment; }
    void SetIncrement(int value) { m_increment = value; }
    double IncrementFloat() const { return m_incrementFloat; }
    void SetIncrementFloat(double value) { m_incrementFloat = value; }
    virtual void StepUp();
    virtual void StepDown();

    // ----- Input
    int Precision() const { return m_precision; }
    void SetPrecision(int value);
    // Typing, cutting and pasting allowed; the buttons and keys step anyway.
    bool EditorEnabled() const { return m_editorEnabled; }
    void SetEditorEnabled(bool value) { m_editorEnabled = value; }
    // Enter moves on as Tab does.
    bool ReturnIsTab() const { return m_returnIsTab; }
    void SetReturnIsTab(bool value) { m_returnIsTab = value; }
    // Whether a typed character may reach the text; may change it (a float's
    // thousand separator becomes the decimal separator).
    virtual bool IsValidChar(TKeyChar& key);

    // ----- The button pair
    TExtSpinButton* Button() const { return m_button; }
    TSpinDirection Direction() const { return m_button->Direction(); }
    void SetDirection(TSpinDirection value);
    bool SpinFlat() const { return m_button->UpButton()->Flat(); }
    void SetSpinFlat(bool value);
    bool SpinTransparent() const { return m_button->UpButton()->Transparent(); }
    void SetSpinTransparent(bool value);

    // The smallest height the edit keeps.
    int MinHeight() const;

protected:
    enum class Dialect { Ext, Esg };
    TSpinEditCore(QWidget* parent, const QString& name, Dialect dialect);

    Dialect SpinDialect() const { return m_dialect; }

    // Value steps of the kinds, up (+1) or down (-1).
    void Step(int direction);
    void StepDate(int direction);
    void StepTime(int direction);
    // The digit left of the caret steps (integer and float; others stay).
    void SmartStep(int direction);

    // Writes the text keeping the caret where it was.
    void WriteText(const QString& text);
    // Whether the text reads as a value of the kind.
    virtual bool TextParses() const;
    // Leaving: values out of range are brought in, and a text that does not
    // read is written again from the value it reads as.
    virtual void CheckOnExit();

    void KeyPress(TKeyChar& key) override;
    void DoEnter() override;
    void DoExit() override;
    void Resize() override;
    bool PasteAllowed() const override { return m_editorEnabled && !ReadOnly(); }
    bool CutAllowed() const override { return m_editorEnabled && !ReadOnly(); }
    // Sets the formatting rectangle for the current border.
    virtual void SetEditRectForBorder();

    // Values of the form's edit kept here so that the steps can use them.
    int m_incrementPage = 10;
    double m_incrementFloatPage = 1.0;
    bool m_incrementSmart = false;
    int m_incrementMinutes = 1;
    int m_incrementHours = 1;
    bool m_showSeconds = true;
    int m_storedHex = 0;

    TDateTime StoredTime() const { return m_storedTime; }

    // Hexadecimal accessors of the form's edit.
    int HexValueOfText() const;
    bool HexTextParses() const;
    void WriteHexValue(int value);

private:
    // The locale's separators, read for each typed character.
    struct KeySeparators {
        char32_t decimal, thousand, time, date;
    };
    // The steps of IsValidChar.
    static bool IsValueChar(TKeyChar key, const KeySeparators& sep);
    bool SeparatorFitsKind(TKeyChar key, const KeySeparators& sep) const;
    bool FloatCharFits(TKeyChar& key, const KeySeparators& sep) const;
    bool TimeCharFits(TKeyChar key, const KeySeparators& sep) const;
    bool HexCharFits(TKeyChar key) const;

    Dialect m_dialect;
    TExtSpinButton* m_button = nullptr;
    TExtSpinType m_spinType = sptNormal;
    int m_precision = 0;
    int m_increment = 1;
    double m_incrementFloat = 0.1;
    int m_minValue = 0;
    int m_maxValue = 100;
    double m_minFloatValue = 0;
    double m_maxFloatValue = 100.0;
    TDateTime m_minDateValue = 0;
    TDateTime m_maxDateValue = 0;
    bool m_editorEnabled = true;
    bool m_returnIsTab = false;
    TDateTime m_storedDate = 0;
    TDateTime m_storedTime = 0;
};

// The order of the parts of a date text from the short date format: 'D',
// 'M' and 'Y' in the order their first letters stand in it (letters it
// lacks follow in the order D, M, Y).
QString DatePartOrder(const QString& shortDateFormat);

#pragma once
// The Search Params step: the rules of the comparable-sales search around
// the subject property (five ranges; search type with its value list, area,
// structure type, days back, tax or MLS records; how many comps of each
// listing status), read from the comps connection when the step opens and
// written back on Search and on close. Named parameter sets live in
// "ss.xml" of the data directory.

#include "forms/TBaseFrm.h"
#include "forms/TStepHost.h"

#include <QPointer>
#include <functional>

class QCheckBox;
class QTabWidget;
class TCustomComboBox;
class TCustomEdit;
class TExtSpinEdit;
class TExtColumnGrid;
class TLabel;
class TRadioGroup;
struct TSearchTypeRec;
class TSpeedButton;
class TXMLElement;
class TvxComps;
class TvxpDocument;

class TCompsParamsFrm : public TBaseFrm {
    Q_OBJECT
    Q_PROPERTY(int tabIndex READ TabIndex WRITE SetTabIndex)
public:
    explicit TCompsParamsFrm(QObject* owner, TStepHost* host = nullptr);
    ~TCompsParamsFrm() override;

    // One range row of the first page.
    struct TRange {
        TCustomEdit* Subject = nullptr;
        TExtSpinEdit* Low = nullptr;
        TExtSpinEdit* High = nullptr;
        TCustomComboBox* Type = nullptr;
        TLabel* RangeLabel = nullptr;
        TLabel* LowLabel = nullptr;
        TLabel* HighLabel = nullptr;
        bool IsFloat = false;
        double Step = 1;                      // increment of the range types 0 and 1
        std::function<double()> SubjectValue; // the subject's figure in the comps object
    };
    enum { rgBeds, rgBaths, rgSqft, rgLot, rgPrice, rgCount };

    QTabWidget* PageControl1 = nullptr;
    TCustomEdit* edSpBeds = nullptr;
    TCustomEdit* edSpBaths = nullptr;
    TCustomEdit* edSpSqft = nullptr;
    TCustomEdit* edSpLot = nullptr;
    TCustomEdit* edSpPrice = nullptr;
    TExtSpinEdit* edBedLow = nullptr;
    TExtSpinEdit* edBedHigh = nullptr;
    TExtSpinEdit* edBathLow = nullptr;
    TExtSpinEdit* edBathHigh = nullptr;
    TExtSpinEdit* edSqftLow = nullptr;
    TExtSpinEdit* edSqftHigh = nullptr;
    TExtSpinEdit* edLotLow = nullptr;
    TExtSpinEdit* edLotHigh = nullptr;
    TExtSpinEdit* edPriceLow = nullptr;
    TExtSpinEdit* edPriceHigh = nullptr;
    TCustomComboBox* cbBedType = nullptr;
    TCustomComboBox* cbBathType = nullptr;
    TCustomComboBox* cbSqFtType = nullptr;
    TCustomComboBox* cbLotType = nullptr;
    TCustomComboBox* cbPriceType = nullptr;
    TLabel* lbBedRange = nullptr;
    TLabel* lbBathRange = nullptr;
    TLabel* lbSqFtRange = nullptr;
    TLabel* lbLotRange = nullptr;
    TLabel* lbPriceRange = nullptr;

    TCustomComboBox* cbSearchType = nullptr;
    TExtColumnGrid* gParams = nullptr;
    TCustomComboBox* cbPropertyType = nullptr;
    TExtSpinEdit* edArea = nullptr;
    TLabel* lbArea = nullptr;
    TExtSpinEdit* edDaysBack = nullptr;
    TLabel* lbFirstDate = nullptr;
    TRadioGroup* rgSearchFor = nullptr;
    QCheckBox* cbUseSold = nullptr;
    QCheckBox* cbUsePending = nullptr;
    QCheckBox* cbUseActive = nullptr;
    QCheckBox* cbUseExpired = nullptr;
    TExtSpinEdit* edPropSold = nullptr;
    TExtSpinEdit* edPropPending = nullptr;
    TExtSpinEdit* edPropActive = nullptr;
    TExtSpinEdit* edPropExpired = nullptr;
    TLabel* lbTotal = nullptr;
    QCheckBox* ckZero = nullptr;

    TSpeedButton* BitBtn1 = nullptr; // Search
    TSpeedButton* BitBtn2 = nullptr; // Save Settings
    TSpeedButton* BitBtn3 = nullptr; // Delete Settings
    TCustomComboBox* cbParams = nullptr;
    TvxpDocument* ssParser = nullptr;

    TRange& Range(int index) { return m_ranges[index]; }
    int TabIndex() const;
    void SetTabIndex(int index);

    // Stores into the comps object, resets the found comps and has the main
    // window search.
    void BitBtn1Click();
    // Save Settings and Delete Settings.
    void BitBtn2Click();
    void BitBtn3Click();
    // Applies the named set (the built-in one for "DEFAULT" or an empty name).
    void ApplyParams(const QString& name);
    // The type list change of a range.
    void RangeTypeChange(int range);
    // The search-type layout: clears the value list, shows area and list as
    // the chosen type asks and prefills the first value row.
    void cbSearchTypeChange();
    // The value cell's button: the land-use codes; OK replaces the edited
    // text with the picked code.
    void gParamsEllipsClick(QString& value);
    // The form's values into the comps object.
    void StoreParams();
    // The comps object's values into the form.
    void LoadParams();
    // The main window's key preview: Enter searches.
    bool PreviewKey(int key) override;

    // "ss.xml" read again into ssParser and the name list filled.
    void LoadParamFile();
    void FillParamNames();
    // The set named name, or none.
    TXMLElement* FindParams(const QString& name) const;
    // The whole parameter document written to the data directory.
    void WriteParamFile();

    // The SearchFor code of the radio group and back.
    int SearchForFromRadio() const;
    void SetRadioFromSearchFor(int searchFor);

private:
    void BuildRangesPage(QWidget* page);
    void BuildTypePage(QWidget* page);
    void UpdateRangeText(int range);
    void StatusClick(QCheckBox* check, TExtSpinEdit* edit);
    void StatusEnter(TExtSpinEdit* edit);
    void StatusChange(TExtSpinEdit* edit);
    void StatusExit(TExtSpinEdit* edit);
    void DaysBackChange();
    void FormClose(TCloseAction& action);
    void SetSearchTypeById(int id);
    const TSearchTypeRec* ChosenSearchType() const;
    int ChosenPropertyType() const;
    TvxComps* Comps() const;

    TRange m_ranges[rgCount];
    bool m_lastKeyUp = false;
    // The cap each status edit got on entry; enforced on exit also when it
    // equals the edit's minimum (equal bounds are no range to the edit).
    int m_statusCap[4] = {-1, -1, -1, -1};
};

extern QPointer<TCompsParamsFrm> CompsParamsFrm;

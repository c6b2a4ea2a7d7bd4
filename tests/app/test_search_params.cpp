#include "forms/TRadioGroup.h"
#include "app/steps/TCompsParamsFrm.h"
#include "app/steps/TLandUseDlg.h"
#include "controls/ExtSpinEdit.h"
#include "grid/column/TExtColumnGrid.h"
#include "platform/core/Format.h"
#include "platform/kernel/Application.h"
#include "platform/widgets/CustomComboBox.h"
#include "platform/widgets/Label.h"
#include "protocol/TvxComps.h"
#include "protocol/xml/TXMLElement.h"
#include "tests/app/MainWindowTest.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>

using namespace testsupport;

namespace {

TCompsParamsFrm* ShowParams(TMainProfileFrm* main)
{
    main->CompsParamsForm->trigger();
    EXPECT_TRUE(WaitUntil([] { return CompsParamsFrm && CompsParamsFrm->isVisible(); }));
    return CompsParamsFrm;
}

QString Bounds(double from, double to) { return Format(QStringLiteral("%0.0n  to  %0.0n"), {from, to}); }

QString ReadFile(const QString& name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// Answers the name dialog with name.
void NameAnswer(DialogResponder& responder, const QString& name)
{
    responder.NextModal([name](QDialog& d) {
        d.findChild<QLineEdit*>(QStringLiteral("edParamsName"))->setText(name);
        return int(mrOk);
    });
}

} // namespace

TEST_F(MainWindow, RangesFollowTheirTypeAndStoreInOrder)
{
    TMainProfileFrm* main = OpenWithProperty();
    TvxComps* comps = main->vxComps;
    comps->SetPrice(500000);
    TCompsParamsFrm* f = ShowParams(main);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->edSpBeds->Text(), QStringLiteral("3"));
    EXPECT_EQ(f->edSpBaths->Text(), QStringLiteral("2.5"));
    EXPECT_EQ(f->edSpPrice->Text(), Format(QStringLiteral("%0.0n"), {500000.0}));

    // Above/Below around 3 beds: never below 0.
    f->edBedLow->SetValue(5);
    f->edBedHigh->SetValue(1);
    f->cbBedType->SetItemIndex(0);
    f->RangeTypeChange(TCompsParamsFrm::rgBeds);
    EXPECT_EQ(f->lbBedRange->Caption(), Bounds(0, 4));
    EXPECT_TRUE(f->edBedLow->isEnabled());
    // From/To pulls a low above the high down to it.
    f->edBedHigh->SetValue(3);
    f->cbBedType->SetItemIndex(1);
    f->RangeTypeChange(TCompsParamsFrm::rgBeds);
    EXPECT_EQ(f->edBedLow->Value(), 3);
    EXPECT_EQ(f->findChild<TLabel*>(QStringLiteral("lbBedLow"))->Caption(), QStringLiteral("From"));
    // Percent caps at 100 and 1000.
    f->edSqftLow->SetValue(150);
    f->edSqftHigh->SetValue(2000);
    f->cbSqFtType->SetItemIndex(2);
    f->RangeTypeChange(TCompsParamsFrm::rgSqft);
    EXPECT_EQ(f->edSqftLow->Value(), 100);
    EXPECT_EQ(f->edSqftHigh->Value(), 1000);
    f->edPriceLow->SetValue(10);
    f->edPriceHigh->SetValue(10);
    f->cbPriceType->SetItemIndex(2);
    f->RangeTypeChange(TCompsParamsFrm::rgPrice);
    EXPECT_EQ(f->lbPriceRange->Caption(), Bounds(450000, 550000));
    // Baths keep their decimal in the range text.
    f->edBathLow->SetFloatValue(1);
    f->edBathHigh->SetFloatValue(1);
    f->cbBathType->SetItemIndex(0);
    f->RangeTypeChange(TCompsParamsFrm::rgBaths);
    EXPECT_EQ(f->lbBathRange->Caption(), Format(QStringLiteral("%0.1n  to  %0.1n"), {1.5, 3.5}));
    f->cbLotType->SetItemIndex(3);
    f->RangeTypeChange(TCompsParamsFrm::rgLot);
    EXPECT_EQ(f->lbLotRange->Caption(), QStringLiteral("Ignored"));

    // From/To stored the right way round; the edits keep what was typed.
    f->cbBedType->SetItemIndex(1);
    f->edBedLow->SetValue(9);
    f->edBedHigh->SetValue(1);
    f->StoreParams();
    EXPECT_EQ(comps->BedLow, 1);
    EXPECT_EQ(comps->BedHigh, 9);
    EXPECT_EQ(f->edBedLow->Value(), 9);
    EXPECT_EQ(comps->BedType, ptRange);
    EXPECT_EQ(comps->SqftType, ptPercent);
    EXPECT_EQ(comps->SqftLow, 100);
    EXPECT_EQ(comps->LotSqftType, ptIgnore);
    EXPECT_DOUBLE_EQ(comps->BathLow, 1.0);

    // The values survive leaving and re-entering the step.
    main->PropInfoForm->trigger();
    ASSERT_TRUE(WaitUntil([] { return !CompsParamsFrm; }));
    f = ShowParams(main);
    EXPECT_EQ(f->cbBedType->ItemIndex(), 1);
    EXPECT_EQ(f->edBedLow->Value(), 1);
    EXPECT_EQ(f->edPriceLow->Value(), 10);

    // A subject without beds: only From/To can be used.
    main->PropInfoForm->trigger();
    ASSERT_TRUE(WaitUntil([] { return !CompsParamsFrm; }));
    comps->Beds = 0;
    f = ShowParams(main);
    f->cbBedType->SetItemIndex(0);
    f->RangeTypeChange(TCompsParamsFrm::rgBeds);
    EXPECT_FALSE(f->edBedLow->isEnabled());
    EXPECT_EQ(f->findChild<TLabel*>(QStringLiteral("lbBedHigh"))->Caption(), QStringLiteral("N/A"));
    EXPECT_EQ(f->lbBedRange->Caption(), QStringLiteral("N/A"));
}

TEST_F(MainWindow, StatusCountsKeepToFortyComps)
{
    TMainProfileFrm* main = OpenWithProperty();
    TvxComps* comps = main->vxComps;
    comps->PSold = 20;
    comps->PPending = 10;
    comps->PActive = 10;
    comps->PExpired = 0;
    comps->PPendingUse = comps->PActiveUse = comps->PExpiredUse = true;
    TCompsParamsFrm* f = ShowParams(main);
    f->SetTabIndex(1);
    main->activateWindow();
    EXPECT_EQ(f->lbTotal->Caption(), QStringLiteral("40"));
    Type(f->edPropActive, QString());
    EXPECT_EQ(f->edPropActive->MaxValue(), 10);
    Type(f->edPropExpired, QString());
    EXPECT_EQ(f->edPropExpired->MaxValue(), 0);

    // After an Up key, stepping up past 40 is taken back at once.
    Press(f->edPropExpired, Qt::Key_Up);
    EXPECT_EQ(f->lbTotal->Caption(), QStringLiteral("41"));
    Press(f->edPropExpired, Qt::Key_Up);
    EXPECT_EQ(f->edPropExpired->Value(), 0);
    EXPECT_EQ(f->lbTotal->Caption(), QStringLiteral("40"));
    // Typing may pass 40 for a moment; leaving the edit brings it back, also
    // when the cap is the edit's minimum.
    f->edPropExpired->SetText(QString());
    Type(f->edPropExpired, QStringLiteral("5"));
    EXPECT_EQ(f->lbTotal->Caption(), QStringLiteral("45"));
    f->edPropSold->setFocus();
    EXPECT_TRUE(WaitUntil([&] { return f->edPropExpired->Value() == 0; }));

    // An unchecked status has no count.
    f->cbUsePending->setChecked(false);
    EXPECT_FALSE(f->edPropPending->isEnabled());
    EXPECT_EQ(f->edPropPending->Value(), 0);
}

TEST_F(MainWindow, SearchTypesLayTheValueListOut)
{
    TMainProfileFrm* main = OpenWithProperty();
    TvxComps* comps = main->vxComps;
    TCompsParamsFrm* f = ShowParams(main);
    auto choose = [&f](const QString& name) {
        f->cbSearchType->SetItemIndex(f->cbSearchType->findText(name));
        f->cbSearchTypeChange();
    };
    choose(QStringLiteral("Radius"));
    EXPECT_TRUE(f->gParams->isHidden());
    EXPECT_FALSE(f->edArea->isHidden());
    f->StoreParams();
    EXPECT_TRUE(comps->SearchByParams.isEmpty());
    EXPECT_EQ(comps->SearchType, 0);

    choose(QStringLiteral("Zip Code"));
    EXPECT_FALSE(f->gParams->isHidden());
    EXPECT_EQ(f->gParams->RowCount(), 4);
    EXPECT_EQ(f->gParams->GetCellText(0, 1), QStringLiteral("93602"));
    choose(QStringLiteral("Book and Tract"));
    EXPECT_EQ(f->gParams->GetCellText(0, 1),
              main->SubProp->ElementText(QStringLiteral("apn_book")) + QStringLiteral(",11872"));
    EXPECT_TRUE(f->edArea->isHidden());
    f->gParams->SetCellText(0, 2, QStringLiteral("513"));
    f->StoreParams();
    EXPECT_EQ(comps->SearchType, 5);
    EXPECT_EQ(comps->SearchByParams.size(), 2);

    // No type chosen: neither area nor list, and no values.
    f->cbSearchType->SetItemIndex(-1);
    f->cbSearchTypeChange();
    EXPECT_TRUE(f->gParams->isHidden());
    EXPECT_TRUE(f->edArea->isHidden());
    EXPECT_TRUE(comps->SearchByParams.isEmpty());

    // More stored values than rows stop at the last row.
    main->PropInfoForm->trigger();
    ASSERT_TRUE(WaitUntil([] { return !CompsParamsFrm; }));
    comps->SearchType = 2;
    comps->SearchByParams = {QStringLiteral("93601"), QStringLiteral("93602"), QStringLiteral("93603"),
                             QStringLiteral("93604"), QStringLiteral("93605")};
    f = ShowParams(main);
    EXPECT_EQ(f->gParams->RowCount(), 4);
    EXPECT_EQ(f->gParams->GetCellText(0, 1), QStringLiteral("93601"));
    EXPECT_EQ(f->gParams->GetCellText(0, 3), QStringLiteral("93603"));

    // A value typed into a cell is stored on leaving it.
    choose(QStringLiteral("Zip Code"));
    f->SetTabIndex(1);
    f->gParams->SetRow(2);
    // The first key opens the cell's editor, which takes the rest.
    Type(f->gParams, QStringLiteral("9"));
    Type(QApplication::focusWidget(), QStringLiteral("3701"));
    Press(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(f->gParams->GetCellText(0, 2), QStringLiteral("93701"));

    // Land-use values have a button to the codes; Cancel keeps the text.
    choose(QStringLiteral("Land Use"));
    f->gParams->SetRow(2);
    f->gParams->SetCellText(0, 2, QStringLiteral("kept"));
    f->gParams->setFocus();
    f->gParams->ShowEditor();
    auto* edit = dynamic_cast<TCustomEdit*>(FindByName<QWidget>(f->gParams, QStringLiteral("GridEditBtn")));
    ASSERT_TRUE(edit && edit->isVisible());
    auto* button = FindByName<QWidget>(edit, QStringLiteral("Button"));
    ASSERT_TRUE(button);
    // The codes open on the main window (their frame centred on its frame:
    // TheLandUseDialogsFrameIsCentredOnTheMainWindowsFrame).
    bool over = false;
    m_responder.NextModal([&over, main](QDialog& d) {
        over = main->frameGeometry().contains(d.geometry());
        return int(mrCancel);
    });
    Click(button);
    EXPECT_EQ(edit->Text(), QStringLiteral("kept"));
    EXPECT_TRUE(over);
    m_responder.NextModal([](QDialog& d) {
        auto& dialog = static_cast<TLandUseDlg&>(d);
        for (int r = 1; r < dialog.gLandUse->RowCount(); ++r)
            if (dialog.gLandUse->GetCellText(2, r) == QLatin1String("Single Family Residence"))
                dialog.gLandUse->SetRow(r);
        dialog.gLandUse->OnDblClick(dialog.gLandUse);
        return dialog.result();
    });
    Click(button);
    Press(edit, Qt::Key_Down);
    EXPECT_EQ(f->gParams->GetCellText(0, 2), QStringLiteral("163"));
    EXPECT_EQ(m_responder.Count(DialogRequest::Kind::Modal), 2);
}

TEST_F(MainWindow, CtrlBackspaceLeavesAValueOfTheListAsItIs)
{
    TMainProfileFrm* main = OpenWithProperty();
    TCompsParamsFrm* f = ShowParams(main);
    f->cbSearchType->SetItemIndex(f->cbSearchType->findText(QStringLiteral("Zoning")));
    f->cbSearchTypeChange();
    f->SetTabIndex(1);
    f->gParams->SetRow(1);
    f->gParams->SetCellText(0, 1, QStringLiteral("Main St"));
    f->gParams->setFocus();
    // The cell is not being edited: the key types nothing into it.
    Press(f->gParams, Qt::Key_Backspace, Qt::ControlModifier);
    Press(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(f->gParams->Row(), 2);
    EXPECT_EQ(f->gParams->GetCellText(0, 1), QStringLiteral("Main St"));
    // So the comps search takes the value, and nothing invisible.
    f->StoreParams();
    const QStringList values = main->vxComps->SearchByParams;
    ASSERT_FALSE(values.isEmpty());
    EXPECT_EQ(values.front(), QStringLiteral("Main St"));
    for (const QString& v : values) EXPECT_FALSE(v.contains(QChar(0x7F))) << v.toStdString();
}

TEST(LandUseDlg, ListsEveryCodeInOrder)
{
    TLandUseDlg dialog;
    TExtStringGrid* grid = dialog.gLandUse;
    EXPECT_EQ(grid->RowCount(), 266);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Land Use Codes"));
    EXPECT_EQ(grid->GetCellText(1, 265), QStringLiteral("999"));
    EXPECT_EQ(grid->GetCellText(2, 265), QStringLiteral("Unknown"));
    int previous = -1;
    for (int r = 1; r < grid->RowCount(); ++r) {
        const int code = grid->GetCellText(1, r).toInt();
        EXPECT_GT(code, previous);
        previous = code;
        EXPECT_FALSE(grid->GetCellText(2, r).isEmpty());
        EXPECT_TRUE(grid->GetCellText(0, r).isEmpty());
    }
    grid->SetRow(2);
    EXPECT_EQ(dialog.Code(), QStringLiteral("99"));
}

TEST_F(MainWindow, TheLandUseDialogsFrameIsCentredOnTheMainWindowsFrame)
{
    TMainProfileFrm* main = Open();
    main->move(40, 30);
    ASSERT_TRUE(WaitUntil([main] { return main->isVisible() && main->frameGeometry().topLeft() == QPoint(40, 30); }));
    ASSERT_TRUE(WaitUntil([] { return bool(LoginFrm); }));
    // Opened from a step form, as the Search Params step does.
    TLandUseDlg dialog(LoginFrm);
    dialog.show();
    ASSERT_TRUE(WaitUntil([&] { return dialog.isVisible(); }));
    const QPoint off = dialog.frameGeometry().center() - main->frameGeometry().center();
    EXPECT_LE(std::abs(off.x()), 1) << off.x();
    EXPECT_LE(std::abs(off.y()), 1) << off.y();
    // Framed windows, so the frame counts.
    EXPECT_NE(dialog.frameGeometry().size(), dialog.size());
    EXPECT_EQ(dialog.frameGeometry().size() - dialog.size(), main->frameGeometry().size() - main->size());
    dialog.hide();
}

TEST_F(MainWindow, SearchForFollowsTheMlsAccess)
{
    TMainProfileFrm* main = OpenWithProperty();
    TCompsParamsFrm* f = ShowParams(main);
    ASSERT_EQ(f->rgSearchFor->Items().size(), 3);
    f->rgSearchFor->SetItemIndex(1);
    EXPECT_EQ(f->SearchForFromRadio(), 1);
    f->BitBtn1Click();
    EXPECT_TRUE(main->vxComps->UseMls);
    EXPECT_EQ(main->vxComps->SearchFor, 1);
    ASSERT_TRUE(WaitUntil([] { return AppState().CompsFound; }));
    EXPECT_EQ(RequestCount(*s_service, QStringLiteral("prop.getcomps")), 1);
}

TEST_F(MainWindow, WithoutMlsOnlyTaxRecordsAreSearched)
{
    TMainProfileFrm* main = Open();
    LogIn(QStringLiteral("nomls"), QStringLiteral("nomls"));
    ASSERT_TRUE(WaitUntil([] { return bool(CustomerFrm); }));
    AppState().County = AppState().Counties.Objects(0);
    main->SubProp->Values.apn = QStringLiteral("512-034-019");
    main->WMPropSearch();
    ASSERT_TRUE(WaitUntil([] { return AppState().PropFound; }));
    main->vxComps->PActive = 5;
    main->vxComps->PActiveUse = true;
    TCompsParamsFrm* f = ShowParams(main);
    EXPECT_EQ(f->rgSearchFor->Items(), QStringList{QStringLiteral("Tax")});
    EXPECT_EQ(f->rgSearchFor->ItemIndex(), 0);
    EXPECT_TRUE(f->cbUseActive->isHidden());
    EXPECT_TRUE(f->edPropPending->isHidden());
    EXPECT_EQ(f->edPropActive->Value(), 0);
    // Enter anywhere on the form starts one search.
    main->activateWindow();
    Press(f->edBedLow, Qt::Key_Return);
    ASSERT_TRUE(WaitUntil([] { return AppState().CompsFound; }));
    EXPECT_EQ(main->vxComps->SearchFor, 2);
    EXPECT_FALSE(main->vxComps->UseMls);
    EXPECT_FALSE(main->vxComps->PActiveUse);
    TApplication::ProcessMessages();
    EXPECT_EQ(RequestCount(*s_service, QStringLiteral("prop.getcomps")), 1);
}

TEST_F(MainWindow, NamedParameterSetsAreKeptInTheDataDirectory)
{
    TMainProfileFrm* main = OpenWithProperty();
    const QString file = AppState().DataDir + QStringLiteral("ss.xml");
    TCompsParamsFrm* f = ShowParams(main);
    EXPECT_EQ(f->cbParams->count(), 1);
    EXPECT_EQ(f->cbParams->itemText(0), QStringLiteral("DEFAULT"));
    EXPECT_FALSE(QFile::exists(file));

    f->edBathLow->SetFloatValue(1.5);
    f->edBathHigh->SetFloatValue(2.5);
    f->cbBathType->SetItemIndex(1);
    f->edDaysBack->SetValue(90);
    f->cbSearchType->SetItemIndex(f->cbSearchType->findText(QStringLiteral("Zip Code")));
    f->cbSearchTypeChange();
    NameAnswer(m_responder, QStringLiteral("Close comps"));
    f->BitBtn2Click();
    ASSERT_TRUE(QFile::exists(file));
    const QString text = ReadFile(file);
    EXPECT_TRUE(text.contains(QLatin1String("<vxp"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QLatin1String("comps.params"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QLatin1String("edBathLow = \"1.5\""))) << text.toStdString();
    EXPECT_TRUE(text.contains(QLatin1String("cbSearchType = \"2\""))) << text.toStdString();
    EXPECT_EQ(f->cbParams->count(), 2);
    EXPECT_EQ(f->cbParams->Text(), QStringLiteral("Close comps"));

    // A second set, with a name that needs escaping.
    f->edDaysBack->SetValue(45);
    NameAnswer(m_responder, QStringLiteral("Pool & <spa>"));
    f->BitBtn2Click();
    EXPECT_EQ(f->cbParams->count(), 3);
    // Saving again under the chosen name changes it in place.
    f->edDaysBack->SetValue(60);
    NameAnswer(m_responder, QStringLiteral("Pool & <spa>"));
    f->BitBtn2Click();
    EXPECT_EQ(f->cbParams->count(), 3);

    // An empty name is refused, as for the report page sets: a set under it
    // could be neither chosen nor deleted.
    const QString before = ReadFile(file);
    NameAnswer(m_responder, QString());
    f->BitBtn2Click();
    EXPECT_EQ(ReadFile(file), before);
    EXPECT_EQ(f->cbParams->count(), 3);

    // DEFAULT: the built-in values with the first type's layout.
    f->ApplyParams(QStringLiteral("DEFAULT"));
    EXPECT_EQ(f->edDaysBack->Value(), 30);
    EXPECT_EQ(f->cbBathType->ItemIndex(), 3);
    EXPECT_EQ(f->cbSearchType->ItemIndex(), 0);
    EXPECT_TRUE(f->gParams->isHidden());
    EXPECT_TRUE(f->cbUseSold->isChecked());
    EXPECT_EQ(f->edPropSold->Value(), 20);

    // The sets read back from the file in a new form.
    main->PropInfoForm->trigger();
    ASSERT_TRUE(WaitUntil([] { return !CompsParamsFrm; }));
    f = ShowParams(main);
    ASSERT_EQ(f->cbParams->count(), 3);
    EXPECT_EQ(f->cbParams->itemText(2), QStringLiteral("Pool & <spa>"));
    f->ApplyParams(QStringLiteral("Close comps"));
    EXPECT_DOUBLE_EQ(f->edBathLow->FloatValue(), 1.5);
    EXPECT_EQ(f->cbBathType->ItemIndex(), 1);
    EXPECT_EQ(f->edDaysBack->Value(), 90);
    EXPECT_EQ(f->cbSearchType->currentText(), QStringLiteral("Zip Code"));
    EXPECT_EQ(f->gParams->GetCellText(0, 1), QStringLiteral("93602"));
    f->ApplyParams(QStringLiteral("Pool & <spa>"));
    EXPECT_EQ(f->edDaysBack->Value(), 60);

    // Deleting DEFAULT asks twice and changes nothing.
    f->cbParams->SetItemIndex(0);
    m_responder.NextAnswer(mrYes);
    m_responder.NextAnswer(mrYes);
    const int shown = m_responder.Count(DialogRequest::Kind::Message);
    f->BitBtn3Click();
    EXPECT_EQ(m_responder.Count(DialogRequest::Kind::Message), shown + 2);
    EXPECT_EQ(f->cbParams->count(), 3);
    // Deleting a set removes it from the file and the list.
    f->cbParams->SetItemIndex(1);
    m_responder.NextAnswer(mrYes);
    m_responder.NextAnswer(mrYes);
    f->BitBtn3Click();
    EXPECT_EQ(m_responder.Shown().last().text,
              QStringLiteral("Remove the params named \"Close comps\" from the params list?"));
    EXPECT_EQ(f->cbParams->count(), 2);
    EXPECT_EQ(f->cbParams->ItemIndex(), -1);
    EXPECT_FALSE(ReadFile(file).contains(QLatin1String("Close comps")));
    EXPECT_TRUE(ReadFile(file).contains(QLatin1String("Pool &amp; &lt;spa>"))) << ReadFile(file).toStdString();
}

TEST_F(MainWindow, ParameterSetsReadEitherDecimalSeparator)
{
    TMainProfileFrm* main = OpenWithProperty();
    QFile file(AppState().DataDir + QStringLiteral("ss.xml"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<vxp><comps.params version=\"1.0\" UserID=\"0\" County=\"0\" LogEvent=\"N\">"
               "<params name=\"comma\" edBathLow=\"1,5\" edBathHigh=\"2.5\" cbBathType=\"1\" edArea=\"0,8\""
               " cbSearchType=\"77\" cbUseActive=\"Y\" edPropActive=\"4\" rgSearchFor=\"0\"/>"
               "</comps.params></vxp>");
    file.close();
    TCompsParamsFrm* f = ShowParams(main);
    f->cbSearchType->SetItemIndex(f->cbSearchType->findText(QStringLiteral("Same Tract")));
    f->cbSearchTypeChange();
    f->gParams->SetCellText(0, 1, QStringLiteral("typed"));
    ASSERT_EQ(f->cbParams->count(), 2);
    f->ApplyParams(QStringLiteral("comma"));
    EXPECT_DOUBLE_EQ(f->edBathLow->FloatValue(), 1.5);
    EXPECT_DOUBLE_EQ(f->edBathHigh->FloatValue(), 2.5);
    EXPECT_DOUBLE_EQ(f->edArea->FloatValue(), 0.8);
    // An unknown search type keeps the type; its list is laid out again.
    EXPECT_EQ(f->cbSearchType->currentText(), QStringLiteral("Same Tract"));
    EXPECT_EQ(f->gParams->GetCellText(0, 1), QStringLiteral("11872"));
    // With MLS access the set's statuses and search-for apply.
    EXPECT_TRUE(f->cbUseActive->isChecked());
    EXPECT_EQ(f->edPropActive->Value(), 4);
    EXPECT_EQ(main->vxComps->SearchFor, 0);
    EXPECT_EQ(f->rgSearchFor->ItemIndex(), 2);
    // An unknown name changes nothing.
    f->ApplyParams(QStringLiteral("missing"));
    EXPECT_DOUBLE_EQ(f->edBathLow->FloatValue(), 1.5);
}

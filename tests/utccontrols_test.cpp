// The automation's control commands on real controls: what each control
// shows afterwards, which of its handlers ran, and the result the driver gets.
#include "AutomationTesting.h"

#include "DialogPanel.h"
#include "IPAddressEditors.h"
#include "StrictVQControls.h"
#include "VQIPAddress.h"
#include "VQSpin.h"
#include "VQStdControls.h"

namespace {

using ControlCommands = TAutomationTest;

// A handler that appends "<Event>" to Log.
TNotifyEvent Note(QStringList &Log, const QString &Event) {
    return [&Log, Event](QObject *) { Log.append(Event); };
}

} // namespace

TEST_F(ControlCommands, EditSettersShowTheTextRunOnChangeAndTellWhetherItTook) {
    auto *ed = Add<TEdit>();
    ed->SetMaxLength(5);
    auto *strict = Add<TStrictEdit>();
    strict->SetEditorFilter(TEditorFilter("0123456789"));
    auto *labelled = Add<TLabeledEdit>("&Name");
    QStringList log;
    ed->OnChange = Note(log, "ed");
    ed->SetEnabled(false); // setters do not look at the enabled state
    struct {
        TEdit *Edit;
        QString Value;
        bool Took;
        QString Shows;
    } const cases[] = {
        {ed, "abc", true, "abc"},
        {ed, "abcdefg", false, "abcde"}, // cut to the maximum length
        {strict, "12a3", false, "123"},  // filtered
        {labelled->Edit, "Jane", true, "Jane"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(W().SetText(c.Edit, c.Value), c.Took) << c.Value.toStdString();
        EXPECT_EQ(c.Edit->Text(), c.Shows);
        EXPECT_EQ(W().GetText(c.Edit), c.Shows);
    }
    EXPECT_EQ(log, QStringList({"ed", "ed"}));
}

TEST_F(ControlCommands, AddressSettersTakeOnlyWhatTheControlShowsBack) {
    auto *edit = Add<TIPAddressEdit>();
    auto *ip = Add<TVQIPAddress>();
    auto *mask = Add<TVQIPMask>();
    int changes = 0;
    ip->OnChange = [&](QObject *) { ++changes; };

    EXPECT_FALSE(W().SetText(edit, "0")); // the address 0 shows empty
    EXPECT_TRUE(W().SetText(edit, "10.0.0.1"));
    EXPECT_EQ(RaisedMessage<EIPAddressEditorError>([&] { W().SetText(edit, "10.0.1"); }),
              "Invalid IP Address string format");
    EXPECT_EQ(edit->Text(), "10.0.0.1");

    EXPECT_TRUE(W().SetText(ip, "192.168.1.20"));
    EXPECT_FALSE(W().SetText(ip, "300.1.1.1")); // refused: the address stays
    EXPECT_EQ(ip->Text(), "192.168.1.20");
    EXPECT_EQ(changes, 1);

    EXPECT_TRUE(W().SetText(mask, "255.255.255.0"));
    EXPECT_EQ(mask->NML(), 24);
    EXPECT_FALSE(W().SetText(mask, "255.255.0")); // taken, but shown in full
    EXPECT_EQ(mask->Edit()->Text(), "255.255.0.0");
    EXPECT_EQ(mask->NML(), 16);
}

TEST_F(ControlCommands, ComboSetterSelectsTheItemOrSetsTheTextThenRunsTheThreeHandlers) {
    auto *list = Add<TComboBox>();
    auto *editable = Add<TComboBox>();
    editable->setEditable(true);
    auto *ex = Add<TComboBoxEx>();
    for (TComboBox *cb : {list, editable, static_cast<TComboBox *>(ex)})
        for (const char *country : {"United States", "Germany", "Japan"})
            cb->AddItem(country);
    QStringList log;
    for (TComboBox *cb : {list, editable, static_cast<TComboBox *>(ex)}) {
        cb->OnChange = Note(log, "Change");
        cb->OnClick = Note(log, "Click");
        cb->OnSelect = Note(log, "Select");
    }
    struct {
        TComboBox *Combo;
        QString Value;
        bool Took;
        QString Shows;
    } const cases[] = {
        {list, "germany", false, "Germany"}, // the list finds it; the text differs
        {list, "France", false, ""},        // not an item: a list selects nothing
        {editable, "France", true, "France"},
    };
    for (const auto &c : cases) {
        log.clear();
        EXPECT_EQ(W().SetText(c.Combo, c.Value), c.Took) << c.Value.toStdString();
        EXPECT_EQ(W().GetText(c.Combo), c.Shows);
        EXPECT_EQ(log, QStringList({"Change", "Click", "Select"}));
    }
    // The extended combo box takes what the lookup found, nothing included.
    EXPECT_TRUE(W().SetText(ex, "japan"));
    EXPECT_EQ(ex->ItemIndex(), 2);
    EXPECT_TRUE(W().SetText(ex, "France"));
    EXPECT_EQ(ex->ItemIndex(), -1);
    // A handler that moves the selection makes it fail.
    ex->OnSelect = [&](QObject *) { ex->SetItemIndex(0); };
    EXPECT_FALSE(W().SetText(ex, "Germany"));
}

TEST_F(ControlCommands, SpinSettersTakeDecimalNumbersWithinTheRange) {
    auto *vq = Add<TVQSpinEdit>();
    vq->SetMinMax(1, 10);
    auto *plain = Add<TSpinEdit>();
    plain->SetMinValue(1);
    plain->SetMaxValue(10);
    struct {
        QString Value;
        bool Took;
        QString Shows;
    } const cases[] = {
        {"10", true, "10"}, {"11", false, "10"}, {"-3", false, "1"}, {"+7", true, "7"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(W().SetText(vq, c.Value), c.Took) << c.Value.toStdString();
        EXPECT_EQ(vq->Edit()->text(), c.Shows);
        EXPECT_EQ(W().SetText(plain, c.Value), c.Took) << c.Value.toStdString();
        EXPECT_EQ(plain->text(), c.Shows);
    }
    // Text that is not a decimal number raises and leaves the controls as they were.
    for (const QString bad : {"12a", "", "0x10"}) {
        EXPECT_EQ(RaisedMessage<EConvertError>([&] { W().SetText(vq, bad); }),
                  QString("'%1' is not a valid integer value").arg(bad));
        EXPECT_THROW(W().SetText(plain, bad), EConvertError);
        EXPECT_EQ(vq->Edit()->text(), "7");
        EXPECT_EQ(plain->Value(), 7);
    }
}

TEST_F(ControlCommands, CheckBoxWordsCheckOnlyForTrueAndDisabledBoxesStayAsTheyAre) {
    auto *chb = Add<TCheckBox>("&Adjust");
    int clicks = 0;
    chb->OnClick = [&](QObject *) { ++clicks; };
    struct {
        QString Word;
        bool Checked;
        int Clicks;
    } const cases[] = {
        {"tRuE", true, 1}, {"1", false, 2}, {"TRUE", true, 3}, {"True ", false, 4},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(W(c.Word).DoCheckBox(chb), 0) << c.Word.toStdString();
        EXPECT_EQ(chb->Checked(), c.Checked) << c.Word.toStdString();
        EXPECT_EQ(clicks, c.Clicks) << c.Word.toStdString();
    }
    chb->SetEnabled(false);
    EXPECT_EQ(W("True").DoCheckBox(chb), -1);
    EXPECT_FALSE(chb->Checked());
    EXPECT_EQ(clicks, 4);
}

TEST_F(ControlCommands, RadioButtonIsSelectedUnlessDisabled) {
    auto *rb1 = Add<TRadioButton>("One");
    auto *rb2 = Add<TRadioButton>("Two");
    QStringList log;
    rb1->OnClick = Note(log, "rb1");
    rb2->OnClick = Note(log, "rb2");
    EXPECT_EQ(W().SelectRadioButton(rb1), 0);
    EXPECT_EQ(W().SelectRadioButton(rb2), 0);
    EXPECT_FALSE(rb1->Checked());
    EXPECT_EQ(W().SelectRadioButton(rb2), 0); // already selected: no click
    rb2->SetEnabled(false);
    EXPECT_EQ(W().SelectRadioButton(rb2), -1); // even in the asked state
    EXPECT_TRUE(rb2->Checked());
    EXPECT_EQ(log, QStringList({"rb1", "rb2"}));
}

TEST_F(ControlCommands, ListBoxSelectsTheItemP2NamesAndRunsItsClickHandler) {
    auto *other = Add<TEdit>();
    auto *lb = Add<TListBox>();
    lb->SetName("lbCodecs");
    for (const char *codec : {"G711", "G729", "G722"})
        lb->AddItem(codec);
    int clicks = 0;
    lb->OnClick = [&](QObject *) { ++clicks; };
    Show(other);
    EXPECT_FALSE(W("G999").SelectListBox(lb));
    EXPECT_EQ(Focus(), "lbCodecs"); // the list has the focus either way
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(W("g722").SelectListBox(lb));
    EXPECT_TRUE(W("G729").SelectListBox(lb));
    EXPECT_EQ(lb->selectedItems().size(), 1);
    EXPECT_EQ(lb->selectedItems().first()->text(), "G729");
    EXPECT_EQ(clicks, 2);
}

TEST_F(ControlCommands, ButtonsArePressedUnlessDisabledAndWindowFindersReportTheFormTheyOpened) {
    auto *other = Add<TEdit>();
    auto *btOpen = Add<TButton>("&Open");
    btOpen->SetName("btOpen");
    auto *btNothing = Add<TButton>("&Nothing");
    std::unique_ptr<TFormA> opened;
    QStringList log;
    btOpen->OnClick = [&](QObject *) {
        log.append("open");
        opened = std::make_unique<TFormA>();
        opened->show();
    };
    btNothing->OnClick = Note(log, "nothing");
    Show(other);

    EXPECT_EQ(W().SimpleButton(btNothing), 0);
    EXPECT_EQ(QApplication::focusWidget(), btNothing);
    EXPECT_EQ(W().WindowButton(btNothing, &TFormB::staticMetaObject), INVALID_HWND); // clicked, no such form
    const HWND handle = W().WindowButton(btOpen, &TFormA::staticMetaObject);
    ASSERT_TRUE(opened);
    EXPECT_EQ(handle, WindowHandle(opened.get()));
    EXPECT_EQ(FindWindowHandle(handle), opened.get());
    EXPECT_FALSE(btOpen->hasFocus()); // no focus change

    btOpen->SetEnabled(false);
    EXPECT_EQ(W().SimpleButton(btOpen), -1);
    EXPECT_EQ(W().WindowButton(btOpen, &TFormA::staticMetaObject), INVALID_HWND);
    EXPECT_EQ(log, QStringList({"nothing", "nothing", "open"}));
}

TEST_F(ControlCommands, DialogPanelAppliesWhenItCanAndClosesOnlyWithoutChanges) {
    auto *panel = Add<TDialogPanel>();
    QStringList log;
    bool refuse = true;
    panel->SetOnApply([&](QObject *) {
        log.append("apply");
        panel->SetChanged(refuse);
    });
    panel->OnCancel = Note(log, "cancel");
    panel->OnClose = Note(log, "close");

    EXPECT_EQ(W().ApplyDialogPanel(panel), -1); // nothing changed
    panel->SetChanged(true);
    EXPECT_EQ(W().ApplyDialogPanel(panel), -1); // the dialog refused: nothing applied
    EXPECT_EQ(W().CloseDialogPanel(panel), -1);
    refuse = false;
    EXPECT_EQ(W().ApplyDialogPanel(panel), 0);
    EXPECT_EQ(panel->btClose->Caption(), "&Close");
    EXPECT_EQ(W().CloseDialogPanel(panel), 0);
    EXPECT_EQ(log, QStringList({"apply", "apply", "close"}));
}

TEST_F(ControlCommands, ChildControlSearchSetsDeeperNamesTooButAnswersForTheDirectChild) {
    auto *outer = Add<TPanel>();
    (new QVBoxLayout(outer))->setContentsMargins(0, 0, 0, 0);
    auto *inner = new TPanel(outer);
    auto *deepEdit = new TEdit(inner);
    deepEdit->SetName("edUser");
    auto *edUser = new TEdit(outer);
    edUser->SetName("edUser");
    edUser->SetMaxLength(3);
    auto *chbLink = new TCheckBox(outer, "&Link");
    chbLink->SetName("chbLink");
    auto *labelled = new TLabeledEdit(outer, "&Domain");
    labelled->SetName("leDomain");
    auto *cbUser = new TComboBox(outer);
    cbUser->SetName("cbUser");

    // The deeper edit is set on the way, the direct child answers.
    EXPECT_FALSE(W().UTCSetChildControl(outer, "edUser", "admin"));
    EXPECT_EQ(deepEdit->Text(), "admin");
    EXPECT_EQ(edUser->Text(), "adm");
    EXPECT_TRUE(W().UTCSetChildControl(&Window, "edUser", "bob")); // here both are deeper
    EXPECT_EQ(edUser->Text(), "bob");

    EXPECT_EQ(RaisedMessage<EConvertError>([&] { W().UTCSetChildControl(outer, "chbLink", "yes"); }),
              "'yes' is not a valid boolean value");

    EXPECT_TRUE(W().UTCSetChildControl(outer, "leDomain", "example.com"));
    EXPECT_EQ(labelled->Text(), "example.com");
    // Other kinds and unknown names are passed over.
    EXPECT_TRUE(W().UTCSetChildControl(outer, "cbUser", "x"));
    EXPECT_TRUE(W().UTCSetChildControl(outer, "edNobody", "x"));
    EXPECT_EQ(cbUser->Text(), "");
}

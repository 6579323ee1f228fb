// The control utilities every frame uses: enabling a tree of controls with the
// colour rule and its registry, the read-only walk, where the focus is, and
// the drop-down list of profiles.

#include "ControlTesting.h"
#include "DPFrame.h"
#include "FakeHost.h"
#include "StrictVQControls.h"
#include "VQIPAddress.h"
#include "VQSpin.h"

#include <QSpinBox>

namespace {

template <class T>
T *Put(QWidget *Parent, const char *Name) {
    auto *control = new T(Parent);
    control->setObjectName(Name);
    if (!Parent->layout())
        new QVBoxLayout(Parent);
    Parent->layout()->addWidget(control);
    return control;
}

QColor Background(const QWidget *Control) { return Control->palette().color(QPalette::Base); }

class FrameControls : public TActiveWindow {
protected:
    void SetUp() override { RegisterColoredControlClasses(); }

    TFrame *frame = Add<TFrame>();
    TPanel *pnl = Put<TPanel>(frame, "pnl");
    TEdit *ed = Put<TEdit>(pnl, "ed");
    TStrictEdit *edStrict = Put<TStrictEdit>(pnl, "edStrict");
    TLabel *st = Put<TLabel>(pnl, "st");
    TPanel *pnlInner = Put<TPanel>(pnl, "pnlInner");
    TComboBox *cb = Put<TComboBox>(pnlInner, "cb");
    TCheckBox *chb = Put<TCheckBox>(pnlInner, "chb");
    TRadioButton *rb = Put<TRadioButton>(pnlInner, "rb");
    TVQSpinEdit *vqse = Put<TVQSpinEdit>(pnlInner, "vqse");
    TVQIPAddress *vqip = Put<TVQIPAddress>(pnlInner, "vqip");
    TVQIPMask *vqim = Put<TVQIPMask>(pnlInner, "vqim");
    QSpinBox *spin = Put<QSpinBox>(pnlInner, "spin");
    QColor windowColor = QApplication::palette().color(QPalette::Active, QPalette::Base);
};

TEST_F(FrameControls, EnablingATree) {
    vqse->SetReadOnly(true);
    EnableControlTree(pnl, false);
    for (QWidget *control : QList<QWidget *>{pnl, ed, st, pnlInner, cb, vqse, spin})
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    // Registered classes take their parent's colour; others keep theirs.
    EXPECT_EQ(Background(ed), pnl->palette().color(QPalette::Window));
    EXPECT_EQ(Background(cb), pnlInner->palette().color(QPalette::Window));
    EXPECT_EQ(Background(spin), pnlInner->palette().color(QPalette::Window));
    EXPECT_FALSE(edStrict->testAttribute(Qt::WA_SetPalette));

    // Never enabled inside a disabled parent.
    EnableControlTree(pnlInner, true);
    EXPECT_TRUE(pnlInner->testAttribute(Qt::WA_ForceDisabled));
    EXPECT_EQ(Background(cb), pnlInner->palette().color(QPalette::Window));

    EnableControlTree(pnl, true);
    for (QWidget *control : QList<QWidget *>{pnl, ed, st, pnlInner, cb, vqse, spin})
        EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();
    EXPECT_EQ(Background(ed), windowColor);
    EXPECT_EQ(Background(vqse), windowColor);
    // The read-only spin edit's buttons stay as the spin edit keeps them.
    EXPECT_FALSE(vqse->UpDown()->isEnabled());

    EnableControls({ed, st}, false);
    EXPECT_EQ(QList<bool>({ed->isEnabled(), st->isEnabled(), cb->isEnabled()}), QList<bool>({false, false, true}));
    EXPECT_EQ(Background(ed), pnl->palette().color(QPalette::Window));
    ShowControls({cb, chb}, false);
    EXPECT_EQ(QList<bool>({cb->isHidden(), chb->isHidden(), rb->isHidden()}), QList<bool>({true, true, false}));
}

TEST_F(FrameControls, TheReadOnlyWalk) {
    ed->setText("typed");
    Show(ed);
    SetControlsReadOnly(frame, true);
    ed->end(false);
    Type("x");
    EXPECT_EQ(ed->text(), "typed");
    const struct {
        QWidget *control;
        bool locked;
    } rows[] = {
        {edStrict, edStrict->isReadOnly()}, {cb, !cb->isEnabled()},  {chb, !chb->isEnabled()},
        {rb, !rb->isEnabled()},             {vqse, vqse->ReadOnly()}, {vqip, vqip->ReadOnly()},
        {vqim, vqim->ReadOnly()},           {spin, spin->isReadOnly()},
    };
    for (const auto &row : rows)
        EXPECT_TRUE(row.locked) << row.control->objectName().toStdString();
    EXPECT_FALSE(vqse->UpDown()->isEnabled());
    EXPECT_FALSE(vqim->UpDown()->isEnabled());
    EXPECT_TRUE(st->isEnabled() && pnlInner->isEnabled());
    // A rule that enables a button again leaves it read-only: a click changes nothing.
    rb->setEnabled(true);
    QTest::mouseClick(rb, Qt::LeftButton, {}, QPoint(4, rb->height() / 2));
    EXPECT_FALSE(rb->isChecked());
    ed->setFocus();

    SetControlsReadOnly(frame, false);
    Type("x");
    EXPECT_EQ(ed->text(), "typedx");
    EXPECT_EQ(QList<bool>({cb->isEnabled(), chb->isEnabled(), vqse->ReadOnly(), vqip->ReadOnly(), spin->isReadOnly()}),
              QList<bool>({true, true, false, false, false}));
    EXPECT_TRUE(vqse->UpDown()->isEnabled());
}

TEST_F(FrameControls, TheListOfProfiles) {
    TFakeProfile alpha, beta, gamma;
    int64_t id = 10;
    for (auto [profile, name] : {std::pair(&beta, "beta"), std::pair(&alpha, "Alpha"), std::pair(&gamma, "gamma")}) {
        profile->ProfileID = id++;
        profile->Name = TdpNameString::From(QString::fromLatin1(name));
    }
    TFakeProfileList list;
    list.Items = {&beta, &alpha, &gamma};
    EXPECT_EQ(FindProfileIndex(&list, 11), 1);
    EXPECT_EQ(FindProfileIndex(&list, 9), -1);
    EXPECT_EQ(FindProfileIndex(nullptr, 10), -1);

    const auto items = [&] {
        QStringList names;
        for (int i = 0; i < cb->count(); ++i)
            names.append(cb->itemText(i));
        return names;
    };
    cb->AddItem("stale");
    FillProfileItems(&list, cb, true);
    EXPECT_EQ(items(), QStringList({"Alpha", "beta", "gamma"}));
    EXPECT_EQ(cb->currentIndex(), -1);
    EXPECT_EQ(FindProfileItem(cb, 10), 1);
    EXPECT_EQ(FindProfileItem(cb, 13), -1);
    EXPECT_EQ(GetProfileItem(cb, 1), &beta);
    EXPECT_EQ(GetProfileItem(cb, 3), nullptr);
    FillProfileItems(&list, cb, false);
    EXPECT_EQ(items(), QStringList({"beta", "Alpha", "gamma"}));
    EXPECT_EQ(GetProfileItem(cb, FindProfileItem(cb, 12)), &gamma);
    FillProfileItems(nullptr, cb, true);
    EXPECT_EQ(cb->count(), 0);
    EXPECT_EQ(alpha.Refs + beta.Refs + gamma.Refs + list.Refs, 0);
}

} // namespace

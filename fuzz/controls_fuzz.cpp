// Drives the input controls with arbitrary key sequences, input-method texts,
// drops, clipboard contents, program writes and property changes, and checks
// that they keep their invariants; also feeds TIPAddressEdit's text parser.
#include "IPAddressEditors.h"
#include "StrictVQControls.h"
#include "VQIPAddress.h"
#include "VQMaskEdit.h"
#include "VQSpin.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QTest>
#include <QVBoxLayout>

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const Qt::Key Keys[] = {
    Qt::Key_0, Qt::Key_1, Qt::Key_2, Qt::Key_3, Qt::Key_4, Qt::Key_5,
    Qt::Key_6, Qt::Key_7, Qt::Key_8, Qt::Key_9, Qt::Key_A, Qt::Key_F,
    Qt::Key_G, Qt::Key_Q, Qt::Key_C, Qt::Key_V, Qt::Key_X, Qt::Key_Z,
    Qt::Key_Period, Qt::Key_Colon, Qt::Key_Slash, Qt::Key_Minus, Qt::Key_Space, Qt::Key_Comma,
    Qt::Key_Dollar, Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Left, Qt::Key_Right, Qt::Key_Home,
    Qt::Key_End, Qt::Key_Up, Qt::Key_Down, Qt::Key_Return, Qt::Key_Escape, Qt::Key_Tab,
    Qt::Key_Backtab, Qt::Key_F2, Qt::Key_Insert, Qt::Key_Shift, Qt::Key_Control,
};
const Qt::KeyboardModifiers Modifiers[] = {Qt::NoModifier,  Qt::NoModifier, Qt::ShiftModifier,
                                           Qt::ControlModifier, Qt::AltModifier, Qt::ControlModifier | Qt::AltModifier,
                                           Qt::KeypadModifier};

// Up to 24 bytes, read as UTF-8 or as Latin-1.
QString Text(FuzzedDataProvider &In) {
    const std::string text = In.ConsumeRandomLengthString(24);
    return In.ConsumeBool() ? QString::fromStdString(text) : QString::fromLatin1(text.data(), qsizetype(text.size()));
}

// Stops the run where an invariant does not hold, naming its line.
void Require(bool Holds, unsigned Line = __builtin_LINE()) {
    if (Holds)
        return;
    std::fprintf(stderr, "the invariant of line %u does not hold\n", Line);
    std::abort();
}

// Characters that no user input may add to a control's text.
int Foreign(const QString &Text, const char *Admitted) {
    return int(std::count_if(Text.begin(), Text.end(), [Admitted](QChar c) {
        return c.unicode() > 127 || !std::strchr(Admitted, char(c.unicode()));
    }));
}

struct TControls {
    QWidget Window;
    TVQIPAddress *IP = new TVQIPAddress(&Window);
    TVQIPMask *Mask = new TVQIPMask(&Window);
    TIPAddressEdit *Edit = new TIPAddressEdit(&Window);
    TVQSpinEdit *Spin = new TVQSpinEdit(&Window);
    TStrictEdit *Strict = new TStrictEdit(&Window);
    TVQMaskEdit *MaskEdit = new TVQMaskEdit(&Window);
    QWidget *const All[6] = {IP, Mask, Edit, Spin, Strict, MaskEdit};

    TControls() {
        auto *layout = new QVBoxLayout(&Window);
        for (QWidget *control : All)
            layout->addWidget(control);
        Strict->SetEditorFilter(TEditorFilter("ABCabc012.-"));
        Strict->SetUppercased(TEditorFilter("abc"));
        MaskEdit->SetEditMask("AA\\-AA\\-AA\\-AA\\-AA\\-AA;1;_");
        Mask->OnInvalidMaskChange = [](QObject *, uint32_t, uint32_t NewMask) {
            Require(!NewMask || IsValidMask(NewMask) || NewMask == 0xFFFFFFFFu);
        };
        Window.show();
        Window.activateWindow();
        (void)QTest::qWaitForWindowActive(&Window); // the offscreen platform activates at once
    }

    // Characters of the filtered edits' texts that their filters refuse.
    int ForeignChars() const {
        int count = Foreign(Spin->Edit()->text(), "0123456789-");
        for (int i = 0; i < IP->FieldCount(); ++i)
            count += Foreign(IP->Field(i)->text(), "0123456789ABCDEF");
        for (int i = 0; i < 4; ++i)
            count += Foreign(Edit->Triplet(i)->text(), "0123456789");
        return count;
    }

    // After a range write the spin edit shows the value it holds (an empty edit holds 0).
    void CheckSpinShowsValue() const {
        const QString text = Spin->Edit()->text();
        bool ok = false;
        const int shown = text.toInt(&ok);
        Require((text.isEmpty() && Spin->Value() == 0) ||
                (ok && Foreign(text, "0123456789-") == 0 && shown == Spin->Value()));
    }

    void Check() const {
        // The spin edit reads within its range unless its text is empty.
        Require(Spin->Edit()->text().isEmpty() ||
                (Spin->Value() >= Spin->MinValue() && Spin->Value() <= std::max(Spin->MinValue(), Spin->MaxValue())));
        // A strict edit never holds a character its filter refuses.
        for (QChar c : Strict->Text())
            Require(Strict->EditorFilter().Contains(c));
        Require(Mask->NML() >= Mask->MinNML() || Mask->MinNML() > Mask->MaxNML());
        for (int i = 0; i < IP->FieldCount(); ++i)
            Require(IP->Field(i)->text().size() <= IP->Field(i)->maxLength());
        IP->IsValidText(false);
        Mask->IsValidText(true);
        (void)Edit->Text();
    }
};

// Where a user's input goes: the focused control, else one picked.
QWidget *Target(TControls &c, FuzzedDataProvider &in) {
    QWidget *target = QApplication::focusWidget();
    return target && c.Window.isAncestorOf(target) ? target : in.PickValueInArray(c.All);
}

// Each step is a user's input (true) or a program's write (false).
bool Step(TControls &c, FuzzedDataProvider &in) {
    switch (in.ConsumeIntegralInRange(0, 11)) {
    case 0: // keys, most often
    case 1:
    case 2: {
        QWidget *target = Target(c, in);
        QTest::keyClick(target, in.PickValueInArray(Keys), in.PickValueInArray(Modifiers));
        return true;
    }
    case 10: { // an input method's text where the focus is
        QInputMethodEvent event;
        event.setCommitString(Text(in));
        QApplication::sendEvent(Target(c, in), &event);
        return true;
    }
    case 11: { // text dropped on one of the line edits
        const QString text = Text(in);
        QLineEdit *const edits[] = {c.IP->Field(in.ConsumeIntegralInRange(0, 7)), c.Edit->Triplet(in.ConsumeIntegralInRange(0, 3)),
                                    c.Spin->Edit(), c.Strict, c.MaskEdit};
        QLineEdit *edit = in.PickValueInArray(edits);
        const QPoint at(in.ConsumeIntegral<uint8_t>() % (edit->width() + 1), edit->height() / 2);
        if (!edit->isVisibleTo(&c.Window) || !edit->acceptDrops())
            return true;
        QMimeData data;
        data.setText(text);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(edit, &enter);
        if (enter.isAccepted()) {
            QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(edit, &drop);
        }
        return true;
    }
    case 3: QGuiApplication::clipboard()->setText(Text(in)); return true;
    case 4: in.PickValueInArray(c.All)->setFocus(); return true;
    case 5: {
        const QString text = Text(in);
        switch (in.ConsumeIntegralInRange(0, 5)) {
        case 0: c.IP->SetText(ToAnsi(text)); break;
        case 1: c.Mask->Edit()->SetText(ToAnsi(text)); break;
        case 2: c.Spin->Edit()->setText(text); break;
        case 3: c.Strict->SetText(text); break;
        case 4: c.MaskEdit->SetText(text); break;
        default:
            try {
                c.Edit->SetText(text);
            } catch (const EIPAddressEditorError &) {
            }
        }
        return false;
    }
    case 6:
        switch (in.ConsumeIntegralInRange(0, 7)) {
        case 0: c.IP->SetIPVersion(in.ConsumeBool() ? ivIPv6 : ivIPv4); break;
        case 1: c.IP->SetShortMask(in.ConsumeBool()); break;
        case 2: c.IP->SetNullAsEmpty(in.ConsumeBool()); break;
        case 3: c.IP->SetReadOnly(in.ConsumeBool()); break;
        case 4: {
            const std::pair range(c.Spin->MinValue(), c.Spin->MaxValue());
            c.Spin->SetMinMax(in.ConsumeIntegralInRange(-1999, 1999), in.ConsumeIntegral<int32_t>());
            if (std::pair(c.Spin->MinValue(), c.Spin->MaxValue()) != range)
                c.CheckSpinShowsValue();
            break;
        }
        case 5:
            c.Spin->SetIncrement(in.ConsumeIntegralInRange<int16_t>(-3, 3));
            c.Spin->SetWrap(in.ConsumeBool());
            break;
        case 6:
            try {
                c.Mask->SetMinNML(in.ConsumeIntegralInRange(-4, 35));
                c.Mask->SetMaxNML(in.ConsumeIntegralInRange(-4, 35));
            } catch (const Exception &) {
            }
            c.Mask->SetNML(in.ConsumeIntegralInRange(-4, 35));
            break;
        default: c.Edit->SetIPEditOptions(TIPEditOptions::fromInt(in.ConsumeIntegralInRange(0, 7))); break;
        }
        return false;
    case 7:
        if (in.ConsumeBool())
            c.IP->Field(in.ConsumeIntegralInRange(0, c.IP->FieldCount() - 1))->setText(Text(in));
        else
            c.Edit->Triplet(in.ConsumeIntegralInRange(0, 3))->setText(Text(in));
        return false;
    case 8: c.Spin->SetValue(in.ConsumeIntegral<int32_t>()); return false;
    default: in.ConsumeBool() ? c.IP->CutToClipboard() : c.IP->PasteFromClipboard(); return true;
    }
}

} // namespace

// Font lookups keep fontconfig's caches for the life of the process.
extern "C" const char *__lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size) {
    FuzzedDataProvider in(Data, Size);
    try {
        TIPAddressEdit::StrToIP(Text(in));
    } catch (const EIPAddressEditorError &) {
    }
    // Fresh controls for every input, so that an input alone shows what it finds.
    TControls controls;
    QCoreApplication::processEvents();
    for (int steps = 0; in.remaining_bytes() && steps < 64; ++steps) {
        const int foreign = controls.ForeignChars();
        // No user input gets a character past a filter.
        if (Step(controls, in))
            Require(controls.ForeignChars() <= foreign);
        controls.Check();
    }
    // Paints and the other posted work run as they would between a user's actions.
    QCoreApplication::processEvents();
    return 0;
}

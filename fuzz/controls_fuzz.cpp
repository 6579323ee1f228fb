// Drives the input controls with arbitrary key sequences, clipboard contents,
// program writes and property changes, and checks that they keep their
// invariants; also feeds TIPAddressEdit's text parser.
#include "IPAddressEditors.h"
#include "StrictVQControls.h"
#include "VQIPAddress.h"
#include "VQMaskEdit.h"
#include "VQSpin.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <QVBoxLayout>

#include <cstdint>
#include <cstdlib>

namespace {

class TInput {
public:
    TInput(const uint8_t *Data, size_t Size) : FData(Data), FSize(Size) {}
    bool Empty() const { return FPos >= FSize; }
    uint8_t Byte() { return Empty() ? 0 : FData[FPos++]; }
    int32_t Int() {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value = value << 8 | Byte();
        return int32_t(value);
    }
    QString Text() {
        const size_t length = std::min<size_t>(Byte() % 24, FSize - std::min(FPos, FSize));
        const auto *start = reinterpret_cast<const char *>(FData + FPos);
        FPos += length;
        return (length && start[0] & 1) ? QString::fromUtf8(start, qsizetype(length))
                                        : QString::fromLatin1(start, qsizetype(length));
    }

private:
    const uint8_t *FData;
    size_t FSize;
    size_t FPos = 0;
};

const Qt::Key Keys[] = {
    Qt::Key_0,      Qt::Key_1,     Qt::Key_2,     Qt::Key_5,         Qt::Key_9,       Qt::Key_A,
    Qt::Key_F,      Qt::Key_G,     Qt::Key_Q,     Qt::Key_C,         Qt::Key_V,       Qt::Key_X,
    Qt::Key_Z,      Qt::Key_Period, Qt::Key_Colon, Qt::Key_Slash,    Qt::Key_Minus,   Qt::Key_Space,
    Qt::Key_Comma,  Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Left, Qt::Key_Right,   Qt::Key_Home,
    Qt::Key_End,    Qt::Key_Up,    Qt::Key_Down,  Qt::Key_Return,    Qt::Key_Escape,  Qt::Key_Tab,
    Qt::Key_Backtab, Qt::Key_F2,   Qt::Key_Insert, Qt::Key_Dollar,   Qt::Key_Shift,   Qt::Key_Control,
};
const Qt::KeyboardModifiers Modifiers[] = {Qt::NoModifier, Qt::NoModifier, Qt::ShiftModifier, Qt::ControlModifier,
                                           Qt::AltModifier, Qt::KeypadModifier};

struct TControls {
    QWidget Window;
    TVQIPAddress *IP;
    TVQIPMask *Mask;
    TIPAddressEdit *Edit;
    TVQSpinEdit *Spin;
    TStrictEdit *Strict;
    TVQMaskEdit *MaskEdit;

    TControls() {
        auto *layout = new QVBoxLayout(&Window);
        layout->addWidget(IP = new TVQIPAddress(&Window));
        layout->addWidget(Mask = new TVQIPMask(&Window));
        layout->addWidget(Edit = new TIPAddressEdit(&Window));
        layout->addWidget(Spin = new TVQSpinEdit(&Window));
        layout->addWidget(Strict = new TStrictEdit(&Window));
        layout->addWidget(MaskEdit = new TVQMaskEdit(&Window));
        Strict->SetEditorFilter(TEditorFilter("ABCabc012.-"));
        Strict->SetUppercased(TEditorFilter("abc"));
        MaskEdit->SetEditMask("AA\\-AA\\-AA\\-AA\\-AA\\-AA;1;_");
        Mask->OnInvalidMaskChange = [](QObject *, uint32_t, uint32_t NewMask) {
            if (NewMask && !IsValidMask(NewMask) && NewMask != 0xFFFFFFFFu)
                std::abort();
        };
        Window.show();
        Window.activateWindow();
        QTest::qWaitForWindowActive(&Window);
    }

    QWidget *Control(uint8_t Index) {
        QWidget *all[] = {IP, Mask, Edit, Spin, Strict, MaskEdit};
        return all[Index % 6];
    }

    void Check() const {
        // The spin edit reads within its range unless its text is empty.
        if (Spin->MinValue() <= Spin->MaxValue() && !Spin->Edit()->text().isEmpty() &&
            (Spin->Value() < Spin->MinValue() || Spin->Value() > Spin->MaxValue()))
            std::abort();
        // A strict edit never holds a character its filter refuses.
        for (QChar c : Strict->Text())
            if (!Strict->EditorFilter().Contains(c))
                std::abort();
        if (Mask->NML() < Mask->MinNML() && Mask->MinNML() <= Mask->MaxNML())
            std::abort();
        for (int i = 0; i < IP->FieldCount(); ++i)
            if (IP->Field(i)->text().size() > IP->Field(i)->maxLength())
                std::abort();
        IP->IsValidText(false);
        Mask->IsValidText(true);
        (void)Edit->Text();
    }
};

void Step(TControls &c, TInput &in) {
    switch (in.Byte() % 10) {
    case 0:
    case 1:
    case 2: {
        QWidget *target = QApplication::focusWidget();
        if (!target || !c.Window.isAncestorOf(target))
            target = c.Control(in.Byte());
        QTest::keyClick(target, Keys[in.Byte() % std::size(Keys)], Modifiers[in.Byte() % std::size(Modifiers)]);
        break;
    }
    case 3:
        QGuiApplication::clipboard()->setText(in.Text());
        break;
    case 4:
        c.Control(in.Byte())->setFocus();
        break;
    case 5: {
        const QString text = in.Text();
        switch (in.Byte() % 6) {
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
        break;
    }
    case 6:
        switch (in.Byte() % 8) {
        case 0: c.IP->SetIPVersion(in.Byte() & 1 ? ivIPv6 : ivIPv4); break;
        case 1: c.IP->SetShortMask(in.Byte() & 1); break;
        case 2: c.IP->SetNullAsEmpty(in.Byte() & 1); break;
        case 3: c.IP->SetReadOnly(in.Byte() & 1); break;
        case 4: c.Spin->SetMinMax(in.Int() % 2000, in.Int()); break;
        case 5:
            c.Spin->SetIncrement(int16_t(in.Byte() % 7 - 3));
            c.Spin->SetWrap(in.Byte() & 1);
            break;
        case 6:
            try {
                c.Mask->SetMinNML(in.Byte() % 40 - 4);
                c.Mask->SetMaxNML(in.Byte() % 40 - 4);
            } catch (const Exception &) {
            }
            c.Mask->SetNML(in.Byte() % 40 - 4);
            break;
        default: c.Edit->SetIPEditOptions(TIPEditOptions::fromInt(in.Byte() & 7)); break;
        }
        break;
    case 7: {
        const uint8_t field = in.Byte();
        if (field % 2)
            c.IP->Field(field / 2 % c.IP->FieldCount())->setText(in.Text());
        else
            c.Edit->Triplet(field / 2 % 4)->setText(in.Text());
        break;
    }
    case 8:
        c.Spin->SetValue(in.Int());
        break;
    default:
        if (in.Byte() & 1)
            c.IP->CutToClipboard();
        else
            c.IP->PasteFromClipboard();
    }
}

} // namespace

// Font lookups keep fontconfig's caches for the life of the process.
extern "C" const char *__lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace {
TControls *Controls = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(*argc, *argv);
    Controls = new TControls;
    QCoreApplication::processEvents();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size) {
    TControls &controls = *Controls;
    TInput in(Data, Size);
    try {
        TIPAddressEdit::StrToIP(in.Text());
    } catch (const EIPAddressEditorError &) {
    }
    for (int steps = 0; !in.Empty() && steps < 64; ++steps) {
        Step(controls, in);
        controls.Check();
    }
    // Paints and the other posted work run as they would between a user's actions.
    QCoreApplication::processEvents();
    return 0;
}

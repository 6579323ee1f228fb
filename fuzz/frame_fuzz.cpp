// Drives a shown frame as a user and a host would: arbitrary keys in its
// edits and address fields, clicks, applies, renames, new shows and hides. After
// every step the container must show the proxy's current finding, must have
// heard each change of the modified state once, and an apply must succeed
// exactly when the object has no error.
#include "FakeHost.h"
#include "SettingsFrame.h"
#include "VQIPAddress.h"

#include <QApplication>
#include <QTest>
#include <QVBoxLayout>

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

namespace {

const char *const Profiles[] = {
    "IPComm{DHCP=true}",
    "IPComm{DHCP=false}",
    "IPComm{DHCP=false} IPSettings{SubnetMask=4294967040u Gateway=3232235777u NTP=\"10.0.0.1\"}",
    R"(Section{Value="unclosed)",
};

const Qt::Key Keys[] = {Qt::Key_0,     Qt::Key_1,    Qt::Key_2,      Qt::Key_5,     Qt::Key_9,    Qt::Key_A,
                        Qt::Key_Z,     Qt::Key_Period, Qt::Key_Minus, Qt::Key_Exclam, Qt::Key_Space, Qt::Key_Backspace,
                        Qt::Key_Delete, Qt::Key_Left, Qt::Key_Right,  Qt::Key_Up,    Qt::Key_Down, Qt::Key_Tab,
                        Qt::Key_Backtab, Qt::Key_Home, Qt::Key_End};

void Require(bool Holds) {
    if (!Holds)
        std::abort();
}

// The line the fake container writes for the proxy's current finding.
std::string ConflictLine(TPluginObjectProxy &Proxy) {
    Proxy.Validate();
    const TDeviceConflict &conflict = Proxy.Conflict();
    TFakeServant expected;
    bool external = false;
    auto &conflicts = static_cast<TExtPluginObjectProxy &>(Proxy).ExternalConflicts();
    for (int i = 0; i < conflicts.Count(); ++i)
        external = external || conflicts.getItem(i)->Equals(conflict);
    expected.ShowConflict(TConflictLevel(conflict.Level), external, conflict.Message.c_str());
    return expected.Heard.back();
}

// One frame in an active window, shown anew by every run.
struct TSession {
    QWidget Window;
    TFakeServant Container;
    TFakeProfile Profile;
    std::unique_ptr<TPluginFrame> Owned = TSettingsFrame::Class().Create(&Window, &Container, nullptr);
    TSettingsFrame *Frame = static_cast<TSettingsFrame *>(Owned.get());
    QList<QWidget *> Fields;
    // What the container heard last.
    bool Modified = false;
    std::string Conflict;

    TSession() {
        (new QVBoxLayout(&Window))->addWidget(Frame);
        Window.show();
        Window.activateWindow();
        (void)QTest::qWaitForWindowActive(&Window); // the offscreen platform activates at once
        Fields.append(Frame->Control<TEdit>("edDomain"));
        Fields.append(Frame->Control<TCheckBox>("chbDHCP"));
        for (const char *name : {"vqipGateway", "vqipNTP"})
            for (int i = 0; i < 4; ++i)
                Fields.append(Frame->Control<TVQIPAddress>(name)->Field(i));
        for (int i = 0; i < 4; ++i)
            Fields.append(Frame->Control<TVQIPMask>("vqimMask")->Edit()->Field(i));
    }

    // The container heard each change of the modified state once, and it
    // shows the proxy's current finding.
    void Check() {
        for (const std::string &line : Container.Heard) {
            if (line.rfind("conflict ", 0) == 0) {
                Conflict = line;
                continue;
            }
            const bool value = line == "modified true";
            Require(value != Modified);
            Modified = value;
        }
        Container.Heard.clear();
        Require(Conflict == ConflictLine(Frame->PluginObjectProxy()));
    }

    void Show(FuzzedDataProvider &In) {
        Profile.CustomData = In.PickValueInArray(Profiles);
        const bool creating = In.ConsumeBool();
        Require(Frame->ShowProfile(&Profile, creating ? TPluginFrameFlags{pffCreating} : TPluginFrameFlags{}));
        // Before them, what the focused control's exit told about the object hidden.
        const std::size_t n = Container.Heard.size();
        Require(n >= 2 && Container.Heard[n - 2] == (creating ? "modified true" : "modified false"));
        Modified = creating;
        Conflict = Container.Heard[n - 1];
        Container.Heard.clear();
        Require(Conflict == ConflictLine(Frame->PluginObjectProxy()));
    }

    void Run(FuzzedDataProvider &In) {
        while (In.remaining_bytes() > 0)
            Step(In);
        if (Frame->Displaying())
            Frame->HideProfile();
        Profile = TFakeProfile();
        Container.Heard.clear();
    }

    void Step(FuzzedDataProvider &In) {
        if (!Frame->Displaying()) {
            Show(In);
            return;
        }
        const bool before = Modified;
        switch (In.ConsumeIntegralInRange(0, 9)) {
        case 0: {
            const bool force = In.ConsumeBool();
            const bool valid = Frame->PluginObjectProxy().Validate() != dclError;
            Require(Frame->ApplyChanges(force) == (valid || force));
            Check();
            Require(!(valid || force) || !Modified);
            return;
        }
        case 1: {
            const TAnsiStringRef name{In.ConsumeRandomLengthString(40)};
            intptr_t result = 0;
            Require(Frame->ProcessRequest(frqProfileName, reinterpret_cast<uintptr_t>(&name), result));
            Check();
            Require(Modified == before);
            return;
        }
        case 2:
            Show(In);
            return;
        case 3:
            Frame->HideProfile();
            Container.Heard.clear();
            return;
        default:
            Fields[In.ConsumeIntegralInRange<qsizetype>(0, Fields.size() - 1)]->setFocus();
            for (int n = In.ConsumeIntegralInRange(1, 6); n > 0; --n) {
                const Qt::Key key = In.PickValueInArray(Keys);
                const Qt::KeyboardModifier modifier = In.ConsumeBool() ? Qt::NoModifier : Qt::ShiftModifier;
                if (QWidget *focus = QApplication::focusWidget())
                    QTest::keyClick(focus, key, modifier);
            }
            Check();
        }
    }
};

TSession *Session = nullptr;

} // namespace

// Font lookups keep fontconfig's caches for the life of the process.
extern "C" const char *__lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(*argc, *argv);
    SetMessageBoxHandler([](const TMessageBoxRequest &) { return QMessageBox::Ok; });
    SetBeepHandler([] {});
    Session = new TSession;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size) {
    FuzzedDataProvider in(Data, Size);
    Session->Run(in);
    return 0;
}

#pragma once
// Helpers for the automation tests: a command block with its parameters as
// the host fills them.

#include "ControlTesting.h"
#include "TestForms.h"
#include "UTCFormWrapper.h"

// A command as the host sends it: 8-bit texts, a command block, an optional event.
struct TCommand {
    UTCData Data{};
    AnsiString Name, P2, P3;
    cparm Params{};

    explicit TCommand(UTC2UICommand Kind, const QString &CommandName = {}, const QString &Arg2 = {},
                      const QString &Arg3 = {})
        : Name(ToAnsi(CommandName)), P2(ToAnsi(Arg2)), P3(ToAnsi(Arg3)) {
        Data.command = Kind;
        Params = {0, Name.c_str(), P2.c_str(), P3.c_str()};
    }
    TCommand(const TCommand &) = delete;
    TCommand &operator=(const TCommand &) = delete;
    // Hands the block and the parameters to the wrapper; returns it for chaining.
    template <class W>
    W &To(W &Wrapper) {
        Wrapper.SetParams(&Data, &Params);
        return Wrapper;
    }
};

// A window to put controls on, and a wrapper that acts on them.
class TAutomationTest : public TActiveWindow {
protected:
    // The wrapper, given a command with p2 and p3 as the host would pass them.
    TUTCGenericWrapper &W(const QString &Arg2 = {}, const QString &Arg3 = {}) {
        FCommand = std::make_unique<TCommand>(utc_set, QString(), Arg2, Arg3);
        return FCommand->To(FWrapper);
    }

private:
    TUTCGenericWrapper FWrapper;
    std::unique_ptr<TCommand> FCommand;
};

#pragma once
// The host's side of an automation command: the target window, the wrapper
// made over it, the operation of the command's kind, the result copied into
// the command block and its event signalled.

#include "UTCFormWrapper.h"
#include "UTCProtocol.h"

#include <QStringList>

class QWidget;

// The window a command's wid names: 0 the active one (the open dialog, else
// MainWindow), otherwise the open form with that handle; none when none.
QWidget *TargetWindow(int32_t Wid, QWidget *MainWindow);

// Runs Block's command on the wrapper the host's manager makes for the window
// Params.wid names.
void RunUTCCommand(TUTCCommandBlock &Block, const cparm &Params, QWidget *MainWindow);
// Runs it on Wrapper (none: utoNoTarget): SetParams, the operation, the result
// into the block unless the wrapper has fired, FireEvent. A form of the class
// a modal operation waits for gets its handle to the command when it opens.
// The block's event is signalled once in every case.
void RunUTCCommandOn(TUTCCommandBlock &Block, const cparm &Params, std::unique_ptr<TUTCGenericWrapper> Wrapper);

// Runs a command of Kind with the texts on Wrapper (none: no wrapper), with
// no event; the result as UTCResultText gives it.
QString RunUTCText(UTC2UICommand Kind, const QStringList &Texts, std::unique_ptr<TUTCGenericWrapper> Wrapper);


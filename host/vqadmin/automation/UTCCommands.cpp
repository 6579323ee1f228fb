#include "UTCCommands.h"

#include "SysUtils.h"
#include "WrapperManager.h"

#include <QApplication>
#include <QDialog>
#include <QStringList>

#include <algorithm>
#include <cstring>

#include <sys/eventfd.h>

namespace {

// While a command runs, hands the form a modal operation waits for to the
// waiting wrapper as soon as the form shows, and empties the slot.
class TModalFormWatcher final : public QObject {
public:
    TModalFormWatcher() { qApp->installEventFilter(this); }
    ~TModalFormWatcher() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject *Watched, QEvent *Event) override {
        if (Event->type() != QEvent::Show || !Watched->isWidgetType())
            return false;
        auto *form = static_cast<QWidget *>(Watched);
        const TModalFormWaiter *waiter = ModalFormWaiter();
        if (waiter && IsForm(form) && form->metaObject()->inherits(waiter->FormClass)) {
            const std::unique_ptr<TModalFormWaiter> taken = TakeModalFormWaiter();
            taken->Wrapper->SetResult(int32_t(WindowHandle(form)));
            taken->Wrapper->FireEvent();
        }
        return false;
    }
};

void Signal(const UTCData &Data) {
    if (Data.event)
        eventfd_write(int(Data.event), 1);
}

void StoreText(UTCData &Data, const QString &Text) {
    const AnsiString ansi = ToAnsi(Text);
    const std::size_t length = std::min<std::size_t>(ansi.size(), sizeof Data.str_result - 1);
    std::memcpy(Data.str_result, ansi.data(), length);
    Data.str_result[length] = '\0';
}

// The operation of the command's kind, its result into the block.
void RunOperation(TUTCGenericWrapper &Wrapper, UTCData &Result, UTC2UICommand Command) {
    switch (Command) {
    case utc_command:
        Result.int_result = int32_t(Wrapper.UTCCommand());
        break;
    case utc_set:
        Result.bool_result = Wrapper.UTCSet();
        break;
    case utc_get:
        StoreText(Result, Wrapper.UTCGet());
        break;
    case utc_table_add:
        Result.bool_result = Wrapper.UTCTableAdd();
        break;
    case utc_table_find:
        Result.bool_result = Wrapper.UTCTableFind();
        break;
    case utc_table_get:
        StoreText(Result, Wrapper.UTCTableGet());
        break;
    case utc_table_set:
        Result.bool_result = Wrapper.UTCTableSet();
        break;
    case utc_help:
        break;
    }
}

} // namespace

QWidget *TargetWindow(int32_t Wid, QWidget *MainWindow) {
    if (Wid != 0)
        return FindWindowHandle(HWND(Wid));
    const QList<QWidget *> forms = Forms();
    for (auto form = forms.rbegin(); form != forms.rend(); ++form)
        if (qobject_cast<QDialog *>(*form) && (*form)->isVisible())
            return *form;
    return MainWindow;
}

void RunUTCCommand(TUTCCommandBlock &Block, const cparm &Params, QWidget *MainWindow) {
    QWidget *target = TargetWindow(Params.wid, MainWindow);
    RunUTCCommandOn(Block, Params, target ? HostWrapperManager().CreateWrapper(target) : nullptr);
}

void RunUTCCommandOn(TUTCCommandBlock &Block, const cparm &Params, std::unique_ptr<TUTCGenericWrapper> Wrapper) {
    UTCData &data = Block.Data;
    data.int_result = 0;
    data.bool_result = false;
    data.str_result[0] = '\0';
    if (!Wrapper) {
        Block.Outcome = utoNoTarget;
        Signal(data);
        return;
    }
    // A modal operation's form reaches the block through the wrapper, which
    // fires then; the operation's own result only when it has not fired.
    Wrapper->SetParams(&data, const_cast<cparm *>(&Params));
    UTCData result{};
    Block.Outcome = utoRan;
    try {
        const TModalFormWatcher watcher;
        RunOperation(*Wrapper, result, data.command);
    } catch (const Exception &e) {
        Block.Outcome = utoRaised;
        StoreText(result, e.Message());
    } catch (const std::exception &e) {
        Block.Outcome = utoRaised;
        StoreText(result, QString::fromLocal8Bit(e.what()));
    }
    // A waiter that saw no form must not outlive its wrapper.
    if (const TModalFormWaiter *waiter = ModalFormWaiter(); waiter && waiter->Wrapper == Wrapper.get())
        TakeModalFormWaiter();
    if (!Wrapper->Fired()) {
        data.int_result = result.int_result;
        data.bool_result = result.bool_result;
        std::memcpy(data.str_result, result.str_result, sizeof data.str_result);
    }
    Wrapper->FireEvent();
}

QString RunUTCText(UTC2UICommand Kind, const QStringList &Texts, std::unique_ptr<TUTCGenericWrapper> Wrapper) {
    AnsiString texts[3];
    for (int i = 0; i < 3; ++i)
        texts[i] = ToAnsi(Texts.value(i));
    const cparm params = {0, texts[0].c_str(), texts[1].c_str(), texts[2].c_str()};
    TUTCCommandBlock block;
    block.Data.command = Kind;
    RunUTCCommandOn(block, params, std::move(Wrapper));
    return UTCResultText(block);
}


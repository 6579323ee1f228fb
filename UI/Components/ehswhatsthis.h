#pragma once
// TWhatsThis: the "What's this?" engine. While it runs it watches the input
// of the application's thread: in "What's this?" mode (entered from the
// menu item, the toolbar button or Shift+F1) the next click on a control asks
// the host's help system for that control's topic in a popup; a right click
// offers a one-item popup menu with the same effect; F1 asks for help as
// F1Action says. One engine runs at a time in the process.
//
// On Qt:
// - Help contexts are the dynamic property HelpContext of widgets and menu
//   items (see HelpCommands.h), so the host's widgets carry them too.
// - The menu item is a QAction, the toolbar button a QAbstractButton. Their
//   click signals may have any number of receivers and none can be read back,
//   so taking over the click adds the engine's handler and stopping removes
//   it again: the item's own receivers are never lost.
// - A right click is the platform's context-menu request of mouse reason, so
//   the press or the release counts as the platform decides; the title bar's
//   help button is the application's EnterWhatsThisMode event.

#include "VQControls.h"
#include "ehscontextmap.h"

#include <QFlags>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QMenu;

enum TF1Action { goContext, goDefault, goTOC, goFormContext };

enum TWhatsThisOption : unsigned {
    wtDirectHelp = 1,
    wtMenuRightClick = 2,
    wtNoContextHelp = 4,
    wtNoContextMenu = 8,
    wtPopupOnForm = 16,
    wtInheritFormContext = 32,
    wtUseTag = 64,
    wtUseAppKey = 128,
};
Q_DECLARE_FLAGS(TWhatsThisOptions, TWhatsThisOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TWhatsThisOptions)

enum TWhatsThisMode { wmIdle, wmWaitPopup, wmWaitWMHelp, wmPermanent };

// What a help request is about: a widget or a menu item, its context and,
// when known, the screen position for the popup.
struct TContextInfo {
    QPointer<QObject> Control;
    int HelpContext = 0;
    std::optional<QPoint> At;
};

// May change the context found for Control.
using TGetContextEvent = std::function<void(QObject *Sender, QObject *Control, int &HelpContext)>;
// Clearing CallHelp keeps the command from the help system.
using THelpEvent = std::function<void(QObject *Sender, THelpCommand Command, uint32_t Data, bool &CallHelp)>;
// Clearing Show keeps the popup menu closed.
using TWTPopupEvent = std::function<void(QObject *Sender, TContextInfo &Info, bool &Show)>;
// Setting Handled ends the handling of the F1 key there.
using TF1KeyDownEvent = std::function<void(QObject *Sender, bool &Handled)>;

class TWhatsThis : public TehsBase {
    Q_OBJECT
public:
    explicit TWhatsThis(QObject *Owner = nullptr);
    // Stops the engine and restarts the one it stopped, when that one is still active.
    ~TWhatsThis() override;

    // Starts once loaded, or when set later; false stops the engine.
    bool Active() const { return FActive; }
    void SetActive(bool Value);
    // True while the engine watches the input.
    bool Running() const { return FRunning; }
    TWhatsThisMode Mode() const { return FMode; }
    void Loaded() override;

    THelpContextMap *HelpContextMap() const { return FHelpContextMap; }
    void SetHelpContextMap(THelpContextMap *Value) { FHelpContextMap = Value; }
    TF1Action F1Action() const { return FF1Action; }
    void SetF1Action(TF1Action Value) { FF1Action = Value; }
    TWhatsThisOptions Options() const { return FOptions; }
    void SetOptions(TWhatsThisOptions Value) { FOptions = Value; }
    QString PopupCaption() const { return FPopupCaption; }
    void SetPopupCaption(const QString &Value);
    int PopupHelpContext() const { return FPopupHelpContext; }
    void SetPopupHelpContext(int Value);

    // Both change only while the engine is stopped. The menu item gets the shortcut
    // Shift+F1, which the previous one loses.
    QAction *WTMenuItem() const { return FWTMenuItem; }
    void SetWTMenuItem(QAction *Value);
    QWidget *WTToolbarButton() const { return FWTToolbarButton; }
    void SetWTToolbarButton(QWidget *Value);

    // Enter and leave "What's this?" mode; both raise while the engine is stopped.
    void ContextHelp();
    void CancelContextHelp();

    TNotifyEvent OnEnterContextMode;
    TNotifyEvent OnLeaveContextMode;
    TGetContextEvent OnGetContext;
    THelpEvent OnHelp;
    TWTPopupEvent OnPopup;
    TF1KeyDownEvent OnF1KeyDown;

protected:
    bool eventFilter(QObject *Watched, QEvent *Event) override;
    void WndProc(int Msg) override;

private:
    void Start();
    void Stop();
    void TakeOverClicks();
    void GiveBackClicks();
    void ItemClick();
    void ShowItemsState(bool On);
    void ShowHelpCursor(bool On);

    bool MousePress(QWidget *Widget, QMouseEvent *Event);
    bool RightClick(QWidget *Widget, QPoint At);
    bool MenuRightClick(QMenu *Menu, QMouseEvent *Event);
    bool F1KeyDown(Qt::KeyboardModifiers Shift);
    bool IsToolbarButton(const QWidget *Widget) const;

    // Finds the context of Control and answers as a right click (a popup menu, unless
    // wtDirectHelp) or directly; false when the request is dropped.
    bool Answer(QObject *Control, std::optional<QPoint> At, bool RightClick);
    int FindContext(QObject *&Control);
    void ShowPopupMenu(QPoint At);
    void ShowHelp(const TContextInfo &Info);
    void Help(THelpCommand Command, uint32_t Data);

    bool FActive = true;
    bool FLoading = true;
    bool FRunning = false;
    TWhatsThisMode FMode = wmIdle;
    QPointer<THelpContextMap> FHelpContextMap;
    TF1Action FF1Action = goContext;
    TWhatsThisOptions FOptions = {wtMenuRightClick, wtNoContextHelp, wtNoContextMenu, wtInheritFormContext};
    QString FPopupCaption = QStringLiteral("What's this?");
    int FPopupHelpContext = 0;
    QPointer<QAction> FWTMenuItem;
    QPointer<QWidget> FWTToolbarButton;
    QMetaObject::Connection FMenuItemClick;
    QMetaObject::Connection FToolbarButtonClick;
    std::unique_ptr<QMenu> FPopupMenu;
    bool FHelpCursor = false;
    // A left press taken for help: its release and double click go too.
    bool FSwallowLeftButton = false;
    // The menu a right button went down in.
    QPointer<QMenu> FRightPressMenu;
    TContextInfo FContextInfo;
    QPointer<TWhatsThis> FPredecessor;
};

#pragma once
// The host's "What's this?" controls: the Help menu's item and a toolbar
// button, which the host hands to the plug-in once it is loaded. The plug-in's
// engine makes them work; until then they do nothing.

struct IDevicePlugin;
class QAbstractButton;
class QAction;
class QMainWindow;
class THelpSystem;

struct THelpControls {
    QAction *WhatsThisItem;
    QAbstractButton *WhatsThisButton;
};

// Adds the Help menu ("What's this?", Shift+F1; "Help Topics") and a toolbar
// with the "What's this?" button to the window.
THelpControls InstallHelpMenu(QMainWindow &Window, THelpSystem &Help);

// Hands the item and the button to the plug-in, with its messages 4096 and 4097.
void HandHelpToPlugin(IDevicePlugin &Plugin, const THelpControls &Controls);

#include "HelpMenu.h"

#include "CommonDevicePlugins.h"
#include "HelpCommands.h"
#include "HelpSystem.h"

#include <QMainWindow>
#include <QMenuBar>
#include <QAction>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

THelpControls InstallHelpMenu(QMainWindow &Window, THelpSystem &Help) {
    QMenu *menu = Window.menuBar()->addMenu(QStringLiteral("&Help"));
    menu->setObjectName(QStringLiteral("mnHelp"));
    QAction *item = menu->addAction(QStringLiteral("What's this?"));
    item->setObjectName(QStringLiteral("actWhatsThis"));
    item->setCheckable(true);
    QAction *topics = menu->addAction(QStringLiteral("Help &Topics"), &Help, &THelpSystem::ShowTopics);
    topics->setObjectName(QStringLiteral("actHelpTopics"));

    QToolBar *toolbar = Window.addToolBar(QStringLiteral("Help"));
    toolbar->setObjectName(QStringLiteral("tbHelp"));
    auto *button = new QToolButton(toolbar);
    button->setObjectName(QStringLiteral("btWhatsThis"));
    button->setIcon(Window.style()->standardIcon(QStyle::SP_TitleBarContextHelpButton));
    button->setToolTip(QStringLiteral("What's this?"));
    button->setCheckable(true);
    toolbar->addWidget(button);
    return {item, button};
}

void HandHelpToPlugin(IDevicePlugin &Plugin, const THelpControls &Controls) {
    const auto send = [&Plugin](uint32_t Message, QObject *Control) {
        uintptr_t output = 0;
        Plugin.PerformMessage(Message, reinterpret_cast<uintptr_t>(Control), output);
    };
    send(pmWhatsThisMenuItem, Controls.WhatsThisItem);
    send(pmWhatsThisToolbarButton, Controls.WhatsThisButton);
}

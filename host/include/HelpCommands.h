#pragma once
// The host's help system as the plug-in reaches it. A help command is an event
// sent to the application object, which plug-in and host share in the one
// process; the host's help system watches the application's events, answers
// the command and accepts the event. Help contexts of widgets and menu items
// are the dynamic property HelpContext (an int), which crosses the boundary
// without either side linking the other's classes.

#include <QEvent>
#include <QPoint>

#include <cstdint>

// The plug-in messages (IPlugin::PerformMessage) that hand the host's "What's
// this?" menu item (a QAction) and toolbar button (a QAbstractButton) to the
// plug-in, as QObject pointers.
inline constexpr uint32_t pmWhatsThisMenuItem = 0x1000;
inline constexpr uint32_t pmWhatsThisToolbarButton = 0x1001;

// The numbered help commands.
enum THelpCommand : int32_t {
    hcContext = 1,        // show the topic Data in the help window
    hcContents = 3,       // show the help's contents
    hcContextPopup = 8,   // show the topic Data in a popup window
    hcSetPopupPos = 13,   // where the next popup goes: x and y in the low and high 16-bit halves of Data
    hcTopics = 15,        // open the help's topics window
};

// The dynamic property that holds the help context number of a widget or a menu item.
inline constexpr char HelpContextProperty[] = "HelpContext";

class THelpCommandEvent : public QEvent {
public:
    static constexpr QEvent::Type HelpCommandEventType = QEvent::Type(QEvent::User + 0x4850);

    THelpCommandEvent(int32_t Command, uint32_t Data) : QEvent(HelpCommandEventType), FCommand(Command), FData(Data) {
        // Accepted only once a help system has answered.
        setAccepted(false);
    }
    int32_t Command() const { return FCommand; }
    uint32_t Data() const { return FData; }

private:
    int32_t FCommand;
    uint32_t FData;
};

// Screen positions travel as two signed 16-bit halves.
inline constexpr uint32_t PackPopupPos(QPoint At) {
    return uint32_t(uint16_t(At.x())) | uint32_t(uint16_t(At.y())) << 16;
}
inline constexpr QPoint UnpackPopupPos(uint32_t Data) { return {int16_t(Data & 0xFFFF), int16_t(Data >> 16)}; }

// The host's side of the automation: the wrappers its manager makes for
// standard controls and data grids, the command run that fills the command
// block and signals it, the endpoint's request decoding, and the words of a
// script's lines. The form a modal command opens and the window a command
// names are the driver's end-to-end walk's. This program exports
// UTC_GetWrapperManager as vqadmin does.

#include "commandline/ShellWords.h"
#include "automation/UTCCommands.h"
#include "automation/UTCProtocol.h"
#include "VQStdControls.h"
#include "VarnelGrid.h"
#include "automation/WrapperManager.h"

#include <QDialog>
#include <QLabel>
#include <QtEndian>

#include <gtest/gtest.h>

#include <sys/eventfd.h>
#include <unistd.h>

extern "C" TUTCWrapperManager *UTC_GetWrapperManager() { return &HostWrapperManager(); }

namespace {

// The host's wrapper for Control, given the command.
QString OnControl(QWidget *Control, UTC2UICommand Kind, const QString &Name, const QString &P2 = {},
            const QString &P3 = {}) {
    return RunUTCText(Kind, {Name, P2, P3}, HostWrapperManager().CreateWrapper(Control));
}

// The number of times an eventfd was signalled since the last read.
uint64_t Signals(int Event) {
    eventfd_t count = 0;
    return eventfd_read(Event, &count) == 0 ? count : 0;
}

class HostWrappers : public ::testing::Test {
protected:
    HostWrappers() { Form.show(); }
    template <class T>
    T *Add(T *Control) {
        Control->setParent(&Form);
        Control->show();
        return Control;
    }
    QDialog Form;
};

// Each kind of standard control reaches its own setter; what each setter
// takes is the control commands' test.
TEST_F(HostWrappers, StandardControlsTakeValuesAsTheyShowThem) {
    auto *edit = Add(new TEdit);
    auto *list = Add(new TComboBox);
    list->addItems({"alpha", "beta"});
    auto *box = Add(new TCheckBox);
    auto *spin = Add(new TSpinEdit);
    spin->setRange(0, 50);
    const std::pair<QWidget *, const char *> cases[] = {{edit, "10.0.0.9"}, {list, "beta"}, {box, "TRUE"}, {spin, "42"}};
    for (const auto &[control, value] : cases)
        EXPECT_EQ(OnControl(control, utc_set, "Setting", value), "true") << value;
    EXPECT_EQ(QStringList({edit->text(), list->currentText(), box->isChecked() ? "checked" : "", spin->text()}),
              QStringList({"10.0.0.9", "beta", "checked", "42"}));
    EXPECT_EQ(OnControl(edit, utc_get, "Setting"), "10.0.0.9");
    EXPECT_EQ(OnControl(box, utc_get, "Setting"), "Error!!!");
    // A control no command applies to has no wrapper.
    EXPECT_THROW(OnControl(Add(new QLabel("x")), utc_set, "Setting", "y"), Exception);
}

TEST_F(HostWrappers, CommandsPressButtonsAndSwitchPages) {
    auto *button = Add(new TButton);
    auto *off = Add(new TButton);
    off->setEnabled(false);
    int clicks = 0;
    button->OnClick = off->OnClick = [&](QObject *) { ++clicks; };
    auto *pages = Add(new TPageControl);
    new TTabSheet(pages, "&General");
    new TTabSheet(pages, "VLAN");
    bool allow = true;
    pages->OnChanging = [&](QObject *, bool &Allow) { Allow = allow; };

    EXPECT_EQ(OnControl(button, utc_command, "Apply"), "0");
    EXPECT_EQ(OnControl(off, utc_command, "Apply"), "-1");
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(OnControl(pages, utc_command, "Page", "VLAN"), "0");
    EXPECT_EQ(pages->ActivePageIndex(), 1);
    allow = false;
    EXPECT_EQ(OnControl(pages, utc_command, "Page", "General"), "-1");
    EXPECT_EQ(pages->ActivePageIndex(), 1);
    EXPECT_EQ(OnControl(pages, utc_command, "Page", "Missing"), "-1");
}

TEST_F(HostWrappers, DataGridTablesFindReadWriteAndAddThroughTheColumnsTags) {
    auto *grid = Add(new TVarnelGrid);
    // Rows are maps; the ID column is read-only, the note column edits the map.
    const auto field = [](const char *Key) {
        return [Key](const QVariant &Data) { return Data.toMap().value(Key).toString(); };
    };
    grid->AddColumn({.Name = "colID", .Caption = "ID", .PersistentTag = "ID", .GetText = field("id")});
    grid->AddColumn({.Name = "colNote", .Caption = "Note", .PersistentTag = "Note", .GetText = field("note"),
                     .Editor = {vekEdit, {}, [](QVariant &Data, const QString &Text) {
                                    QVariantMap map = Data.toMap();
                                    map["note"] = Text;
                                    Data = map;
                                }}});
    for (const char *key : {"a", "b", "c"})
        grid->AddRow(QVariantMap{{"id", key}, {"note", QString("note ") + key}});

    EXPECT_EQ(OnControl(grid, utc_table_get, {}, "Note"), "Error!!!"); // no current row yet
    EXPECT_EQ(OnControl(grid, utc_table_find, {}, "ID", "b"), "true");
    EXPECT_EQ(grid->Row(), 1);
    EXPECT_EQ(OnControl(grid, utc_table_get, {}, "Note"), "note b");
    EXPECT_EQ(OnControl(grid, utc_table_set, {}, "Note", "changed"), "true");
    EXPECT_EQ(grid->model()->index(1, 1).data().toString(), "changed");
    EXPECT_EQ(OnControl(grid, utc_table_find, {}, "ID", "B"), "false");
    EXPECT_EQ(OnControl(grid, utc_table_find, {}, "Missing", "b"), "false");

    EXPECT_EQ(OnControl(grid, utc_table_add, {}, "Note", "fresh"), "true");
    EXPECT_EQ(grid->RowCount(), 4);
    EXPECT_EQ(grid->model()->index(3, 1).data().toString(), "fresh");
    EXPECT_EQ(grid->Row(), 3);
    // A read-only column takes no new row.
    EXPECT_EQ(OnControl(grid, utc_table_add, {}, "ID", "d"), "false");
    EXPECT_EQ(grid->RowCount(), 4);
}

TEST_F(HostWrappers, TheBlockGetsTheResultCutToItsSizeAndOneSignal) {
    auto *edit = Add(new TEdit);
    edit->setText(QString(300, QChar(0xE9))); // é, one byte in the code page
    const int event = eventfd(0, EFD_NONBLOCK);
    const AnsiString name = "Text";
    const cparm params = {0, name.c_str(), "", ""};
    TUTCCommandBlock block;
    block.Data.command = utc_get;
    block.Data.event = uint32_t(event);
    RunUTCCommandOn(block, params, HostWrapperManager().CreateWrapper(edit));
    EXPECT_EQ(block.Outcome, utoRan);
    EXPECT_EQ(std::string(block.Data.str_result), std::string(255, '\xE9'));
    EXPECT_EQ(Signals(event), 1u);
    ::close(event);
}

TEST(HostWrapperManager, RegistrationsOfAnUnloadedLibraryAreDropped) {
    struct TTestClass : TMetaClass {
        using TMetaClass::TMetaClass;
    };
    static const TTestClass frameClass("TSomeFrame", nullptr);
    struct TSomeFrame : TFrame, TObjectWithClass {
        const TMetaClass &ClassType() const override { return frameClass; }
    };
    THostWrapperManager &manager = HostWrapperManager();
    const std::size_t before = manager.RegistrationCount();
    manager.RegisterWrapper(&frameClass, &TUTCFormWrapper::Class());
    QWidget dialog;
    auto *frame = new TSomeFrame;
    frame->setParent(&dialog);
    EXPECT_EQ(manager.FindWrapperClass(frame), &TUTCFormWrapper::Class());
    manager.DropRegistrations(before);
    EXPECT_EQ(manager.FindWrapperClass(frame), nullptr);
    // Neither a registered frame nor a form nor a known control.
    EXPECT_FALSE(manager.CreateWrapper(frame));
}

TEST(UTCRequest, DecodingTakesExactlyOneWellFormedRequest) {
    const QByteArray frame = EncodeUTCRequest({utc_table_set, -7, "Grid", "MAC", "caf\xE9"});
    ASSERT_EQ(UTCPayloadLength(frame), frame.size() - UTCRequestHeader);
    const std::optional<TUTCRequest> decoded = DecodeUTCRequest(QByteArrayView(frame).sliced(UTCRequestHeader));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->Command, utc_table_set);
    EXPECT_EQ(decoded->Wid, -7);
    EXPECT_EQ(decoded->P3, "caf\xE9");

    const auto payload = [](int32_t Kind, const QByteArray &Texts) {
        QByteArray bytes(8, '\0');
        qToLittleEndian(Kind, bytes.data());
        return bytes + Texts;
    };
    const QByteArray refused[] = {
        payload(8, QByteArray("a\0b\0c\0", 6)),                  // no such kind
        payload(-1, QByteArray("a\0b\0c\0", 6)),                 // no such kind
        payload(1, QByteArray("a\0b\0c", 5)),                    // the last text unterminated
        payload(1, QByteArray("a\0b\0", 4)),                     // a text missing
        payload(1, QByteArray("a\0b\0c\0d", 7)),                 // bytes after the texts
        payload(1, QByteArray(256, 'x') + QByteArray("\0\0\0", 3)), // a text too long
    };
    for (const QByteArray &bytes : refused)
        EXPECT_FALSE(DecodeUTCRequest(bytes)) << bytes.toHex().toStdString();
    EXPECT_TRUE(DecodeUTCRequest(payload(1, QByteArray(255, 'x') + QByteArray("\0\0\0", 3))));
    // Lengths outside what a request can take are refused before its bytes arrive.
    QByteArray header(4, '\0');
    qToLittleEndian<uint32_t>(100000, header.data());
    EXPECT_FALSE(UTCPayloadLength(header));
    EXPECT_FALSE(UTCPayloadLength(QByteArray(3, '\0')));
}

TEST(ShellWords, SplitsAsTheShellDoes) {
    struct TCase {
        QString Line;
        QStringList Words;
    } cases[] = {
        {"", {}},
        {"type  edUniqueID\tabc ", {"type", "edUniqueID", "abc"}},
        {"a 'b c' \"d e\"", {"a", "b c", "d e"}},
        {"'' \"\" x", {"", "", "x"}},
        {"a\\ b \\'c\\\\", {"a b", "'c\\"}},
        {"'it''s' \"it's\" 'say \"hi\"'", {"its", "it's", "say \"hi\""}},
        // In single quotes a backslash is a backslash.
        {"'a\\b' 'c\\'", {"a\\b", "c\\"}},
        // In double quotes it escapes only $ ` \" \\ and newline.
        {"\"a\\$b\\`c\\\"d\\\\e\\xf\"", {"a$b`c\"d\\e\\xf"}},
        {"\"a\\\nb\" c\\\nd", {"ab", "cd"}},
        // Nothing is expanded.
        {"$HOME *.png ~ #x", {"$HOME", "*.png", "~", "#x"}},
        {"caf\u00E9 \u201Aok\u201A", {"caf\u00E9", "\u201Aok\u201A"}},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Line.toStdString());
        EXPECT_EQ(SplitShellWords(c.Line), c.Words);
    }
}

TEST(ShellWords, RefusesAnUnfinishedLine) {
    struct TCase {
        QString Line;
        const char *Message;
    } cases[] = {
        {"type x 'abc", "unterminated single quote"},
        {"type x \"abc", "unterminated double quote"},
        {"type x \"abc\\\"", "unterminated double quote"},
        {"type x abc\\", "a backslash ends the line"},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Line.toStdString());
        try {
            SplitShellWords(c.Line);
            ADD_FAILURE() << "accepted";
        } catch (const EShellWords &e) {
            EXPECT_EQ(e.Message(), c.Message);
        }
    }
}

} // namespace

// The input-restricting edits: TStrictEdit with its filters, and TVQMaskEdit.
#include "ControlTesting.h"
#include "StrictVQControls.h"
#include "VQMaskEdit.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>

namespace {

const TEditorFilter Letters(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
const TEditorFilter LowerCase(QStringLiteral("abcdefghijklmnopqrstuvwxyz"));
const TEditorFilter Digits(QStringLiteral("0123456789"));
const QString MacMask = QStringLiteral("AA\\-AA\\-AA\\-AA\\-AA\\-AA;1;_");

using StrictEdit = TActiveWindow;
using MaskEdit = TActiveWindow;

} // namespace

TEST(EditorFilter, TakesTheLowEightBitsOfEachCharacter) {
    // U+0141, U+201A and U+2030 stand for 0x41, 0x1A and 0x30.
    const TEditorFilter filter(QString::fromUtf8("a\u0141\u201A\u2030"));
    for (QChar c : {QChar('a'), QChar('A'), QChar(0x1A), QChar('0')})
        EXPECT_TRUE(filter.Contains(c)) << int(c.unicode());
    for (QChar c : {QChar(0x0141), QChar('b')}) // characters above 255 are never in a set
        EXPECT_FALSE(filter.Contains(c)) << int(c.unicode());
    EXPECT_TRUE(TEditorFilter().IsEmpty() && !filter.IsEmpty());
    const TEditorFilter both = Letters + Digits;
    EXPECT_TRUE(both.Contains('z') && both.Contains('7'));
    EXPECT_FALSE(both.Contains('$'));
}

TEST_F(StrictEdit, ChangesNotifyTwiceAndFilteringTwiceMoreAsDoNewSets) {
    auto *ed = Add<TStrictEdit>();
    TBeepCounter beeps;
    QStringList seen;
    ed->OnChange = [&](QObject *) { seen.append(ed->Text()); };
    Show(ed);
    Type("a1 $"); // an empty filter admits nothing
    EXPECT_EQ(beeps.Count, 4);
    ed->SetText("abc");
    EXPECT_EQ(seen, QStringList({"abc", "", "", ""}));
    seen.clear();
    ed->SetEditorFilter(Letters);
    Type("x");
    ed->SetText("a-b");
    EXPECT_EQ(seen, QStringList({"x", "x", "a-b", "ab", "ab", "ab"}));

    // Changing a set refilters the text; setting the same set does nothing.
    seen.clear();
    ed->SetEditorFilter(Letters);
    ed->SetUppercased(LowerCase);
    ed->SetEditorFilter(TEditorFilter("B"));
    EXPECT_EQ(seen, QStringList({"AB", "AB", "B", "B"}));
    QString result = "old";
    ed->FilterText(QString::fromUtf8("xb\u00e9b"), result);
    EXPECT_EQ(result, "BB");
}

TEST_F(StrictEdit, KeysAndPastesAreUppercasedThenFiltered) {
    auto *ed = Add<TStrictEdit>();
    ed->SetEditorFilter(TEditorFilter("ABCDQXYZ"));
    ed->SetUppercased(LowerCase);
    QString pressed;
    ed->OnKeyPress = [&](QObject *, QChar &key) { pressed.append(key); };
    int changes = 0;
    ed->OnChange = [&](QObject *) { ++changes; };
    TBeepCounter beeps;
    Show(ed);
    Type("q$");
    EXPECT_EQ(ed->Text(), "Q");
    EXPECT_EQ(pressed, QString("Q") + QChar()); // the handler sees the dropped key as null
    Press(Qt::Key_Backspace); // control keys pass untouched
    EXPECT_EQ(ed->Text(), "");
    EXPECT_EQ(beeps.Count, 1);

    // A paste inserts the admitted characters in their order.
    Type("xyz");
    ed->setSelection(1, 1);
    changes = 0;
    SetClipboard("ab $cd$");
    Press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(ed->Text(), "XABCDZ");
    EXPECT_EQ(changes, 2); // the pasted text needed no filtering
    ed->selectAll();
    Press(Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(ed->Text(), "ABCD");
    ed->SetReadOnly(true);
    ed->PasteFromClipboard();
    EXPECT_EQ(ed->Text(), "ABCD");
}

TEST_F(StrictEdit, TheContextMenusPasteIsFilteredToo) {
    auto *ed = Add<TStrictEdit>();
    ed->SetEditorFilter(Letters);
    Show();
    SetClipboard("a b$c");
    // The menu runs its own event loop: its Paste is chosen from within.
    QTimer::singleShot(0, [] {
        QMenu *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        ASSERT_TRUE(menu);
        for (QAction *action : menu->actions())
            if (action->text() == "&Paste")
                action->trigger();
        menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), ed->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(ed, &event);
    EXPECT_EQ(ed->Text(), "abc");
}

TEST(MaskEditMask, TranslatesTheSystemsMaskToQts) {
    EXPECT_EQ(TVQMaskEdit::ToInputMask(MacMask), "NN-NN-NN-NN-NN-NN;_");
    EXPECT_EQ(TVQMaskEdit::ToInputMask("!99/00;0;*"), "00/99;*");
    EXPECT_EQ(TVQMaskEdit::ToInputMask(">LL<l<>Cc#\\A"), ">AA<a!Xx#\\A");
    EXPECT_EQ(TVQMaskEdit::ToInputMask("Dx"), "\\D\\x");
    EXPECT_EQ(TVQMaskEdit::ToInputMask(""), "");
    EXPECT_EQ(TVQMaskEdit::ToInputMask("\\"), "");
}

TEST_F(MaskEdit, IsValidOnlyWithEveryPositionFilledAndTheHandlersConsent) {
    auto *ed = Add<TVQMaskEdit>();
    Add<TEdit>()->SetName("next");
    EXPECT_TRUE(ed->IsValid()); // no mask
    ed->SetEditMask(MacMask);
    ed->OnKeyPress = [](QObject *, QChar &key) { key = key.toUpper(); };
    TMessageBoxRecorder boxes;
    Show(ed);
    ed->setCursorPosition(0);
    Type("0a1b2c3d4e5"); // the literals are skipped
    EXPECT_FALSE(ed->IsValid());
    // Leaving an incomplete edit shows nothing and lets the focus go.
    EXPECT_EQ(Press(Qt::Key_Tab), "next@0");
    EXPECT_TRUE(boxes.Requests.isEmpty());
    EXPECT_EQ(ed->EditText(), "0A-1B-2C-3D-4E-5_");

    ed->setFocus();
    ed->setCursorPosition(16);
    Type("f");
    EXPECT_EQ(ed->Text(), "0A-1B-2C-3D-4E-5F");
    EXPECT_TRUE(ed->IsValid());
    QString seen;
    ed->OnValidate = [&](QObject *, const QString &editText, bool &valid) {
        seen = editText;
        valid = false;
    };
    EXPECT_FALSE(ed->IsValid());
    EXPECT_EQ(seen, "0A-1B-2C-3D-4E-5F");
}

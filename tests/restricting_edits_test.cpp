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

using StrictEdit = TActiveWindow;
using MaskEdit = TActiveWindow;

const QString MacMask = QStringLiteral("AA\\-AA\\-AA\\-AA\\-AA\\-AA;1;_");

} // namespace

TEST(EditorFilter, TakesTheLowEightBitsOfEachCharacter) {
    const TEditorFilter filter(QString::fromUtf8("a\u0141\u201A\u2030"));
    EXPECT_TRUE(filter.Contains('a'));
    EXPECT_TRUE(filter.Contains('A'));        // U+0141 stands for 0x41
    EXPECT_TRUE(filter.Contains(QChar(0x1A))); // U+201A
    EXPECT_TRUE(filter.Contains('0'));        // U+2030
    EXPECT_FALSE(filter.Contains(QChar(0x0141))); // characters above 255 are never in a set
    EXPECT_FALSE(filter.Contains('b'));
    EXPECT_TRUE(TEditorFilter().IsEmpty());
    EXPECT_FALSE(filter.IsEmpty());

    const TEditorFilter both = Letters + TEditorFilter("0123456789");
    EXPECT_TRUE(both.Contains('z'));
    EXPECT_TRUE(both.Contains('7'));
    EXPECT_FALSE(both.Contains('$'));
    EXPECT_EQ(TEditorFilter("ba"), TEditorFilter("ab"));
    EXPECT_FALSE(TEditorFilter("a") == TEditorFilter("A"));
}

TEST_F(StrictEdit, AnEmptyFilterAdmitsNothing) {
    auto *ed = Add<TStrictEdit>();
    TBeepCounter beeps;
    int changes = 0;
    ed->OnChange = [&](QObject *) { ++changes; };
    Show();
    ed->setFocus();
    QTest::keyClicks(ed, "a1 $");
    EXPECT_EQ(ed->Text(), "");
    EXPECT_EQ(beeps.Count, 4);
    EXPECT_EQ(changes, 0);

    // Text set by the program is filtered at once: four notifications.
    ed->SetText("abc");
    EXPECT_EQ(ed->Text(), "");
    EXPECT_EQ(changes, 4);
}

TEST_F(StrictEdit, TypingNotifiesTwiceAndFilteringTwiceMore) {
    auto *ed = Add<TStrictEdit>();
    ed->SetEditorFilter(Letters);
    QStringList seen;
    ed->OnChange = [&](QObject *) { seen.append(ed->Text()); };
    Show();
    ed->setFocus();
    QTest::keyClicks(ed, "x");
    EXPECT_EQ(seen, QStringList({"x", "x"}));
    seen.clear();
    ed->SetText("a-b");
    EXPECT_EQ(seen, QStringList({"a-b", "ab", "ab", "ab"}));
    EXPECT_EQ(ed->Text(), "ab");
}

TEST_F(StrictEdit, UppercasedCharactersAreReplacedBeforeTheFilterAndTheHandler) {
    auto *ed = Add<TStrictEdit>();
    ed->SetEditorFilter(TEditorFilter("QRS"));
    ed->SetUppercased(LowerCase);
    QString pressed;
    ed->OnKeyPress = [&](QObject *, QChar &key) { pressed.append(key); };
    TBeepCounter beeps;
    Show();
    ed->setFocus();
    QTest::keyClicks(ed, "qz");
    EXPECT_EQ(ed->Text(), "Q");
    EXPECT_EQ(beeps.Count, 1);
    EXPECT_EQ(pressed, QString("Q") + QChar()); // the handler sees the dropped key as null
    // Control keys pass untouched.
    QTest::keyClick(ed, Qt::Key_Backspace);
    EXPECT_EQ(ed->Text(), "");
    EXPECT_EQ(beeps.Count, 1);
}

TEST_F(StrictEdit, PasteInsertsTheAdmittedCharactersInOrder) {
    auto *ed = Add<TStrictEdit>();
    ed->SetEditorFilter(Letters);
    int changes = 0;
    ed->OnChange = [&](QObject *) { ++changes; };
    Show();
    ed->setFocus();
    QTest::keyClicks(ed, "xyz");
    ed->setSelection(1, 1);
    changes = 0;
    SetClipboard("ab $cd$");
    QTest::keyClick(ed, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(ed->Text(), "xabcdz");
    EXPECT_EQ(changes, 2); // the pasted text needed no filtering
    ed->selectAll();
    QTest::keyClick(ed, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(ed->Text(), "abcd");
    ed->SetReadOnly(true);
    ed->PasteFromClipboard();
    EXPECT_EQ(ed->Text(), "abcd");
}

TEST_F(StrictEdit, TheContextMenusPasteIsFilteredToo) {
    auto *ed = Add<TStrictEdit>();
    ed->SetEditorFilter(Letters);
    Show();
    SetClipboard("a b$c");
    QStringList items;
    QTimer::singleShot(0, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (QAction *action : menu->actions()) {
            items.append(action->text());
            if (action->text() == "&Paste")
                action->trigger();
        }
        menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), ed->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(ed, &event);
    EXPECT_TRUE(items.contains("&Paste"));
    EXPECT_EQ(ed->Text(), "abc");
}

TEST(StrictEditFilters, ChangingASetRefiltersTheText) {
    TStrictEdit ed;
    ed.SetEditorFilter(Letters + TEditorFilter("0123456789"));
    ed.SetText("ab12");
    int changes = 0;
    ed.OnChange = [&](QObject *) { ++changes; };
    ed.SetEditorFilter(Letters + TEditorFilter("0123456789")); // the same set: nothing happens
    EXPECT_EQ(changes, 0);
    ed.SetUppercased(LowerCase);
    EXPECT_EQ(ed.Text(), "AB12");
    ed.SetEditorFilter(TEditorFilter("0123456789"));
    EXPECT_EQ(ed.Text(), "12");

    QString result = "old";
    ed.FilterText(QString::fromUtf8("x9\u00e99"), result);
    EXPECT_EQ(result, "99");
}

TEST(MaskEditMask, TranslatesTheSystemsMaskToQts) {
    EXPECT_EQ(TVQMaskEdit::ToInputMask(MacMask), "NN-NN-NN-NN-NN-NN;_");
    EXPECT_EQ(TVQMaskEdit::ToInputMask("!99/00;0;*"), "00/99;*");
    EXPECT_EQ(TVQMaskEdit::ToInputMask(">LL<l<>Cc#\\A"), ">AA<a!Xx#\\A");
    EXPECT_EQ(TVQMaskEdit::ToInputMask("Dx"), "\\D\\x");
    EXPECT_EQ(TVQMaskEdit::ToInputMask(""), "");
    EXPECT_EQ(TVQMaskEdit::ToInputMask("\\"), "");
}

TEST_F(MaskEdit, IsValidOnlyWithEveryRequiredPositionFilled) {
    auto *ed = Add<TVQMaskEdit>();
    EXPECT_TRUE(ed->IsValid()); // no mask
    ed->SetEditMask(MacMask);
    ed->SetText("00-00-00-00-00-00");
    EXPECT_EQ(ed->Text(), "00-00-00-00-00-00");
    EXPECT_TRUE(ed->IsValid());
    Show();
    ed->setFocus();
    ed->setCursorPosition(17);
    QTest::keyClick(ed, Qt::Key_Backspace);
    EXPECT_EQ(ed->EditText(), "00-00-00-00-00-0_");
    EXPECT_FALSE(ed->IsValid());
    QTest::keyClicks(ed, "F");
    EXPECT_EQ(ed->Text(), "00-00-00-00-00-0F");
    EXPECT_TRUE(ed->IsValid());

    QString seen;
    ed->OnValidate = [&](QObject *, const QString &editText, bool &valid) {
        seen = editText;
        valid = false;
    };
    EXPECT_FALSE(ed->IsValid());
    EXPECT_EQ(seen, "00-00-00-00-00-0F");
}

TEST_F(MaskEdit, TypingFillsThePositionsAndSkipsTheLiterals) {
    auto *ed = Add<TVQMaskEdit>();
    ed->SetEditMask(MacMask);
    ed->OnKeyPress = [](QObject *, QChar &key) { key = key.toUpper(); };
    Show();
    ed->setFocus();
    ed->setCursorPosition(0);
    QTest::keyClicks(ed, "0a1b2c3d4e5f");
    EXPECT_EQ(ed->Text(), "0A-1B-2C-3D-4E-5F");
    EXPECT_TRUE(ed->IsValid());
}

TEST_F(MaskEdit, LeavingAnIncompleteEditShowsNothingAndLetsTheFocusGo) {
    auto *ed = Add<TVQMaskEdit>();
    auto *next = Add<TEdit>();
    ed->SetEditMask(MacMask);
    TMessageBoxRecorder boxes;
    Show();
    ed->setFocus();
    ed->setCursorPosition(0);
    QTest::keyClicks(ed, "12");
    EXPECT_FALSE(ed->IsValid());
    QTest::keyClick(ed, Qt::Key_Tab);
    EXPECT_TRUE(next->hasFocus());
    EXPECT_EQ(ed->EditText(), "12-__-__-__-__-__");
    EXPECT_TRUE(boxes.Requests.isEmpty());
}

#include "StrictVQControls.h"

TStrictEdit::TStrictEdit(QWidget *Parent) : TEdit(Parent) {}

void TStrictEdit::SetEditorFilter(const TEditorFilter &Value) {
    if (Value == FEditorFilter)
        return;
    FEditorFilter = Value;
    Refilter();
}

void TStrictEdit::SetUppercased(const TEditorFilter &Value) {
    if (Value == FUppercased)
        return;
    FUppercased = Value;
    Refilter();
}

void TStrictEdit::Refilter() {
    QString filtered;
    FilterText(text(), filtered);
    setText(filtered);
}

void TStrictEdit::FilterText(const QString &Text, QString &Result) const {
    Result.clear();
    for (QChar c : Text) {
        if (FUppercased.Contains(c))
            c = c.toUpper();
        if (FEditorFilter.Contains(c))
            Result.append(c);
    }
}

void TStrictEdit::KeyPress(QChar &Key) {
    if (Key.unicode() >= 32) {
        if (FUppercased.Contains(Key))
            Key = Key.toUpper();
        if (!FEditorFilter.Contains(Key)) {
            Beep();
            Key = QChar();
        }
    }
    TEdit::KeyPress(Key);
}

void TStrictEdit::Change() {
    TEdit::Change();
    QString filtered;
    FilterText(text(), filtered);
    if (filtered != text())
        setText(filtered);
    TEdit::Change();
}

void TStrictEdit::PasteText(const QString &Text) {
    QString filtered;
    FilterText(Text, filtered);
    insert(filtered);
}

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

void TStrictEdit::FilterText(const QString &Text, QString &Result) const { Result = AdmittedText(Text); }

bool TStrictEdit::AdmitChar(QChar &Char, qsizetype) const {
    if (FUppercased.Contains(Char))
        Char = Char.toUpper();
    return FEditorFilter.Contains(Char);
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

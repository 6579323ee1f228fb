#pragma once
// A single-line edit that admits only the characters of a set and turns chosen
// characters into upper case, however the text arrives.

#include "VQControls.h"
#include "VQUtils.h"

class TStrictEdit : public TEdit {
    Q_OBJECT
public:
    explicit TStrictEdit(QWidget *Parent = nullptr);

    // The admitted characters; empty admits nothing.
    const TEditorFilter &EditorFilter() const { return FEditorFilter; }
    void SetEditorFilter(const TEditorFilter &Value);
    // The characters replaced by their upper-case form.
    const TEditorFilter &Uppercased() const { return FUppercased; }
    void SetUppercased(const TEditorFilter &Value);

    // Upper-cases the characters of Uppercased and keeps the admitted ones, in order.
    virtual void FilterText(const QString &Text, QString &Result) const;

protected:
    // Upper-cased when in Uppercased, then admitted when in EditorFilter.
    bool AdmitChar(QChar &Char, qsizetype Index) const override;
    // A typed character the filter refuses beeps.
    void CharRefused() override { Beep(); }
    // Notifies, filters (a rewrite notifies twice more), notifies again.
    void Change() override;
    void PasteText(const QString &Text) override;

private:
    void Refilter();

    TEditorFilter FEditorFilter;
    TEditorFilter FUppercased;
};

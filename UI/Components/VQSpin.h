#pragma once
// The integer field with up and down buttons: a numeric edit that shows the
// number and a counter that steps it and keeps it in range.

#include "VQControls.h"

#include <cstdint>

struct TIntRange {
    int32_t Min;
    int32_t Max;
};

// NewValue may be changed; leaving AllowChange false refuses the change.
using TVQSEChangingEvent =
    std::function<void(QObject *Sender, bool &AllowChange, int32_t &NewValue, TUpDownDirection Direction)>;

enum TUDAlignButton { udLeft, udRight };

class TCustomVQSpinEdit;

class TNumericEdit : public TEdit {
    Q_OBJECT
public:
    explicit TNumericEdit(TCustomVQSpinEdit *SpinEdit);

protected:
    void Change() override;
    // Digits; a "-" first where a negative number can start.
    bool AdmitChar(QChar &Char, qsizetype Index) const override;
    void KeyDown(int &Key, Qt::KeyboardModifiers Shift) override;
    void KeyPress(QChar &Key) override;
    bool KeyToParent(int Key, Qt::KeyboardModifiers Shift) const override;
    void DoExit() override;

private:
    TCustomVQSpinEdit *FSpinEdit;
};

class TSpinUpDown : public TUpDown {
    Q_OBJECT
public:
    explicit TSpinUpDown(TCustomVQSpinEdit *Control);
    // The spin edit's click follows every click, whether the step was allowed or not.
    void Step(TUDBtnType Button) override;

protected:
    // Steps start from the number in the edit.
    int StepBase() const override;
    bool Changing(int &NewValue, TUpDownDirection Direction) override;
    void PositionChanged() override;

private:
    TCustomVQSpinEdit *FControl;
};

class TCustomVQSpinEdit : public TControlOf<QWidget> {
    Q_OBJECT
    // For tools that know controls only through Qt (the host's automation).
    Q_PROPERTY(QString text READ Text)
    Q_PROPERTY(bool readOnly READ ReadOnly)
    // For layouts made in Designer, which writes them in this order.
    Q_PROPERTY(int minValue READ MinValue WRITE SetMinValue STORED false)
    Q_PROPERTY(int maxValue READ MaxValue WRITE SetMaxValue STORED false)
    Q_PROPERTY(int increment READ Increment WRITE SetIncrementTo STORED false)
    Q_PROPERTY(int maxLength READ MaxLength WRITE SetMaxLength STORED false)
    Q_PROPERTY(int value READ Value WRITE SetValue STORED false)
public:
    // The largest maximum a spin edit takes.
    static constexpr int32_t MaxValueLimit = 1215752192;

    explicit TCustomVQSpinEdit(QWidget *Parent = nullptr);

    // A click on a button (or an arrow key).
    TUDClickEvent OnClick;
    // Every change of the text.
    TNotifyEvent OnChange;
    TVQSEChangingEvent OnChanging;

    // Read from the text: empty is 0; not a number is MinValue after a "-",
    // MaxValue otherwise; a number is limited to the range. A number is a "-"
    // or nothing, then decimal digits.
    int32_t Value() const;
    // The text shown, which Value reads.
    QString Text() const;
    bool IsComposite() const override { return true; }
    QString CompositeValue() const override { return Text(); }
    // Offered to OnChanging, then limited to the range and shown.
    void SetValue(int32_t Value);
    // After a range write the edit shows the value it holds: a value outside
    // the new range is written as its nearer end.
    int32_t MinValue() const { return FMinValue; }
    void SetMinValue(int32_t Value);
    int32_t MaxValue() const { return FMaxValue; }
    // Values above MaxValueLimit are cut to it.
    void SetMaxValue(int32_t Value);
    // The minimum first, then the maximum.
    void SetMinMax(int32_t MinVal, int32_t MaxVal);
    void SetMinMax(const TIntRange &Range) { SetMinMax(Range.Min, Range.Max); }
    int16_t Increment() const { return FIncrement; }
    void SetIncrement(int16_t Value);
    void SetIncrementTo(int Value) { SetIncrement(int16_t(Value)); }
    bool Wrap() const { return FWrap; }
    void SetWrap(bool Value);
    // Read-only: no typing and no buttons. EditorEnabled false: no typing, buttons work.
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    bool EditorEnabled() const { return FEditorEnabled; }
    void SetEditorEnabled(bool Value);
    int MaxLength() const;
    void SetMaxLength(int Value);
    Qt::Alignment Alignment() const;
    void SetAlignment(Qt::Alignment Value);
    TUDAlignButton UDAlign() const { return FUDAlign; }
    void SetUDAlign(TUDAlignButton Value);
    TUDOrientation UDOrientation() const;
    void SetUDOrientation(TUDOrientation Value);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);

    TNumericEdit *Edit() const { return FEdit; }
    TSpinUpDown *UpDown() const { return FUpDown; }

private:
    friend class TNumericEdit;
    friend class TSpinUpDown;

    // The changing check of every value write and every step.
    bool DoChanging(int32_t &NewValue, TUpDownDirection Direction);
    // Within the range as the counter keeps its position (a reversed range holds its minimum).
    int32_t Limited(int32_t Value) const;
    // The text is a number within the range.
    bool TextIsCorrect() const;
    void SetRange(int32_t MinVal, int32_t MaxVal);
    // Rewrites a text that is not a correct number with the value it reads as.
    void CorrectText();
    void Arrange();

    TNumericEdit *FEdit;
    TSpinUpDown *FUpDown;
    int32_t FMaxValue = 100;
    int32_t FMinValue = 0;
    int16_t FIncrement = 1;
    bool FReadOnly = false;
    bool FWrap = false;
    bool FEditorEnabled = true;
    bool FAutoSize = true;
    TBorderStyle FBorderStyle = bsSingle;
    TUDAlignButton FUDAlign = udRight;
};

class TVQSpinEdit : public TCustomVQSpinEdit {
    Q_OBJECT
public:
    using TCustomVQSpinEdit::TCustomVQSpinEdit;
};

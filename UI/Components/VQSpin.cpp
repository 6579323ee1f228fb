#include "VQSpin.h"

#include <QHBoxLayout>

#include <algorithm>

namespace {

// A "-" or nothing, then decimal digits, within 32 bits.
bool ReadNumber(const QString &Text, int32_t &Value) {
    const qsizetype digits = Text.startsWith('-') ? 1 : 0;
    if (Text.size() == digits || !std::all_of(Text.begin() + digits, Text.end(), [](QChar c) { return c >= '0' && c <= '9'; }))
        return false;
    bool ok = false;
    Value = Text.toInt(&ok, 10);
    return ok;
}

} // namespace

// ---- TNumericEdit ----

TNumericEdit::TNumericEdit(TCustomVQSpinEdit *SpinEdit) : TEdit(SpinEdit), FSpinEdit(SpinEdit) {
    setText(QStringLiteral("0"));
    SetMaxLength(11);
}

void TNumericEdit::Change() {
    TEdit::Change();
    if (FSpinEdit->OnChange)
        FSpinEdit->OnChange(FSpinEdit);
}

void TNumericEdit::KeyDown(int &Key, Qt::KeyboardModifiers Shift) {
    TEdit::KeyDown(Key, Shift);
    if (FSpinEdit->OnKeyDown)
        FSpinEdit->OnKeyDown(FSpinEdit, Key, Shift);
    switch (Key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (FSpinEdit->FUpDown->isEnabled())
            FSpinEdit->FUpDown->Step(Key == Qt::Key_Up ? btNext : btPrev);
        Key = 0;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        FSpinEdit->CorrectText();
        break;
    default:
        break;
    }
}

bool TNumericEdit::AdmitChar(QChar &Char, qsizetype Index) const {
    if (Char == '-')
        return Index == 0 && FSpinEdit->FMinValue < 0 && (text().isEmpty() || hasSelectedText());
    return Char >= '0' && Char <= '9';
}

void TNumericEdit::KeyPress(QChar &Key) {
    TEdit::KeyPress(Key);
    if (FSpinEdit->OnKeyPress && !Key.isNull())
        FSpinEdit->OnKeyPress(FSpinEdit, Key);
}

bool TNumericEdit::KeyToParent(int Key, Qt::KeyboardModifiers) const {
    return Key == Qt::Key_Return || Key == Qt::Key_Enter || Key == Qt::Key_Escape || Key == Qt::Key_F2;
}

void TNumericEdit::DoExit() {
    FSpinEdit->CorrectText();
    TEdit::DoExit();
}

// ---- TSpinUpDown ----

TSpinUpDown::TSpinUpDown(TCustomVQSpinEdit *Control) : TUpDown(Control), FControl(Control) {
    // The arrow keys reach it through the edit.
    setFocusPolicy(Qt::NoFocus);
}

void TSpinUpDown::Step(TUDBtnType Button) {
    StepPosition(Button);
    FControl->FEdit->setCursorPosition(int(FControl->FEdit->text().size()));
    if (FControl->OnClick)
        FControl->OnClick(FControl, Button);
}

int TSpinUpDown::StepBase() const { return FControl->Value(); }

bool TSpinUpDown::Changing(int &NewValue, TUpDownDirection Direction) {
    return TUpDown::Changing(NewValue, Direction) && FControl->DoChanging(NewValue, Direction);
}

void TSpinUpDown::PositionChanged() { FControl->FEdit->setText(QString::number(Position())); }

// ---- TCustomVQSpinEdit ----

TCustomVQSpinEdit::TCustomVQSpinEdit(QWidget *Parent)
    : TControlOf<QWidget>(Parent), FEdit(new TNumericEdit(this)), FUpDown(new TSpinUpDown(this)) {
    FEdit->SetOwner(this);
    FUpDown->SetOwner(this);
    FEdit->SetName(QStringLiteral("Edit"));
    FUpDown->SetName(QStringLiteral("UpDown"));
    FUpDown->SetRange(FMinValue, FMaxValue);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // Qt sets no tab order on a widget without a focus policy: the edit's
    // policy lets a layout put the spin edit anywhere in its tab order.
    setFocusProxy(FEdit);
    setFocusPolicy(FEdit->focusPolicy());
    Arrange();
    SetAutoSize(true);
}

QString TCustomVQSpinEdit::Text() const { return FEdit->text(); }

int32_t TCustomVQSpinEdit::Value() const {
    const QString text = Text();
    if (text.isEmpty())
        return 0;
    int32_t value = 0;
    if (!ReadNumber(text, value))
        value = text.startsWith('-') ? FMinValue : FMaxValue;
    return Limited(value);
}

int32_t TCustomVQSpinEdit::Limited(int32_t Value) const { return std::clamp(Value, FMinValue, std::max(FMinValue, FMaxValue)); }

bool TCustomVQSpinEdit::TextIsCorrect() const {
    int32_t value = 0;
    return ReadNumber(FEdit->text(), value) && Limited(value) == value;
}

void TCustomVQSpinEdit::CorrectText() {
    if (!TextIsCorrect())
        SetValue(Value());
    FEdit->setCursorPosition(int(FEdit->text().size()));
}

bool TCustomVQSpinEdit::DoChanging(int32_t &NewValue, TUpDownDirection Direction) {
    bool allow = true;
    if (OnChanging)
        OnChanging(this, allow, NewValue, Direction);
    return allow;
}

void TCustomVQSpinEdit::SetValue(int32_t Value) {
    if (!DoChanging(Value, updNone))
        return;
    FUpDown->SetPosition(Value);
}

void TCustomVQSpinEdit::SetMinValue(int32_t Value) {
    if (Value != FMinValue)
        SetRange(Value, FMaxValue);
}

void TCustomVQSpinEdit::SetMaxValue(int32_t Value) {
    Value = std::min(Value, MaxValueLimit);
    if (Value != FMaxValue)
        SetRange(FMinValue, Value);
}

void TCustomVQSpinEdit::SetRange(int32_t MinVal, int32_t MaxVal) {
    // The range changes first, so that the value written is kept within the new
    // one. An empty edit stays empty while 0 is in the range.
    FMinValue = MinVal;
    FMaxValue = MaxVal;
    FUpDown->SetRange(FMinValue, FMaxValue);
    if (FEdit->text().isEmpty() ? Limited(0) != 0 : !TextIsCorrect())
        SetValue(Limited(Value()));
}

void TCustomVQSpinEdit::SetMinMax(int32_t MinVal, int32_t MaxVal) {
    SetMinValue(MinVal);
    SetMaxValue(MaxVal);
}

void TCustomVQSpinEdit::SetIncrement(int16_t Value) {
    FIncrement = Value;
    FUpDown->SetIncrement(Value);
}

void TCustomVQSpinEdit::SetWrap(bool Value) {
    FWrap = Value;
    FUpDown->SetWrap(Value);
}

void TCustomVQSpinEdit::SetReadOnly(bool Value) {
    FReadOnly = Value;
    FEdit->SetReadOnly(FReadOnly || !FEditorEnabled);
    FUpDown->SetEnabled(!FReadOnly);
}

void TCustomVQSpinEdit::SetEditorEnabled(bool Value) {
    FEditorEnabled = Value;
    FEdit->SetReadOnly(FReadOnly || !FEditorEnabled);
}

int TCustomVQSpinEdit::MaxLength() const { return FEdit->MaxLength(); }

void TCustomVQSpinEdit::SetMaxLength(int Value) { FEdit->SetMaxLength(Value); }

Qt::Alignment TCustomVQSpinEdit::Alignment() const { return FEdit->alignment(); }

void TCustomVQSpinEdit::SetAlignment(Qt::Alignment Value) { FEdit->setAlignment(Value); }

void TCustomVQSpinEdit::SetUDAlign(TUDAlignButton Value) {
    FUDAlign = Value;
    Arrange();
}

TUDOrientation TCustomVQSpinEdit::UDOrientation() const { return FUpDown->Orientation(); }

void TCustomVQSpinEdit::SetUDOrientation(TUDOrientation Value) {
    FUpDown->SetOrientation(Value);
    Arrange();
}

void TCustomVQSpinEdit::SetAutoSize(bool Value) {
    FAutoSize = Value;
    setSizePolicy(QSizePolicy::Preferred, Value ? QSizePolicy::Fixed : QSizePolicy::Preferred);
}

void TCustomVQSpinEdit::SetBorderStyle(TBorderStyle Value) {
    FBorderStyle = Value;
    FEdit->setFrame(Value == bsSingle);
}

void TCustomVQSpinEdit::Arrange() {
    auto *layout = static_cast<QHBoxLayout *>(this->layout());
    layout->removeWidget(FEdit);
    layout->removeWidget(FUpDown);
    const int buttons = FUpDown->Orientation() == udVertical ? 16 : 32;
    FUpDown->setFixedWidth(buttons);
    if (FUDAlign == udLeft)
        layout->addWidget(FUpDown);
    layout->addWidget(FEdit, 1);
    if (FUDAlign == udRight)
        layout->addWidget(FUpDown);
}

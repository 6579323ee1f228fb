#include "VQSpin.h"

#include <QHBoxLayout>

#include <algorithm>

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

void TNumericEdit::KeyPress(QChar &Key) {
    const bool minusAllowed = FSpinEdit->FMinValue < 0 && (text().isEmpty() || hasSelectedText());
    if (!(Key.isDigit() && Key.unicode() < 128) && Key.unicode() >= 32 && !(Key == '-' && minusAllowed))
        Key = QChar();
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
    FUpDown->OnClick = [this](QObject *, TUDBtnType Button) {
        FEdit->setCursorPosition(int(FEdit->text().size()));
        if (OnClick)
            OnClick(this, Button);
    };
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setFocusProxy(FEdit);
    Arrange();
    SetAutoSize(true);
}

QString TCustomVQSpinEdit::Text() const { return FEdit->text(); }

int32_t TCustomVQSpinEdit::Value() const {
    const QString text = Text();
    if (text.isEmpty())
        return 0;
    bool ok = false;
    const int32_t value = text.toInt(&ok, 10);
    if (!ok)
        return text.startsWith('-') ? FMinValue : FMaxValue;
    if (value > FMaxValue)
        return FMaxValue;
    if (value < FMinValue)
        return FMinValue;
    return value;
}

bool TCustomVQSpinEdit::TextIsCorrect() const {
    bool ok = false;
    const int32_t value = FEdit->text().toInt(&ok, 10);
    return ok && value >= FMinValue && value <= FMaxValue;
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
    if (Value == FMinValue)
        return;
    if (this->Value() < Value)
        SetValue(Value);
    FMinValue = Value;
    FUpDown->SetRange(FMinValue, FMaxValue);
}

void TCustomVQSpinEdit::SetMaxValue(int32_t Value) {
    Value = std::min(Value, MaxValueLimit);
    if (Value == FMaxValue)
        return;
    if (this->Value() > Value)
        SetValue(Value);
    FMaxValue = Value;
    FUpDown->SetRange(FMinValue, FMaxValue);
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

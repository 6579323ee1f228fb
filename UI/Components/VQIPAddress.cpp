#include "VQIPAddress.h"

#include <QClipboard>
#include <QHBoxLayout>

#include <bit>

uint32_t NMLToMask(int NML) {
    if (NML <= 0)
        return 0;
    return NML >= 32 ? 0xFFFFFFFFu : ~0u << (32 - NML);
}

int MaskToNML(uint32_t Mask) { return Mask ? 32 - std::countr_zero(Mask) : 0; }

bool IsValidMask(uint32_t Mask) { return Mask != 0 && Mask != 0xFFFFFFFFu && (~Mask & (0u - Mask)) == 0; }

// ---- TIPAddressItemEdit ----

TIPAddressItemEdit::TIPAddressItemEdit(TCustomVQIPAddress *Owner, int Index)
    : TEdit(Owner), FOwner(Owner), FIndex(Index) {
    SetOwner(Owner);
    setFrame(false);
    setAlignment(Qt::AlignCenter);
    SetIPVersion(ivIPv4);
}

void TIPAddressItemEdit::SetIPVersion(TIPVersion Value) {
    FIPVersion = Value;
    SetMaxLength(Value == ivIPv4 ? 3 : 4);
}

void TIPAddressItemEdit::CopyToClipboard() {
    if (hasSelectedText())
        TEdit::CopyToClipboard();
    else
        FOwner->CopyToClipboard();
}

void TIPAddressItemEdit::CutToClipboard() {
    if (hasSelectedText())
        TEdit::CutToClipboard();
    else
        FOwner->CutToClipboard();
}

void TIPAddressItemEdit::Change() {
    TEdit::Change();
    FOwner->FieldChanged(FIndex);
}

void TIPAddressItemEdit::KeyDown(int &Key, Qt::KeyboardModifiers Shift) {
    TEdit::KeyDown(Key, Shift);
    if (Shift & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))
        return;
    const int last = FOwner->FieldCount() - 1;
    const bool atStart = cursorPosition() == 0 && !hasSelectedText();
    const bool atEnd = cursorPosition() == text().size() && !hasSelectedText();
    switch (Key) {
    case Qt::Key_Backspace:
    case Qt::Key_Left:
        if (atStart && FIndex > 0) {
            FOwner->FocusField(FIndex - 1, TCustomVQIPAddress::caEnd);
            Key = 0;
        }
        break;
    case Qt::Key_Right:
        if (atEnd && FIndex < last) {
            FOwner->FocusField(FIndex + 1, TCustomVQIPAddress::caStart);
            Key = 0;
        }
        break;
    case Qt::Key_Home:
        FOwner->FocusField(0, TCustomVQIPAddress::caStart);
        Key = 0;
        break;
    case Qt::Key_End:
        FOwner->FocusField(last, TCustomVQIPAddress::caEnd);
        Key = 0;
        break;
    default:
        break;
    }
}

bool TIPAddressItemEdit::IsFieldChar(QChar Char) const {
    const char16_t c = Char.unicode();
    return (c >= '0' && c <= '9') ||
           (FIPVersion == ivIPv6 && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
}

bool TIPAddressItemEdit::IsFieldNumber(const QString &Text) const {
    return !Text.isEmpty() && std::all_of(Text.begin(), Text.end(), [this](QChar c) { return IsFieldChar(c); });
}

bool TIPAddressItemEdit::AdmitChar(QChar &Char, qsizetype) const {
    Char = Char.toUpper();
    return IsFieldChar(Char);
}

void TIPAddressItemEdit::KeyPress(QChar &Key) {
    if (Key == '.' || Key == ':') {
        SeparatorTyped();
        Key = QChar();
    }
    TEdit::KeyPress(Key);
}

void TIPAddressItemEdit::SeparatorTyped() {
    if (FIPVersion == ivIPv6 && text().isEmpty() && !isReadOnly())
        setText(QStringLiteral("0000"));
    if (!text().isEmpty() && !hasSelectedText() && FIndex < FOwner->FieldCount() - 1)
        FOwner->FocusField(FIndex + 1, TCustomVQIPAddress::caSelectAll);
}

bool TIPAddressItemEdit::KeyToParent(int Key, Qt::KeyboardModifiers) const {
    return Key == Qt::Key_Return || Key == Qt::Key_Enter || Key == Qt::Key_Escape || Key == Qt::Key_F2;
}

QString TIPAddressItemEdit::WouldRead(const QString &Text) const {
    QString result = text();
    int at = cursorPosition();
    if (hasSelectedText()) {
        at = selectionStart();
        result.remove(at, selectedText().size());
    }
    return result.insert(at, Text.left(maxLength() - result.size()));
}

void TIPAddressItemEdit::WidgetKeyPress(QKeyEvent *Event) {
    // The key's text is the one character that came through the field's rule.
    const QChar c = Event->text().isEmpty() ? QChar() : Event->text().at(0);
    const bool typed = IsFieldChar(c) && !isReadOnly();
    if (typed && FIPVersion == ivIPv4 && WouldRead(c).toInt() > 255)
        Event->accept(); // the field keeps its text and caret
    else
        TEdit::WidgetKeyPress(Event);
    if (typed && FIPVersion == ivIPv4 && text().size() == maxLength() && cursorPosition() == text().size() &&
        FIndex < FOwner->FieldCount() - 1)
        FOwner->FocusField(FIndex + 1, TCustomVQIPAddress::caSelectAll);
}

void TIPAddressItemEdit::PasteText(const QString &Text) {
    if (!IsFieldNumber(Text)) {
        FOwner->SetText(ToAnsi(Text.trimmed()));
        return;
    }
    if (FIPVersion == ivIPv4 && WouldRead(Text).toInt() > 255)
        return;
    TEdit::PasteText(Text);
}

// ---- TCustomVQIPAddress ----

TCustomVQIPAddress::TCustomVQIPAddress(QWidget *Parent) : TControlOf<QFrame>(Parent) {
    auto *layout = new QHBoxLayout(this);
    layout->setSpacing(0);
    QList<QWidget *> fields;
    for (int i = 0; i < MaxFields; ++i) {
        if (i > 0) {
            FSeparators[i - 1] = new QLabel(this);
            FSeparators[i - 1]->setAlignment(Qt::AlignCenter);
            FSeparators[i - 1]->setForegroundRole(QPalette::Text);
            layout->addWidget(FSeparators[i - 1]);
        }
        FFields[i] = new TIPAddressItemEdit(this, i);
        FFields[i]->SetName(QStringLiteral("Field%1").arg(i));
        layout->addWidget(FFields[i]);
        fields.append(FFields[i]);
    }
    JoinTabStop(this, fields);
    setFocusPolicy(Qt::ClickFocus);
    setFocusProxy(FFields[0]);
    SetBorderStyle(bsSingle);
    SetAutoSize(true);
    ApplyColor();
    ShowAddress();
}

int TCustomVQIPAddress::FieldCount() const {
    if (FIPVersion == ivIPv6)
        return 8;
    return FShortMask ? 5 : 4;
}

uint32_t TCustomVQIPAddress::IPv4() const { return FIPAddress.Version() == 4 ? FIPAddress.IPAddress().ip4 : 0; }

void TCustomVQIPAddress::TakeAddress() {
    if (FIPAddress.Version() == 4)
        FIPVersion = ivIPv4;
    else if (FIPAddress.Version() == 6)
        FIPVersion = ivIPv6;
    ShowAddress();
}

void TCustomVQIPAddress::SetIPv4(uint32_t Value) {
    FIPAddress.SetIPAddress(IPRecFromIPv4(Value));
    TakeAddress();
}

void TCustomVQIPAddress::SetIP(const TIPAddress &Value) {
    FIPAddress.Assign(&Value);
    if (Value.Version() == 4)
        FShortMask = Value.IsShortMask();
    TakeAddress();
}

void TCustomVQIPAddress::SetIPRec(const TIPAddressRec &Value) {
    FIPAddress.SetIPAddress(Value);
    TakeAddress();
}

void TCustomVQIPAddress::SetText(const AnsiString &Value) {
    TIPAddress parsed;
    parsed.SetAsAnsiString(Value);
    if (parsed.IsError())
        return;
    const int family = FIPVersion == ivIPv4 ? 4 : 6;
    if (parsed.Version() != 0 && parsed.Version() != family)
        return;
    FIPAddress.Assign(&parsed);
    if (FIPVersion == ivIPv4)
        FShortMask = parsed.IsShortMask();
    ShowAddress();
}

void TCustomVQIPAddress::SetIPVersion(TIPVersion Value) {
    if (Value == FIPVersion)
        return;
    FIPVersion = Value;
    FIPAddress.Clear();
    ShowAddress();
}

void TCustomVQIPAddress::SetShortMask(bool Value) {
    if (FIPVersion != ivIPv4 || Value == FShortMask)
        return;
    FShortMask = Value;
    ShowAddress();
}

void TCustomVQIPAddress::SetNullAsEmpty(bool Value) {
    if (Value == FNullAsEmpty)
        return;
    FNullAsEmpty = Value;
    ShowAddress();
}

void TCustomVQIPAddress::SetReadOnly(bool Value) {
    FReadOnly = Value;
    for (TIPAddressItemEdit *field : FFields)
        field->SetReadOnly(Value);
    update();
}

void TCustomVQIPAddress::SetAutoSize(bool Value) {
    FAutoSize = Value;
    setSizePolicy(Value ? QSizePolicy::Fixed : QSizePolicy::Preferred, Value ? QSizePolicy::Fixed : QSizePolicy::Preferred);
}

void TCustomVQIPAddress::SetBorderStyle(TBorderStyle Value) {
    FBorderStyle = Value;
    const int frame = Value == bsSingle ? style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 1 : 1;
    layout()->setContentsMargins(frame, frame, frame, frame);
    update();
}

void TCustomVQIPAddress::SetEnabledColor(const QColor &Value) {
    FEnabledColor = Value;
    ApplyColor();
}

void TCustomVQIPAddress::SetDisabledColor(const QColor &Value) {
    FDisabledColor = Value;
    ApplyColor();
}

void TCustomVQIPAddress::ApplyColor() {
    const QPalette standard = QApplication::palette(this);
    const QColor color = isEnabled() ? (FEnabledColor.isValid() ? FEnabledColor : standard.color(QPalette::Active, QPalette::Base))
                                     : (FDisabledColor.isValid() ? FDisabledColor : standard.color(QPalette::Active, QPalette::Window));
    QPalette palette = this->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Base, color);
    setPalette(palette);
}

void TCustomVQIPAddress::changeEvent(QEvent *Event) {
    if (Event->type() == QEvent::EnabledChange)
        ApplyColor();
    else if (Event->type() == QEvent::FontChange)
        ArrangeFields();
    TControlOf<QFrame>::changeEvent(Event);
}

void TCustomVQIPAddress::ArrangeFields() {
    const int count = FieldCount();
    const QFontMetrics metrics(font());
    const int width = metrics.horizontalAdvance(FIPVersion == ivIPv4 ? QStringLiteral("000") : QStringLiteral("DDDD")) + 6;
    for (int i = 0; i < MaxFields; ++i) {
        FFields[i]->SetIPVersion(FIPVersion);
        FFields[i]->setFixedWidth(width);
        FFields[i]->setVisible(i < count);
        if (i >= count)
            FFields[i]->clear();
        if (i > 0) {
            const QString separator = FIPVersion == ivIPv6 ? QStringLiteral(":")
                                      : (FShortMask && i == 4) ? QStringLiteral("/") : QStringLiteral(".");
            FSeparators[i - 1]->setText(separator);
            FSeparators[i - 1]->setFixedWidth(metrics.horizontalAdvance(separator) + 2);
            FSeparators[i - 1]->setVisible(i < count);
        }
    }
}

void TCustomVQIPAddress::ShowAddress() {
    const bool wasSetting = FSettingValue;
    FSettingValue = true;
    ArrangeFields();
    const int count = FieldCount();
    if (IsEmptyIPRec(FIPAddress.IPAddress())) {
        for (int i = 0; i < count; ++i)
            FFields[i]->setText(FNullAsEmpty ? QString() : QStringLiteral("0"));
    } else if (FIPAddress.Version() == 4) {
        for (int i = 0; i < 4; ++i)
            FFields[i]->setText(QString::number(FIPAddress.GetIPv4(i)));
        if (FShortMask)
            FFields[4]->setText(QString::number(FIPAddress.ShortMask()));
    } else {
        for (int i = 0; i < 8; ++i)
            FFields[i]->setText(QStringLiteral("%1").arg(FIPAddress.GetIPv6(i), 4, 16, QLatin1Char('0')).toUpper());
    }
    FSettingValue = wasSetting;
    if (!wasSetting && OnChange)
        OnChange(this);
    update();
}

void TCustomVQIPAddress::FieldChanged(int Index) {
    if (FSettingValue)
        return;
    const int family = FIPVersion == ivIPv4 ? 4 : 6;
    if (FIPAddress.Version() != family)
        FIPAddress.SetVersion(family);
    const QString text = FFields[Index]->text();
    bool ok = false;
    if (FIPVersion == ivIPv4) {
        const int value = text.toInt(&ok, 10);
        if (Index < 4)
            FIPAddress.SetIPv4(Index, int16_t(ok ? value : 0));
        else
            FIPAddress.SetShortMask(ok ? value : 0);
    } else {
        const uint value = text.toUInt(&ok, 16);
        FIPAddress.SetIPv6(Index, uint16_t(ok ? value : 0));
    }
    if (text.isEmpty()) {
        bool allEmpty = true;
        for (int i = 0; i < FieldCount(); ++i)
            allEmpty = allEmpty && FFields[i]->text().isEmpty();
        if (allEmpty)
            FIPAddress.Clear();
    }
    if (OnChange)
        OnChange(this);
    if (OnChangeEx)
        OnChangeEx(this, Index, text);
}

void TCustomVQIPAddress::FocusField(int Index, TCaret Caret) {
    TIPAddressItemEdit *field = FFields[Index];
    field->setFocus(Qt::OtherFocusReason);
    switch (Caret) {
    case caStart:
        field->setCursorPosition(0);
        break;
    case caEnd:
        field->setCursorPosition(int(field->text().size()));
        break;
    case caSelectAll:
        field->selectAll();
        break;
    }
}

bool TCustomVQIPAddress::IsValidText(bool AllowNull) const {
    QString joined;
    bool allEmpty = true;
    for (int i = 0; i < FieldCount(); ++i) {
        if (i > 0)
            joined += FSeparators[i - 1]->text();
        joined += FFields[i]->text();
        allEmpty = allEmpty && FFields[i]->text().isEmpty();
    }
    TIPAddress parsed;
    parsed.SetAsAnsiString(allEmpty ? AnsiString() : ToAnsi(joined));
    if (parsed.IsError())
        return false;
    return AllowNull || !IsEmptyIPRec(parsed.IPAddress());
}

void TCustomVQIPAddress::CopyToClipboard() { QGuiApplication::clipboard()->setText(FromAnsi(Text())); }

void TCustomVQIPAddress::CutToClipboard() {
    CopyToClipboard();
    if (FReadOnly)
        return;
    FIPAddress.Clear();
    ShowAddress();
}

void TCustomVQIPAddress::PasteFromClipboard() {
    if (!FReadOnly)
        SetText(ToAnsi(QGuiApplication::clipboard()->text().trimmed()));
}

void TCustomVQIPAddress::paintEvent(QPaintEvent *) { PaintEditPanel(this, FBorderStyle == bsSingle, FReadOnly); }

// ---- TCustomVQIPMask ----

TCustomVQIPMask::TCustomVQIPMask(QWidget *Parent)
    : TControlOf<QWidget>(Parent), FEdit(new TVQIPAddress(this)), FUpDown(new TUpDown(this)) {
    FEdit->SetOwner(this);
    FUpDown->SetOwner(this);
    FEdit->SetName(QStringLiteral("Edit"));
    FUpDown->SetName(QStringLiteral("UpDown"));
    FEdit->SetNullAsEmpty(false);
    FUpDown->SetOrientation(udHorizontal);
    FUpDown->setFixedWidth(24);
    FUpDown->setFocusPolicy(Qt::NoFocus); // the arrow keys reach it through the editor
    FUpDown->SetRange(1, 31);
    FUpDown->SetPosition(24);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(FEdit);
    layout->addWidget(FUpDown);
    layout->addStretch();
    // So that a tab order can name the control; set before the proxy, which
    // would hand the editor's click-only policy on to its first field, the tab stop.
    setFocusPolicy(FEdit->focusPolicy());
    setFocusProxy(FEdit);
    Synchronize();
    FEdit->OnChange = [this](QObject *) { EditChanged(); };
    FEdit->OnExit = [this](QObject *) { Synchronize(); };
    FUpDown->OnClick = [this](QObject *, TUDBtnType) { Synchronize(); };
}

int TCustomVQIPMask::NML() const { return FUpDown->Position(); }

void TCustomVQIPMask::SetNML(int Value) {
    FUpDown->SetPosition(Value);
    Synchronize();
}

int TCustomVQIPMask::MinNML() const { return FUpDown->Min(); }

void TCustomVQIPMask::SetMinNML(int Value) {
    if (Value < 0 || Value > 32)
        throw Exception(QStringLiteral("%1 is not a valid value for minimum NML. The allowed range is 0 to 32").arg(Value));
    FUpDown->SetRange(Value, FUpDown->Max());
}

int TCustomVQIPMask::MaxNML() const { return FUpDown->Max(); }

void TCustomVQIPMask::SetMaxNML(int Value) {
    if (Value < 0 || Value > 32)
        throw Exception(QStringLiteral("%1 is not a valid value for maximum NML. The allowed range is 0 to 32").arg(Value));
    FUpDown->SetRange(FUpDown->Min(), Value);
}

int TCustomVQIPMask::ButtonsWidth() const { return FUpDown->width(); }

void TCustomVQIPMask::SetButtonsWidth(int Value) { FUpDown->setFixedWidth(Value); }

TUDOrientation TCustomVQIPMask::ButtonsOrientation() const { return FUpDown->Orientation(); }

void TCustomVQIPMask::SetButtonsOrientation(TUDOrientation Value) { FUpDown->SetOrientation(Value); }

void TCustomVQIPMask::SetReadOnly(bool Value) {
    FEdit->SetReadOnly(Value);
    FUpDown->SetEnabled(!Value);
}

bool TCustomVQIPMask::IsValidText(bool AllowNull) const {
    return FEdit->IsValidText(AllowNull) && FEdit->IPv4() == NMLToMask(NML());
}

void TCustomVQIPMask::EditChanged() {
    if (FInSynchronizeValues)
        return;
    const int nml = std::max(std::min(MaskToNML(FEdit->IPv4()), MaxNML()), MinNML());
    FUpDown->SetPosition(nml);
    if (OnChange)
        OnChange(this);
}

void TCustomVQIPMask::Synchronize() {
    FInSynchronizeValues = true;
    const uint32_t shown = FEdit->IPv4();
    const uint32_t mask = NMLToMask(FUpDown->Position());
    FEdit->SetIPv4(mask);
    if (shown != mask && !IsValidMask(shown) && shown != 0 && shown != 0xFFFFFFFFu && OnInvalidMaskChange)
        OnInvalidMaskChange(this, shown, mask);
    FInSynchronizeValues = false;
    if (OnChange)
        OnChange(this);
}

void TCustomVQIPMask::keyPressEvent(QKeyEvent *Event) {
    if ((Event->key() == Qt::Key_Up || Event->key() == Qt::Key_Down) && FUpDown->isEnabled()) {
        FUpDown->Step(Event->key() == Qt::Key_Up ? btNext : btPrev);
        Event->accept();
        return;
    }
    TControlOf<QWidget>::keyPressEvent(Event);
}

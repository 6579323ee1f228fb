#include "IPAddressEditors.h"

#include <QHBoxLayout>

namespace {

bool IsByteText(const QString &Text) {
    if (Text.isEmpty())
        return true;
    if (!std::all_of(Text.begin(), Text.end(), [](QChar c) { return c >= '0' && c <= '9'; }))
        return false;
    return Text.toInt() < 256;
}

// A decimal integer: an optional sign, then digits.
bool ReadDecimal(const QString &Text, int &Value) {
    const qsizetype digits = (Text.startsWith('+') || Text.startsWith('-')) ? 1 : 0;
    if (Text.size() == digits ||
        !std::all_of(Text.begin() + digits, Text.end(), [](QChar c) { return c >= '0' && c <= '9'; }))
        return false;
    Value = Text.toInt();
    return true;
}

// The sunken edit panel behind the fields.
class TEditPanel : public QFrame {
public:
    using QFrame::QFrame;

protected:
    void paintEvent(QPaintEvent *) override { PaintEditPanel(this, true, false); }
};

// A dot between two fields; a click goes to the end of the field left of it.
class TDot : public QLabel {
public:
    TDot(QWidget *Parent, std::function<void()> Clicked) : QLabel(QStringLiteral("."), Parent), FClicked(std::move(Clicked)) {
        setAlignment(Qt::AlignCenter);
        setForegroundRole(QPalette::Text);
    }

protected:
    void mousePressEvent(QMouseEvent *) override { FClicked(); }

private:
    std::function<void()> FClicked;
};

} // namespace

// One field of TIPAddressEdit.
class TIPAddressTriplet : public TEdit {
public:
    TIPAddressTriplet(TIPAddressEdit *Editor, int Index) : TEdit(Editor->FPanel), FEditor(Editor) {
        SetTag(Index);
        SetOwner(Editor);
        SetName(QStringLiteral("Triplet%1").arg(Index));
        SetMaxLength(3);
        setFrame(false);
        setAlignment(Qt::AlignCenter);
    }

protected:
    void Change() override {
        TEdit::Change();
        FEditor->TripletChanged(Tag());
    }

    bool AdmitChar(QChar &Char, qsizetype) const override { return Char >= '0' && Char <= '9'; }

    void keyPressEvent(QKeyEvent *Event) override {
        int key = Event->key();
        if (key == Qt::Key_Shift || key == Qt::Key_Control) {
            Event->ignore();
            return;
        }
        const Qt::KeyboardModifiers modifiers = Event->modifiers();
        if (FEditor->OnKeyDown) {
            FEditor->OnKeyDown(FEditor, key, modifiers);
            if (key == 0) {
                Event->accept();
                return;
            }
        }
        const int index = Tag();
        const int caret = cursorPosition();
        const bool keypad = modifiers & Qt::KeypadModifier;
        const bool plain = !(modifiers & (Qt::ShiftModifier | Qt::AltModifier | Qt::ControlModifier));
        const bool digit = key >= Qt::Key_0 && key <= Qt::Key_9;
        const bool dot = key == Qt::Key_Period || key == Qt::Key_Space || (keypad && key == Qt::Key_Comma);
        Event->accept();
        if (key == Qt::Key_Right && caret == text().size() && index < 3) {
            FEditor->FocusTriplet(index + 1, 0);
        } else if (key == Qt::Key_Left && caret == 0 && index > 0) {
            FEditor->FocusTriplet(index - 1, -1);
        } else if (key == Qt::Key_Backspace && caret == 0 && !hasSelectedText() && index > 0) {
            FEditor->FocusTriplet(index - 1, -1);
            FEditor->FTriplets[index - 1]->backspace();
        } else if (dot && plain) {
            if (!text().isEmpty()) {
                FEditor->FocusTriplet((index + 1) % 4, 0);
                FEditor->FTriplets[(index + 1) % 4]->selectAll();
            }
        } else if (plain && (digit || key == Qt::Key_Backspace || key == Qt::Key_Delete)) {
            WidgetKeyPress(Event);
            if (digit && (FEditor->FIPEditOptions & ipeoAutoSelectNextByte) && index < 3 && text().size() == 3 &&
                cursorPosition() == 3) {
                FEditor->FocusTriplet(index + 1, 0);
                FEditor->FTriplets[index + 1]->selectAll();
            }
        } else {
            // Any other key may move the caret or copy, but never change the text.
            const bool readOnly = isReadOnly();
            setReadOnly(true);
            WidgetKeyPress(Event);
            setReadOnly(readOnly);
        }
    }

private:
    TIPAddressEdit *FEditor;
};

TIPAddressEdit::TIPAddressEdit(QWidget *Parent) : TControlOf<QWidget>(Parent), FPanel(new TEditPanel(this)) {
    auto *outer = new QHBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(FPanel);
    auto *layout = new QHBoxLayout(FPanel);
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 1;
    layout->setContentsMargins(frame, frame, frame, frame);
    layout->setSpacing(0);
    QList<QWidget *> triplets;
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            FDots[i - 1] = new TDot(FPanel, [this, i] { FocusTriplet(i - 1, -1); });
            layout->addWidget(FDots[i - 1]);
        }
        FTriplets[i] = new TIPAddressTriplet(this, i);
        layout->addWidget(FTriplets[i]);
        triplets.append(FTriplets[i]);
    }
    JoinTabStop(this, triplets);
    // Installed after the tab stop's filter, so that OnKeyDown sees Tab before it acts.
    for (TIPAddressTriplet *triplet : FTriplets)
        triplet->installEventFilter(this);
    setFocusProxy(FTriplets[0]);
    setFocusPolicy(FTriplets[0]->focusPolicy()); // so that a tab order can name the control
    AdjustToFont();
}

TEdit *TIPAddressEdit::Triplet(int Index) const { return FTriplets[Index]; }

uint32_t TIPAddressEdit::IP() const {
    uint32_t ip = 0;
    for (const TIPAddressTriplet *triplet : FTriplets) {
        bool ok = false;
        const int value = triplet->text().toInt(&ok, 10);
        ip = (ip << 8) | uint32_t(ok ? value & 0xFF : 0);
    }
    return ip;
}

void TIPAddressEdit::SetIP(uint32_t Value) {
    for (int i = 0; i < 4; ++i) {
        const uint32_t byte = (Value >> (8 * (3 - i))) & 0xFF;
        FTriplets[i]->setText(Value ? QString::number(byte)
                                    : (FIPEditOptions & ipeoAllowZeroIP) ? QStringLiteral("0") : QString());
    }
}

QString TIPAddressEdit::Text() const {
    if (IP() == 0)
        return (FIPEditOptions & ipeoAllowZeroIP) ? QStringLiteral("0.0.0.0") : QString();
    QStringList parts;
    for (const TIPAddressTriplet *triplet : FTriplets)
        parts.append(triplet->text());
    return parts.join('.');
}

void TIPAddressEdit::SetText(const QString &Value) {
    const QString trimmed = Value.trimmed();
    SetIP(trimmed.isEmpty() || trimmed == QStringLiteral("0") ? 0 : StrToIP(Value));
    FTriplets[0]->selectAll();
    if (OnChange)
        OnChange(this);
}

void TIPAddressEdit::SetIPEditOptions(TIPEditOptions Value) {
    if (Value == FIPEditOptions)
        return;
    FIPEditOptions = Value;
    SetIP(IP());
    AdjustToFont();
}

uint32_t TIPAddressEdit::StrToIP(const QString &Text) {
    if (Text.size() >= 16)
        throw EIPAddressEditorError(QStringLiteral("IP Address string is too long"));
    if (Text.count('.') != 3)
        throw EIPAddressEditorError(QStringLiteral("Invalid IP Address string format"));
    const QStringList parts = Text.split('.');
    for (const QString &part : parts) {
        if (part.isEmpty() || part.size() > 3)
            throw EIPAddressEditorError(QStringLiteral("Invalid IP Address string format"));
        if (part.size() > 1 && part.startsWith('0'))
            throw EIPAddressEditorError(QStringLiteral("Leading zero is not allowed in IP Address"));
    }
    uint32_t ip = 0;
    for (const QString &part : parts) {
        int value = 0;
        if (!ReadDecimal(part, value))
            throw EIPAddressEditorError(QStringLiteral("IP Address contains illegal symbols. IP Address String is \"%1\"").arg(Text));
        if (value < 0 || value > 255)
            throw EIPAddressEditorError(QStringLiteral("Triplets must be of range 0..255 in IP Address String \"%1\"").arg(Text));
        ip = (ip << 8) | uint32_t(value);
    }
    return ip;
}

void TIPAddressEdit::TripletChanged(int Index) {
    TIPAddressTriplet *triplet = FTriplets[Index];
    const QString text = triplet->text();
    if (IsByteText(text)) {
        if (OnChange)
            OnChange(this);
        return;
    }
    QString corrected = text;
    if (OnInvalidByteEnter)
        OnInvalidByteEnter(corrected, uint8_t(Index));
    else
        corrected = text.mid(1);
    if (!IsByteText(corrected))
        corrected = QStringLiteral("0");
    triplet->setText(corrected);
    triplet->setCursorPosition(2);
}

void TIPAddressEdit::FocusTriplet(int Index, int Caret) {
    FTriplets[Index]->setFocus(Qt::OtherFocusReason);
    FTriplets[Index]->setCursorPosition(Caret < 0 ? int(FTriplets[Index]->text().size()) : Caret);
}

void TIPAddressEdit::AdjustToFont() {
    const bool adjust = FIPEditOptions & ipeoAutoAjustToFontSize;
    const QFontMetrics metrics(font());
    const int width = metrics.horizontalAdvance(QStringLiteral("000")) + 6;
    for (TIPAddressTriplet *triplet : FTriplets) {
        triplet->setMinimumWidth(width);
        triplet->setMaximumWidth(adjust ? width : QWIDGETSIZE_MAX);
    }
    setSizePolicy(adjust ? QSizePolicy::Fixed : QSizePolicy::Preferred, QSizePolicy::Fixed);
    updateGeometry();
}

bool TIPAddressEdit::eventFilter(QObject *, QEvent *Event) {
    if (Event->type() != QEvent::KeyPress || !OnKeyDown)
        return false;
    const auto *press = static_cast<QKeyEvent *>(Event);
    const Qt::KeyboardModifiers modifiers = press->modifiers();
    // Tab and Shift+Tab move the focus before a triplet's key handling could see
    // them; OnKeyDown gets them first, Shift+Tab as Tab with Shift.
    const bool tab = press->key() == Qt::Key_Tab || press->key() == Qt::Key_Backtab;
    if (!tab || (modifiers & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    int key = Qt::Key_Tab;
    OnKeyDown(this, key, modifiers);
    return key == 0;
}

void TIPAddressEdit::changeEvent(QEvent *Event) {
    if (Event->type() == QEvent::FontChange && (FIPEditOptions & ipeoAutoAjustToFontSize))
        AdjustToFont();
    TControlOf<QWidget>::changeEvent(Event);
}

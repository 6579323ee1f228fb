#pragma once
// The IP address editor (one small edit per address group over a TIPAddress
// value) and the subnet mask editor (an address editor and a counter holding
// the prefix length, called NML, that follow each other).

#include "VQControls.h"
#include "VQIPAddressUtils.h"

#include <cstdint>

enum TIPVersion { ivIPv4, ivIPv6 };

// FieldIndex is the field that changed, Value its text.
using TChangeEvent = std::function<void(QObject *Sender, int FieldIndex, const QString &Value)>;
using TInvalidMaskChangeEvent = std::function<void(QObject *Sender, uint32_t InvalidMask, uint32_t NewMask)>;

// The mask of a prefix length: the top NML bits set (0 gives 0).
uint32_t NMLToMask(int NML);
// 32 minus the zero bits below the lowest set bit; the mask 0 gives 0.
int MaskToNML(uint32_t Mask);
// Neither 0 nor all bits set, and the set bits contiguous from the top.
bool IsValidMask(uint32_t Mask);

class TCustomVQIPAddress;

// One field: decimal octets (and the prefix length) for IPv4, hexadecimal groups for IPv6.
class TIPAddressItemEdit : public TEdit {
    Q_OBJECT
public:
    TIPAddressItemEdit(TCustomVQIPAddress *Owner, int Index);

    TIPVersion IPVersion() const { return FIPVersion; }
    // The maximum length follows: 3 for IPv4, 4 for IPv6.
    void SetIPVersion(TIPVersion Value);

    // With nothing selected these act on the whole address.
    void CopyToClipboard() override;
    void CutToClipboard() override;

protected:
    void Change() override;
    // The field's digits, shown in upper case.
    bool AdmitChar(QChar &Char, qsizetype Index) const override;
    bool CanCopy() const override { return true; }
    void KeyDown(int &Key, Qt::KeyboardModifiers Shift) override;
    void KeyPress(QChar &Key) override;
    bool KeyToParent(int Key, Qt::KeyboardModifiers Shift) const override;
    void WidgetKeyPress(QKeyEvent *Event) override;
    // A number goes into the field; any other text into the whole address.
    void PasteText(const QString &Text) override;

private:
    bool IsFieldChar(QChar Char) const;
    bool IsFieldNumber(const QString &Text) const;
    // The text that typing or pasting Text would leave, within the maximum length.
    QString WouldRead(const QString &Text) const;
    void SeparatorTyped();

    TCustomVQIPAddress *FOwner;
    int FIndex;
    TIPVersion FIPVersion = ivIPv4;
};

class TCustomVQIPAddress : public TControlOf<QFrame> {
    Q_OBJECT
    // For tools that know controls only through Qt (the host's automation).
    Q_PROPERTY(QString text READ DisplayText)
    Q_PROPERTY(bool readOnly READ ReadOnly)
public:
    explicit TCustomVQIPAddress(QWidget *Parent = nullptr);

    // Every change of the value, by the program or in a field.
    TNotifyEvent OnChange;
    // A change in a field, after OnChange.
    TChangeEvent OnChangeEx;

    // The text of the stored address. Writing a text that does not parse, or
    // that holds an address of the other family, changes nothing; the empty
    // text clears the address. A prefix length in the text sets ShortMask.
    AnsiString Text() const { return FIPAddress.AsAnsiString(); }
    QString DisplayText() const { return FromAnsi(Text()); }
    void SetText(const AnsiString &Value);
    // The IPv4 value, 0 unless the address is an IPv4 one. Writing 0 empties the address.
    uint32_t IPv4() const;
    void SetIPv4(uint32_t Value);
    // Writing an address of the other family switches the family with it.
    const TIPAddress &IP() const { return FIPAddress; }
    void SetIP(const TIPAddress &Value);
    TIPAddressRec IPRec() const { return FIPAddress.IPAddress(); }
    void SetIPRec(const TIPAddressRec &Value);
    // A change clears the address.
    TIPVersion IPVersion() const { return FIPVersion; }
    void SetIPVersion(TIPVersion Value);
    // IPv4 only: a fifth field for the prefix length, after a "/".
    bool ShortMask() const { return FShortMask; }
    void SetShortMask(bool Value);
    // An empty address shows empty fields, or "0" in each.
    bool NullAsEmpty() const { return FNullAsEmpty; }
    void SetNullAsEmpty(bool Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    // The background while enabled and while disabled; invalid colours mean
    // the window colour and the parent's colour.
    QColor EnabledColor() const { return FEnabledColor; }
    void SetEnabledColor(const QColor &Value);
    QColor DisabledColor() const { return FDisabledColor; }
    void SetDisabledColor(const QColor &Value);

    // The fields' text is a valid address; an empty one only with AllowNull.
    bool IsValidText(bool AllowNull) const;

    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();

    int FieldCount() const;
    TIPAddressItemEdit *Field(int Index) const { return FFields[Index]; }

    bool IsComposite() const override { return true; }
    QString CompositeValue() const override { return DisplayText(); }

protected:
    void paintEvent(QPaintEvent *Event) override;
    void changeEvent(QEvent *Event) override;

private:
    friend class TIPAddressItemEdit;
    enum TCaret { caStart, caEnd, caSelectAll };

    void TakeAddress();
    // Writes the fields from the value; runs OnChange unless the control is writing already.
    void ShowAddress();
    void ArrangeFields();
    void FieldChanged(int Index);
    void FocusField(int Index, TCaret Caret);
    void ApplyColor();

    static constexpr int MaxFields = 8;
    TIPAddress FIPAddress;
    TIPVersion FIPVersion = ivIPv4;
    bool FShortMask = false;
    bool FNullAsEmpty = true;
    bool FReadOnly = false;
    bool FSettingValue = false;
    bool FAutoSize = true;
    TBorderStyle FBorderStyle = bsSingle;
    QColor FEnabledColor;
    QColor FDisabledColor;
    TIPAddressItemEdit *FFields[MaxFields];
    QLabel *FSeparators[MaxFields - 1];
};

class TVQIPAddress : public TCustomVQIPAddress {
    Q_OBJECT
public:
    using TCustomVQIPAddress::TCustomVQIPAddress;
};

class TCustomVQIPMask : public TControlOf<QWidget> {
    Q_OBJECT
    // As the address control's: the mask its editor shows.
    Q_PROPERTY(QString text READ DisplayText)
    Q_PROPERTY(bool readOnly READ ReadOnly)
public:
    explicit TCustomVQIPMask(QWidget *Parent = nullptr);

    TNotifyEvent OnChange;
    // Leaving a mask that is not valid replaced it with the prefix length's mask.
    TInvalidMaskChangeEvent OnInvalidMaskChange;

    // The prefix length. Writing keeps it within MinNML..MaxNML and rewrites the mask.
    int NML() const;
    void SetNML(int Value);
    // Outside 0 to 32 raises Exception.
    int MinNML() const;
    void SetMinNML(int Value);
    int MaxNML() const;
    void SetMaxNML(int Value);
    // The mask in the editor, as typed.
    uint32_t Mask() const { return FEdit->IPv4(); }
    QString DisplayText() const { return FEdit->DisplayText(); }

    int ButtonsWidth() const;
    void SetButtonsWidth(int Value);
    TUDOrientation ButtonsOrientation() const;
    void SetButtonsOrientation(TUDOrientation Value);
    QColor EnabledColor() const { return FEdit->EnabledColor(); }
    void SetEnabledColor(const QColor &Value) { FEdit->SetEnabledColor(Value); }
    QColor DisabledColor() const { return FEdit->DisabledColor(); }
    void SetDisabledColor(const QColor &Value) { FEdit->SetDisabledColor(Value); }
    bool ReadOnly() const { return FEdit->ReadOnly(); }
    void SetReadOnly(bool Value);
    bool AutoSize() const { return FEdit->AutoSize(); }
    void SetAutoSize(bool Value) { FEdit->SetAutoSize(Value); }

    // The editor's text is valid and holds exactly the mask of the prefix length.
    bool IsValidText(bool AllowNull) const;

    TVQIPAddress *Edit() const { return FEdit; }
    TUpDown *UpDown() const { return FUpDown; }

    bool IsComposite() const override { return true; }
    QString CompositeValue() const override { return FEdit->DisplayText(); }

protected:
    // Up and down in the editor step the counter.
    void keyPressEvent(QKeyEvent *Event) override;

private:
    void EditChanged();
    // Rewrites the mask from the prefix length.
    void Synchronize();

    TVQIPAddress *FEdit;
    TUpDown *FUpDown;
    bool FInSynchronizeValues = false;
};

class TVQIPMask : public TCustomVQIPMask {
    Q_OBJECT
public:
    using TCustomVQIPMask::TCustomVQIPMask;
};

#pragma once
// A simple IPv4 editor of four three-digit fields, with its own text parser.

#include "SysUtils.h"
#include "VQControls.h"

#include <cstdint>

// Raised by the text parser of TIPAddressEdit.
class EIPAddressEditorError : public Exception {
public:
    using Exception::Exception;
};

enum TIPEditOption {
    // Size the control and its fields from the font whenever the font changes.
    ipeoAutoAjustToFontSize = 0x1,
    // After the third digit at the end of field 0, 1 or 2, select the next field.
    ipeoAutoSelectNextByte = 0x2,
    // Show the address 0 as "0" in every field and as the text "0.0.0.0".
    ipeoAllowZeroIP = 0x4,
};
Q_DECLARE_FLAGS(TIPEditOptions, TIPEditOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TIPEditOptions)

// May correct the text of field byteNum that is not a number below 256.
using TInvalidByteEvent = std::function<void(QString &strInvalidByte, uint8_t byteNum)>;

class TIPAddressTriplet;

class TIPAddressEdit : public TControlOf<QWidget> {
    Q_OBJECT
public:
    explicit TIPAddressEdit(QWidget *Parent = nullptr);

    TInvalidByteEvent OnInvalidByteEnter;
    // Every accepted change of a field, and every Text write.
    TNotifyEvent OnChange;
    // OnKeyDown (inherited) runs for every key in a field but a plain Shift or Ctrl,
    // Tab and Shift+Tab included.

    // The fields joined with "."; for the address 0, "0.0.0.0" with ipeoAllowZeroIP, else empty.
    QString Text() const;
    // Blanks or "0" give the address 0; anything else goes through StrToIP, whose
    // error leaves the value as it was.
    void SetText(const QString &Value);
    // Field 0 is the most significant byte; a field that is not a number reads 0.
    uint32_t IP() const;
    void SetIP(uint32_t Value);
    TIPEditOptions IPEditOptions() const { return FIPEditOptions; }
    void SetIPEditOptions(TIPEditOptions Value);

    // Parses dotted decimal text; raises EIPAddressEditorError with the reason.
    static uint32_t StrToIP(const QString &Text);

    TEdit *Triplet(int Index) const;

protected:
    void changeEvent(QEvent *Event) override;
    // Runs OnKeyDown for Tab and Shift+Tab in a triplet.
    bool eventFilter(QObject *, QEvent *Event) override;

private:
    friend class TIPAddressTriplet;

    void TripletChanged(int Index);
    void FocusTriplet(int Index, int Caret);
    void AdjustToFont();

    TIPAddressTriplet *FTriplets[4];
    QLabel *FDots[3];
    QFrame *FPanel;
    TIPEditOptions FIPEditOptions = ipeoAutoAjustToFontSize | ipeoAutoSelectNextByte;
};

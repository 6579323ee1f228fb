#include "SIP_DeviceFrame.h"

#include "IPDomainUtils.h"
#include "StrictVQControls.h"
#include "VQIPAddress.h"
#include "VQMaskEdit.h"
#include "ui_SIP_DeviceFrame.h"

#include <QGridLayout>
#include <QPainter>

namespace {

constexpr const char *UnitPath = "UI\\AdminUI\\DevicePlugins\\CommonFrames\\SIP_DeviceFrame";

// What a SIP proxy password may hold. The stored punctuation ends in seven
// characters whose low bytes are what the set takes: 81, 1A, 92, 1E, 21, C6, 30.
const TEditorFilter &PasswordChars() {
    static const TEditorFilter chars(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789") +
        QStringLiteral(".,:;-_#*()'\"@&%/\\<>~+=?!\u0081\u201A\u0192\u201E\u2021\u02C6\u2030"));
    return chars;
}

// Text without the control characters and spaces at either end.
QString TrimBlanks(const QString &Text) {
    qsizetype first = 0, last = Text.size();
    while (first < last && Text.at(first).unicode() <= u' ')
        ++first;
    while (last > first && Text.at(last - 1).unicode() <= u' ')
        --last;
    return Text.sliced(first, last - first);
}

// The MAC edit's text with what is neither a hexadecimal digit nor a
// separator dropped (the mask leaves its place blank), in upper case.
QString HexMACText(const QString &Text) {
    QString hex;
    for (const QChar c : Text)
        if (c == u'-' || HexDigit(c) >= 0)
            hex += c.toUpper();
    return hex;
}

// Two links of a chain, one above the other, 16 x 36.
QPixmap ChainPicture() {
    QPixmap picture(16, 36);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x50, 0x50, 0x50), 2));
    painter.drawRoundedRect(QRectF(3, 1, 10, 20), 5, 5);
    painter.drawRoundedRect(QRectF(3, 15, 10, 20), 5, 5);
    return picture;
}

} // namespace

const TDeviceProxyClass &TSIPDeviceProxy::Class() {
    static const TDeviceProxyClassOf<TSIPDeviceProxy> cls("TSIPDeviceProxy", &TProfiledDeviceProxy::Class());
    return cls;
}

void TSIPDeviceProxy::InitializeFixed() {
    TProfiledDeviceProxy::InitializeFixed();
    Protocol = ptSIP;
}

void TSIPDeviceProxy::DoValidate() {
    TProfiledDeviceProxy::DoValidate();
    TProfileProxy *profile = ProfileProxy();
    Assert(profile != nullptr, UnitPath, __LINE__);
    if (SameMAC(MacAddress, EmptyMACAddress))
        AddError(InvalidMessage(QStringLiteral("MAC address")), dclError);
    if (Flags().Contains(pffRange) || !profile->GetsStaticIP())
        return;
    if (IsEmptyIPRec(AssignedIP))
        AddError(InvalidMessage(QStringLiteral("LAN IP address")), dclError);
    AnsiString reason;
    if (!ValidateHostIP(IPRecToIPv4(AssignedIP), reason))
        AddError(InvalidMessage(QStringLiteral("LAN IP address"), FromAnsi(reason)), dclError);
}

const TPluginDeviceFrameClass &TSIPDeviceFrame::Class() {
    static const TPluginDeviceFrameClassOf<TSIPDeviceFrame> cls("TSIPDeviceFrame", &TProfiledDeviceFrame::Class());
    return cls;
}

TSIPDeviceFrame::TSIPDeviceFrame(QWidget *AOwner, IPluginFrameContainer *Container, IDevicePluginModule *ModuleLink,
                                 TFrameLayout Layout)
    : TProfiledDeviceFrame(AOwner, Container, ModuleLink, Layout) {
    stMACAddress = LayoutControl<TLabel>("stMACAddress");
    edMACAddress = LayoutControl<TVQMaskEdit>("edMACAddress");
    stIP = LayoutControl<TLabel>("stIP");
    vqipIP = LayoutControl<TVQIPAddress>("vqipIP");
    stProxyPassword = LayoutControl<TLabel>("stProxyPassword");
    edProxyPassword = LayoutControl<TStrictEdit>("edProxyPassword");
    cbIDLinkedToMAC = LayoutControl<TCheckBox>("cbIDLinkedToMAC");
    imgChain = LayoutControl<TLabel>("imgChain");
    shpTop = LayoutControl<TPanel>("shpTop");
    shpVert = LayoutControl<TPanel>("shpVert");
    shpBottom = LayoutControl<TPanel>("shpBottom");
}

void TSIPDeviceFrame::LayOut(TFrame *Frame) { Ui::TSIPDeviceFrame().setupUi(Frame); }

TSIPDeviceProxy &TSIPDeviceFrame::DeviceProxy() const { return ProxyAs<TSIPDeviceProxy>(UnitPath, 141); }

TFrameHelper &TSIPDeviceFrame::Helper() const { return HelperAs<TFrameHelper>(UnitPath, 220); }

void TSIPDeviceFrame::MoveBottomControls(int Offset) {
    // The check box sits at the bottom of its row: a taller row moves it down.
    auto *rows = static_cast<QGridLayout *>(layout());
    int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
    rows->getItemPosition(rows->indexOf(cbIDLinkedToMAC), &row, &column, &rowSpan, &columnSpan);
    const int height = std::max(rows->rowMinimumHeight(row), cbIDLinkedToMAC->sizeHint().height());
    rows->setRowMinimumHeight(row, height + Offset);
}

void TSIPDeviceFrame::StartupControls() {
    TProfiledDeviceFrame::StartupControls();
    // Designer cannot reach the mask: the masked edit has no Qt property for it.
    edMACAddress->SetEditMask(QStringLiteral("AA\\-AA\\-AA\\-AA\\-AA\\-AA;1;_"));
    edMACAddress->SetMaxLength(17);
    edMACAddress->SetText(QStringLiteral("00-00-00-00-00-00"));
    edProxyPassword->SetEditorFilter(PasswordChars());
    edProxyPassword->SetUppercased({});
    edProxyPassword->SetMaxLength(31);
    imgChain->setPixmap(ChainPicture());

    cbIDLinkedToMAC->OnClick = std::bind_front(&TSIPDeviceFrame::cbIDLinkedToMACClick, this);
    edMACAddress->OnKeyPress = std::bind_front(&TSIPDeviceFrame::edMACAddressKeyPress, this);
    edMACAddress->OnChange = std::bind_front(&TSIPDeviceFrame::edMACAddressChange, this);
    vqipIP->OnChange = std::bind_front(&TSIPDeviceFrame::vqipIPChange, this);
    edProxyPassword->OnChange = std::bind_front(&TSIPDeviceFrame::edProxyPasswordChange, this);
}

void TSIPDeviceFrame::InitControls() {
    TProfiledDeviceFrame::InitControls();
    const TSIPDeviceProxy &proxy = DeviceProxy();
    const bool range = Flags().Contains(pffRange);
    edMACAddress->SetText(MACToText(proxy.MacAddress));
    if (range)
        SetIDLinkedToMAC(false);
    else if (Flags().Contains(pffCreating))
        SetIDLinkedToMAC(true);
    else
        SetIDLinkedToMAC(proxy.UniqueID.Text() == MACToHex(proxy.MacAddress));
    cbIDLinkedToMAC->SetVisible(!range);
    vqipIP->SetIPRec(proxy.AssignedIP);
    ShowControls({vqipIP, stIP}, !range);
    edProxyPassword->SetText(proxy.ProxyPassword.Text());
}

void TSIPDeviceFrame::EnDisableControls() {
    TProfiledDeviceFrame::EnDisableControls();
    const TProfileProxy *profile = DeviceProxy().ProfileProxy();
    Assert(profile != nullptr, UnitPath, 191);
    EnableControls({vqipIP, stIP}, profile->GetsStaticIP());
}

void TSIPDeviceFrame::SetIDLinkedToMAC(bool Linked) {
    fIDLinkedToMAC = Linked;
    const QString id = NormalizeMACText(edMACAddress->Text());
    if (Linked && edUniqueID->Text() != id) {
        DeviceProxy().UniqueID = TdpNameString::From(id);
        edUniqueID->SetText(id);
        ValidateSetModified();
    }
    EnableControls({edUniqueID, stUniqueID}, !Linked);
    cbIDLinkedToMAC->SetChecked(Linked);
    ShowControls({imgChain, shpTop, shpVert, shpBottom}, Linked);
    UpdateModified(true);
}

void TSIPDeviceFrame::cbIDLinkedToMACClick(QObject *) {
    if (cbIDLinkedToMAC->Checked() != fIDLinkedToMAC)
        SetIDLinkedToMAC(cbIDLinkedToMAC->Checked());
}

void TSIPDeviceFrame::edMACAddressKeyPress(QObject *, QChar &Key) {
    switch (Key.unicode()) {
    case 3: case 8: case 10: case 13: case 22: case 27: // copy, backspace, line feed, return, paste, escape
        return;
    }
    if (HexDigit(Key) < 0)
        Key = QChar();
    else
        Key = Key.toUpper();
}

void TSIPDeviceFrame::edMACAddressChange(QObject *) {
    // The key rule sees typed characters only: pasted, dropped or set text is
    // made hexadecimal here, so only such text reaches the rules below.
    if (const QString hex = HexMACText(edMACAddress->Text()); hex != edMACAddress->Text()) {
        edMACAddress->SetText(hex); // which comes back here
        return;
    }
    if (SilentMode())
        return;
    const bool valid = edMACAddress->IsValid();
    ProcessInputError(!valid, edMACAddress, InvalidMessage(QStringLiteral("MAC address")), dclError);
    if (valid) {
        DeviceProxy().MacAddress = TextToMAC(edMACAddress->Text());
        if (fIDLinkedToMAC)
            edUniqueID->SetText(NormalizeMACText(edMACAddress->Text()));
    }
    ValidateSetModified();
}

void TSIPDeviceFrame::vqipIPChange(QObject *) {
    Helper().vqipAddrChange(vqipIP, DeviceProxy().AssignedIP, QStringLiteral("LAN IP address"), true);
}

void TSIPDeviceFrame::edProxyPasswordChange(QObject *) {
    if (SilentMode())
        return;
    const TdpNameString value = TdpNameString::From(TrimBlanks(edProxyPassword->Text()));
    TSIPDeviceProxy &proxy = DeviceProxy();
    if (value == proxy.ProxyPassword)
        return;
    proxy.ProxyPassword = value;
    ValidateSetModified();
}

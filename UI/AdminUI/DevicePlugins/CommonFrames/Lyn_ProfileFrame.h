#pragma once
// The LYN family's profile frame: what the family's models share. A profile
// is read-only unless the user may edit it; the main SIP proxy is shown by
// where its address comes from; the open page of a page control is read and
// set as a path, which is how the host remembers it.

#include "DPFrameHelper.h"
#include "DPProfileFrame.h"
#include "Lyn_Proxies.h"

class TLabel;
class TPageControl;
class TVQSpinEdit;

class TLynProfileFrame : public TPluginProfileFrame {
    Q_OBJECT
public:
    static const TPluginProfileFrameClass &Class();
    static const TProfileProxyClass *GetProfileProxyClass() { return &TLynProfileProxy::Class(); }
    static const TBasicFrameHelperClass &GetHelperClass() { return TFrameHelper::Class(); }

    // The proxy as a TLynProfileProxy, the helper as a TFrameHelper; an
    // assertion failure when either is of another class.
    TLynProfileProxy &ProfileProxy() const;
    TFrameHelper &Helper() const;

    // The default profile, and every profile the user has no right to edit.
    bool IsReadOnly() const;

protected:
    using TPluginProfileFrame::TPluginProfileFrame;
    // After the inherited step a read-only profile makes every control read-only
    // or disabled; the enable rules that run later change enabled states only.
    void InitControls() override;

    // The controls of the main SIP proxy.
    struct TProxyControls {
        TEdit *Address;
        TVQSpinEdit *Port;
        TLabel *AddressLabel;
        TLabel *PortLabel;
    };
    // Shows the main proxy by its source: the phone system's SIP address and
    // port, the proxy's own address and port (the only ones that can be
    // edited), or the system's domain without a port. What is shown leaves the
    // proxy's own address and port alone.
    void ShowProxySource(const TProxyControls &Controls, const TSIPProxy &Proxy);

    // "<page control>.<page>.<caption>" of the open page.
    static QString GetPagePath(const TPageControl *Pages);
    // Opens the page the path's second part names when its tab is visible;
    // otherwise opens the first page and returns false.
    static bool SetPagePath(TPageControl *Pages, const QString &Path);
};

#include "Lyn_ProfileFrame.h"

#include "VQSpin.h"

namespace {

constexpr const char *UnitPath = "UI\\AdminUI\\DevicePlugins\\CommonFrames\\Lyn_ProfileFrame";

} // namespace

const TPluginProfileFrameClass &TLynProfileFrame::Class() {
    static const TPluginProfileFrameClassOf<TLynProfileFrame> cls("TLynProfileFrame", &TPluginProfileFrame::Class());
    return cls;
}

TLynProfileProxy &TLynProfileFrame::ProfileProxy() const { return ProxyAs<TLynProfileProxy>(UnitPath, 81); }

TFrameHelper &TLynProfileFrame::Helper() const { return HelperAs<TFrameHelper>(UnitPath, 94); }

bool TLynProfileFrame::IsReadOnly() const {
    uintptr_t rights = 0;
    return ProfileProxy().IsDefault || !GetServantValue(Container(), svEditRights, 0, rights) || rights != 1;
}

void TLynProfileFrame::InitControls() {
    TPluginProfileFrame::InitControls();
    if (IsReadOnly())
        SetControlsReadOnly(this, true);
}

void TLynProfileFrame::ShowProxySource(const TProxyControls &Controls, const TSIPProxy &Proxy) {
    const ProxySourceEnum source = Proxy.MainProxySource;
    EnableControls({Controls.Address, Controls.Port}, source == prsSpecifiedAddress);
    ShowControls({Controls.Port, Controls.PortLabel}, source != prsDomain);
    Controls.AddressLabel->SetCaption(source == prsDomain ? QStringLiteral("&Domain") : QStringLiteral("Proxy A&ddress"));

    // The controls show what the phones will use; the proxy keeps its own address.
    PushSilentMode(true);
    uintptr_t value = 0;
    switch (source) {
    case prsExternalAddress:
        Controls.Address->SetText(FromAnsi(
            IPToStr(GetServantValue(Container(), svSIPAddress, 0, value) ? uint32_t(value) : 0)));
        Controls.Port->SetValue(GetServantValue(Container(), svSIPPort, 0, value) ? int32_t(value) : 0);
        break;
    case prsSpecifiedAddress:
        Controls.Address->SetText(Proxy.MainProxy.URI.Text());
        Controls.Port->SetValue(Proxy.MainProxy.Port);
        break;
    case prsDomain:
        try {
            Controls.Address->SetText(GetServantText(Container(), svDomainName));
        } catch (...) {
            Controls.Address->SetText({});
        }
        break;
    }
    PopSilentMode();
}

QString TLynProfileFrame::GetPagePath(const TPageControl *Pages) {
    const TTabSheet *page = Pages->ActivePage();
    return QStringList{Pages->Name(), page ? page->Name() : QString(), page ? page->Caption() : QString()}.join(u'.');
}

bool TLynProfileFrame::SetPagePath(TPageControl *Pages, const QString &Path) {
    const QStringList parts = Path.split(u'.');
    if (parts.size() > 1)
        for (int i = 0; i < Pages->PageCount(); ++i)
            if (TTabSheet *page = Pages->Pages(i); page && page->Name() == parts[1] && page->TabVisible()) {
                Pages->SetActivePage(page);
                return true;
            }
    Pages->SetActivePageIndex(0);
    return false;
}

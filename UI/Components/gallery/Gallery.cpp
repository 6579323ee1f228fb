// Renders every input control in its typical states to PNG files, one sheet
// per control, so that a person can look at them: gallery [output folder].
#include "DialogPanel.h"
#include "IPAddressEditors.h"
#include "StrictVQControls.h"
#include "VQControls.h"
#include "VQDivider.h"
#include "VQIPAddress.h"
#include "VQMaskEdit.h"
#include "VQSpin.h"

#include <QApplication>
#include <QDir>
#include <QFormLayout>
#include <QTextStream>

#include <cstdio>
#include <functional>

namespace {

// A sheet of one control kind: one row per state, the state's name on the left.
class TSheet {
public:
    explicit TSheet(QString Name) : FName(std::move(Name)), FLayout(new QFormLayout(&FWidget)) {
        FWidget.setWindowTitle(FName);
        FWidget.setAutoFillBackground(true);
        FLayout->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    }

    template <class T>
    T *Row(const QString &State, const std::function<void(T *)> &Setup = {}) {
        auto *control = new T(&FWidget);
        if (Setup)
            Setup(control);
        FLayout->addRow(State, control);
        return control;
    }

    void AddRow(const QString &State, QWidget *Control) { FLayout->addRow(State, Control); }
    QWidget *Widget() { return &FWidget; }

    QString Save(const QDir &Folder) {
        FWidget.show();
        FWidget.adjustSize();
        const QString path = Folder.filePath(FName + ".png");
        FWidget.grab().save(path);
        return path;
    }

private:
    QString FName;
    QWidget FWidget;
    QFormLayout *FLayout;
};

void Disable(QWidget *Widget) { Widget->setEnabled(false); }

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QCoreApplication::applicationDirPath() + "/../gallery");
    folder.mkpath(QStringLiteral("."));
    QStringList written;

    {
        TSheet sheet("vqipaddress");
        sheet.Row<TVQIPAddress>("empty");
        sheet.Row<TVQIPAddress>("filled", [](auto *c) { c->SetText("192.168.1.10"); });
        sheet.Row<TVQIPAddress>("invalid (incomplete)", [](auto *c) {
            c->Field(0)->setText("192");
            c->Field(1)->setText("168");
        });
        sheet.Row<TVQIPAddress>("empty, NullAsEmpty off", [](auto *c) { c->SetNullAsEmpty(false); });
        sheet.Row<TVQIPAddress>("prefix length", [](auto *c) { c->SetText("10.0.0.0/8"); });
        sheet.Row<TVQIPAddress>("IPv6", [](auto *c) {
            c->SetIPVersion(ivIPv6);
            c->SetText("fe80::20c:29ff:fe9a:1");
        });
        sheet.Row<TVQIPAddress>("read-only", [](auto *c) {
            c->SetText("10.1.2.3");
            c->SetReadOnly(true);
        });
        sheet.Row<TVQIPAddress>("disabled", [](auto *c) {
            c->SetText("10.1.2.3");
            Disable(c);
        });
        written << sheet.Save(folder);
    }
    {
        TSheet sheet("vqipmask");
        sheet.Row<TVQIPMask>("default (NML 24)");
        sheet.Row<TVQIPMask>("NML 0", [](auto *c) {
            c->SetMinNML(0);
            c->SetNML(0);
        });
        sheet.Row<TVQIPMask>("invalid mask typed", [](auto *c) { c->Edit()->SetText("255.0.255.0"); });
        sheet.Row<TVQIPMask>("vertical buttons", [](auto *c) {
            c->SetButtonsOrientation(udVertical);
            c->SetButtonsWidth(16);
            c->SetNML(16);
        });
        sheet.Row<TVQIPMask>("read-only", [](auto *c) { c->SetReadOnly(true); });
        sheet.Row<TVQIPMask>("disabled", [](auto *c) { Disable(c); });
        written << sheet.Save(folder);
    }
    {
        TSheet sheet("ipaddressedit");
        sheet.Row<TIPAddressEdit>("empty");
        sheet.Row<TIPAddressEdit>("filled", [](auto *c) { c->SetText("172.16.0.1"); });
        sheet.Row<TIPAddressEdit>("zero allowed", [](auto *c) { c->SetIPEditOptions(c->IPEditOptions() | ipeoAllowZeroIP); });
        sheet.Row<TIPAddressEdit>("incomplete", [](auto *c) {
            c->Triplet(0)->setText("10");
            c->Triplet(2)->setText("5");
        });
        sheet.Row<TIPAddressEdit>("disabled", [](auto *c) {
            c->SetText("172.16.0.1");
            Disable(c);
        });
        written << sheet.Save(folder);
    }
    {
        TSheet sheet("vqspin");
        sheet.Row<TVQSpinEdit>("default");
        sheet.Row<TVQSpinEdit>("filled", [](auto *c) {
            c->SetMinMax(1025, 65535);
            c->SetValue(5060);
        });
        sheet.Row<TVQSpinEdit>("invalid text", [](auto *c) { c->Edit()->setText("12x"); });
        sheet.Row<TVQSpinEdit>("buttons left, horizontal", [](auto *c) {
            c->SetUDAlign(udLeft);
            c->SetUDOrientation(udHorizontal);
            c->SetValue(7);
        });
        sheet.Row<TVQSpinEdit>("right aligned", [](auto *c) {
            c->SetAlignment(Qt::AlignRight);
            c->SetValue(42);
        });
        sheet.Row<TVQSpinEdit>("read-only", [](auto *c) {
            c->SetValue(4);
            c->SetReadOnly(true);
        });
        sheet.Row<TVQSpinEdit>("disabled", [](auto *c) {
            c->SetValue(4);
            Disable(c);
        });
        written << sheet.Save(folder);
    }
    {
        TSheet sheet("restricting_edits");
        sheet.Row<TVQMaskEdit>("MAC mask, empty", [](auto *c) { c->SetEditMask("AA\\-AA\\-AA\\-AA\\-AA\\-AA;1;_"); });
        sheet.Row<TVQMaskEdit>("MAC mask, filled", [](auto *c) {
            c->SetEditMask("AA\\-AA\\-AA\\-AA\\-AA\\-AA;1;_");
            c->SetText("00-0C-29-9A-00-01");
        });
        sheet.Row<TVQMaskEdit>("MAC mask, incomplete", [](auto *c) {
            c->SetEditMask("AA\\-AA\\-AA\\-AA\\-AA\\-AA;1;_");
            c->SetText("00-0C-2");
        });
        sheet.Row<TVQMaskEdit>("disabled", [](auto *c) {
            c->SetEditMask("AA\\-AA\\-AA\\-AA\\-AA\\-AA;1;_");
            c->SetText("00-0C-29-9A-00-01");
            Disable(c);
        });
        const TEditorFilter password(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789.,:;-_#*()'\"@&%/\\<>~+=?!"));
        sheet.Row<TStrictEdit>("strict, filtered text", [&](auto *c) {
            c->SetEditorFilter(password);
            c->SetText("pass word$1"); // the blank and the dollar sign are dropped
        });
        sheet.Row<TStrictEdit>("strict, read-only", [&](auto *c) {
            c->SetEditorFilter(password);
            c->SetText("secret");
            c->SetReadOnly(true);
        });
        sheet.Row<TStrictEdit>("strict, disabled", [&](auto *c) {
            c->SetEditorFilter(password);
            c->SetText("secret");
            Disable(c);
        });
        written << sheet.Save(folder);
    }
    {
        TSheet sheet("standard_controls");
        auto *ed = sheet.Row<TEdit>("edit", [](auto *c) { c->SetText("LYN 2"); });
        auto *label = new TLabel(sheet.Widget(), "&Profile");
        label->SetFocusControl(ed);
        sheet.AddRow("label with access key", label);
        sheet.Row<TEdit>("edit, empty");
        sheet.Row<TEdit>("edit, parent colour", [](auto *c) {
            c->SetText("disabled look");
            c->SetParentColor(true);
        });
        sheet.Row<TEdit>("edit, read-only", [](auto *c) {
            c->SetText("read-only");
            c->SetReadOnly(true);
        });
        sheet.Row<TEdit>("edit, disabled", [](auto *c) {
            c->SetText("disabled");
            Disable(c);
        });
        sheet.Row<TComboBox>("list, no selection", [](auto *c) {
            c->AddItem("United States", "USA");
            c->AddItem("Germany", "GERMANY");
        });
        sheet.Row<TComboBox>("list, selected", [](auto *c) {
            c->AddItem("GMT+01:00", 60);
            c->SetItemIndex(0);
        });
        sheet.Row<TComboBox>("list, disabled", [](auto *c) {
            c->AddItem("UDP", 2);
            c->SetItemIndex(0);
            Disable(c);
        });
        sheet.Row<TCheckBox>("check box", [](auto *c) { c->setText("Allow G.729"); });
        sheet.Row<TCheckBox>("check box, checked", [](auto *c) {
            c->setText("&DHCP");
            c->SetChecked(true);
        });
        sheet.Row<TCheckBox>("check box, disabled", [](auto *c) {
            c->setText("VLAN support");
            c->SetChecked(true);
            Disable(c);
        });
        auto *radios = new TPanel(sheet.Widget());
        auto *radioLayout = new QHBoxLayout(radios);
        radioLayout->setContentsMargins(0, 0, 0, 0);
        auto *fromDHCP = new TRadioButton(radios, "Obtain from DHCP");
        radioLayout->addWidget(fromDHCP);
        radioLayout->addWidget(new TRadioButton(radios, "Fixed:"));
        fromDHCP->SetChecked(true);
        sheet.AddRow("radio buttons", radios);
        sheet.Row<TButton>("button", [](auto *c) { c->SetCaption("&Apply"); });
        sheet.Row<TButton>("button, disabled", [](auto *c) {
            c->SetCaption("&Apply");
            Disable(c);
        });
        sheet.Row<TUpDown>("up-down, vertical", [](auto *c) { c->setFixedSize(16, 24); });
        sheet.Row<TUpDown>("up-down, horizontal", [](auto *c) {
            c->SetOrientation(udHorizontal);
            c->setFixedSize(32, 20);
        });
        written << sheet.Save(folder);
    }
    {
        TSheet sheet("pages_and_groups");
        auto *pages = sheet.Row<TPageControl>("page control");
        for (const char *caption : {"General", "SIP Settings", "IP Communications", "VLAN"}) {
            auto *page = new TTabSheet(pages, caption);
            auto *layout = new QVBoxLayout(page);
            auto *divider = new TVQDivider(page, QStringLiteral("Regional Settings"));
            divider->SetShrinkClientRect(true);
            auto *inner = new QFormLayout(divider);
            auto *country = new TComboBox(divider);
            country->AddItem("Germany");
            country->SetItemIndex(0);
            inner->addRow("Country", country);
            layout->addWidget(divider);
            layout->addStretch();
        }
        pages->setMinimumSize(420, 140);
        sheet.Row<TVQDivider>("divider", [](auto *c) {
            c->CaptionLabel()->SetCaption("Audio");
            c->setMinimumWidth(300);
        });
        sheet.Row<TVQDivider>("divider, raised, 2 px", [](auto *c) {
            c->CaptionLabel()->SetCaption("Paging");
            c->SetLineStyle(lsRaised);
            c->SetLineHeight(2);
            c->setMinimumWidth(300);
        });
        sheet.Row<TVQDivider>("divider, line from caption start", [](auto *c) {
            c->CaptionLabel()->SetCaption("Dialing");
            c->SetLineMarginType(lmtFromLabelBegin);
            c->SetLabelLineSpacing(70);
            c->setMinimumWidth(300);
        });
        sheet.Row<TVQDivider>("divider, disabled", [](auto *c) {
            c->CaptionLabel()->SetCaption("Miscellaneous");
            c->setMinimumWidth(300);
            Disable(c);
        });
        written << sheet.Save(folder);
    }
    {
        TSheet sheet("dialogpanel");
        sheet.Row<TDialogPanel>("fresh", [](auto *c) { c->setMinimumWidth(420); });
        sheet.Row<TDialogPanel>("changed", [](auto *c) {
            c->setMinimumWidth(420);
            c->SetChanged(true);
        });
        sheet.Row<TDialogPanel>("changed, with conflicts", [](auto *c) {
            c->setMinimumWidth(420);
            c->SetChanged(true);
            c->SetHasConflicts(true);
        });
        sheet.Row<TDialogPanel>("no split line", [](auto *c) {
            c->setMinimumWidth(420);
            c->SetSplitLine(false);
        });
        written << sheet.Save(folder);
    }

    QTextStream out(stdout);
    for (const QString &path : written)
        out << QDir::cleanPath(path) << '\n';
    return 0;
}

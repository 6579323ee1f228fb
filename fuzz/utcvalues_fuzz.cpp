// Feeds the texts of automation commands to the operations that decode them:
// spin edit numbers, check-box words, the boolean words of the child search,
// column numbers and names and the texts looked for in tables. The texts
// arrive as the host sends them, 8-bit, and what the controls show afterwards
// is checked against what the texts say.
#include "SysUtils.h"
#include "UTCFormWrapper.h"
#include "VQGrids.h"
#include "VQSpin.h"
#include "VQStdControls.h"
#include "VarnelGrid.h"

#include <QApplication>

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>

namespace {

// Stops the run where an invariant does not hold.
void Require(bool Holds) {
    if (!Holds)
        std::abort();
}

// The number a text holds when it is a signed 32-bit decimal and nothing else.
bool DecimalNumber(const std::string &Text, int32_t &Value) {
    const std::size_t sign = Text.starts_with('+') || Text.starts_with('-') ? 1 : 0;
    if (Text.size() == sign || Text.find_first_not_of("0123456789", sign) != std::string::npos)
        return false;
    // from_chars takes a minus but no plus.
    const char *first = Text.data() + (Text.starts_with('+') ? 1 : 0);
    const auto [end, error] = std::from_chars(first, Text.data() + Text.size(), Value);
    return error == std::errc() && end == Text.data() + Text.size();
}

// A text of at most Max bytes that ends at its first zero byte, as a command's texts do.
std::string CommandText(FuzzedDataProvider &In, std::size_t Max) {
    std::string text = In.ConsumeRandomLengthString(Max);
    text.resize(std::char_traits<char>::length(text.c_str()));
    return text;
}

bool SameLetters(const std::string &Text, const char *Word) {
    return std::equal(Text.begin(), Text.end(), Word, Word + std::char_traits<char>::length(Word),
                      [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

const char *const Cells[] = {"", "a", "A", "1", "0", "Office", "\xE9", "x y"};

struct TControls {
    QWidget Window;
    TVQSpinEdit *Spin = new TVQSpinEdit(&Window);
    TSpinEdit *Plain = new TSpinEdit(&Window);
    TCheckBox *Box = new TCheckBox(&Window);
    TPanel *Panel = new TPanel(&Window);
    TCheckBox *Child = new TCheckBox(Panel);
    TStringGrid *Grid = new TStringGrid(&Window);
    TVarnelGrid *Varnel = new TVarnelGrid(&Window);

    TControls() {
        Child->SetName("chbChild");
        Plain->SetMinValue(-50);
        Plain->SetMaxValue(50);
        Grid->SetColCount(3);
        Grid->SetRowCount(5);
        for (int r = 0; r < 5; ++r)
            for (int c = 0; c < 3; ++c)
                Grid->SetCells(c, r, Cells[(r * 3 + c) % std::size(Cells)]);
        for (const char *name : {"ID", "Room"}) {
            const int col = Varnel->ColumnCount();
            TVarnelColumn column{name, name, name, [col](const QVariant &Data) { return Data.toStringList().value(col); }, {}};
            column.Editor = {vekEdit, {}, [col](QVariant &Data, const QString &Text) {
                                 QStringList row = Data.toStringList();
                                 row[col] = Text;
                                 Data = row;
                             }};
            Varnel->AddColumn(column);
        }
        for (int r = 0; r < 4; ++r)
            Varnel->AddRow(QStringList({Cells[r], Cells[r + 3]}));
    }
};

TControls *Controls = nullptr;

// The spin edits either refuse a text that is not a number and stay, or show its number within their range.
template <class Spin>
void SetSpin(TUTCGenericWrapper &W, Spin *Control, const std::string &Text) {
    const int32_t before = Control->Value();
    int32_t number = 0;
    const bool isNumber = DecimalNumber(Text, number);
    try {
        const bool took = W.SetText(Control, FromAnsi(Text));
        Require(isNumber);
        Require(Control->Value() == std::clamp(number, Control->MinValue(), Control->MaxValue()));
        Require(took == (Control->Value() == number));
    } catch (const EConvertError &) {
        Require(!isNumber && Control->Value() == before);
    }
}

void Run(TControls &c, FuzzedDataProvider &In) {
    const int op = In.ConsumeIntegralInRange(0, 6);
    const std::string p2 = CommandText(In, 32);
    const std::string p3 = CommandText(In, 16);
    UTCData block{};
    block.command = utc_set;
    cparm params{0, "x", p2.c_str(), p3.c_str()};
    TUTCGenericWrapper w;
    w.SetParams(&block, &params);
    const QString text = FromAnsi(p2), wanted = FromAnsi(p3);
    switch (op) {
    case 0:
        c.Spin->SetMinMax(In.ConsumeIntegralInRange(-1000, 0), In.ConsumeIntegralInRange(0, 1000));
        SetSpin(w, c.Spin, p2);
        break;
    case 1: SetSpin(w, c.Plain, p2); break;
    case 2: {
        c.Box->SetEnabled(In.ConsumeBool());
        const bool before = c.Box->Checked();
        const bool checks = SameLetters(p2, "true");
        const int32_t status = w.DoCheckBox(c.Box);
        Require(c.Box->Checked() == (c.Box->Enabled() ? checks : before));
        // A disabled box fails even when it shows the asked state.
        Require((status == 0) == (c.Box->Enabled() && c.Box->Checked() == checks));
        break;
    }
    case 3: {
        int32_t number = 0;
        try {
            Require(w.UTCSetChildControl(&c.Window, "chbChild", text));
            if (SameLetters(p2, "true") || SameLetters(p2, "false"))
                Require(c.Child->Checked() == SameLetters(p2, "true"));
            else if (DecimalNumber(p2, number))
                Require(c.Child->Checked() == (number != 0));
        } catch (const EConvertError &) {
            Require(!DecimalNumber(p2, number));
        }
        break;
    }
    case 4: {
        // Each match becomes current in turn; the fixed row never does.
        const int before = c.Grid->Row();
        int32_t col = -1;
        const bool found = w.FindInStringGrid(c.Grid);
        if (!DecimalNumber(p2, col) || col < 0 || col > c.Grid->ColCount())
            Require(!found);
        if (c.Grid->Row() != before)
            Require(found && c.Grid->Cells(col, c.Grid->Row()) == wanted);
        break;
    }
    case 5: {
        const bool found = w.DoQTableFind(c.Varnel, {"ID", "Room"});
        const int col = int(QStringList({"ID", "Room"}).indexOf(text));
        Require(!found || c.Varnel->CellText(col, c.Varnel->Row()) == wanted);
        break;
    }
    default: {
        const bool written = w.DoQTableSet(c.Varnel, {"ID", "Room"});
        const int col = int(QStringList({"ID", "Room"}).indexOf(text));
        Require(written == (col >= 0 && c.Varnel->Row() >= 0));
        Require(!written || c.Varnel->CellText(col, c.Varnel->Row()) == wanted);
        break;
    }
    }
}

} // namespace

// Font lookups keep fontconfig's caches for the life of the process.
extern "C" const char *__lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(*argc, *argv);
    Controls = new TControls;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size) {
    FuzzedDataProvider in(Data, Size);
    while (in.remaining_bytes())
        Run(*Controls, in);
    return 0;
}

#include "DevProfileOption.h"

#include "VQUILibA.h"

#include <algorithm>

void TDPOptionList::AddOption(std::unique_ptr<TDPOptionValue> Value) { FList.push_back(std::move(Value)); }

TDPOptionValue *TDPOptionList::AddOption() { return AddOption(POT_Invalid, 0); }

TDPOptionValue *TDPOptionList::AddOption(TSIPDevice_Profile_Option_Tag ATag, int32_t Value) {
    FList.push_back(std::make_unique<TDPOptionValue>(ATag, Value));
    return FList.back().get();
}

void TDPOptionList::Delete(int AIndex) {
    Items(AIndex);
    FList.erase(FList.begin() + AIndex);
}

TDPOptionValue *TDPOptionList::FindByTag(TSIPDevice_Profile_Option_Tag ATag) const {
    auto it = std::find_if(FList.begin(), FList.end(), [&](const auto &o) { return o->Tag == ATag; });
    return it == FList.end() ? nullptr : it->get();
}

TDPOptionValue *TDPOptionList::GetOrCreate(TSIPDevice_Profile_Option_Tag ATag, int32_t DefaultValue) {
    if (TDPOptionValue *found = FindByTag(ATag))
        return found;
    return AddOption(ATag, DefaultValue);
}

void TDPOptionList::Assign(const TDPOptionList &ASource) {
    if (&ASource == this)
        return;
    Clear();
    for (const auto &o : ASource.FList)
        AddOption(TDPOptionValue::CreateClone(*o));
}

bool TDPOptionList::Equals(const TDPOptionList &AOptions) const {
    if (Count() != AOptions.Count())
        return false;
    return std::all_of(FList.begin(), FList.end(), [&](const auto &o) {
        const TDPOptionValue *other = AOptions.FindByTag(o->Tag);
        return other && other->Value == o->Value;
    });
}

void TDPOptionList::FromStructure(const TSIPDevice_Profile_Option_List &Opts) {
    const int n = std::clamp(Opts.len, 0, TSIPDevice_Profile_Option_Capacity);
    for (int i = 0; i < n; ++i) {
        const TSIPDevice_Profile_Option &entry = Opts.list[i];
        if (entry.tag != POT_Invalid && !FindByTag(entry.tag))
            AddOption(entry.tag, entry.value);
    }
}

void TDPOptionList::ToStructure(TSIPDevice_Profile_Option_List &Opts) const {
    TSIPDevice_Profile_Option_List_Free(&Opts);
    TSIPDevice_Profile_Option_List_Construct(&Opts);
    const int n = std::min(Count(), TSIPDevice_Profile_Option_Capacity);
    for (int i = 0; i < TSIPDevice_Profile_Option_Capacity; ++i)
        Opts.list[i] = i < n ? TSIPDevice_Profile_Option{FList[std::size_t(i)]->Tag, FList[std::size_t(i)]->Value}
                             : TSIPDevice_Profile_Option{POT_Invalid, 0};
    Opts.len = n;
}

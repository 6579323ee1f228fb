#pragma once
// A profile's tagged integer options, converted from and to the host's
// fixed-size option record.

#include "IPC_ResidentDeviceCommon_Types.h"

#include <memory>
#include <vector>

class TDPOptionValue {
public:
    TDPOptionValue() = default;
    TDPOptionValue(TSIPDevice_Profile_Option_Tag ATag, int32_t AValue) : Tag(ATag), Value(AValue) {}
    static std::unique_ptr<TDPOptionValue> CreateClone(const TDPOptionValue &ASource) {
        return std::make_unique<TDPOptionValue>(ASource);
    }
    void Assign(const TDPOptionValue &ASource) { *this = ASource; }
    void FromStructure(const TSIPDevice_Profile_Option &Opt) { Tag = Opt.tag; Value = Opt.value; }

    TSIPDevice_Profile_Option_Tag Tag = POT_Invalid;
    int32_t Value = 0;
};

// Owns its options. FromStructure and GetOrCreate never add a tag the list
// already holds; the plain AddOption forms do not check.
class TDPOptionList {
public:
    int Count() const { return int(FList.size()); }
    // Raises std::out_of_range for an index outside the list.
    TDPOptionValue *Items(int Index) const { return FList.at(std::size_t(Index)).get(); }

    void AddOption(std::unique_ptr<TDPOptionValue> Value);
    TDPOptionValue *AddOption();
    TDPOptionValue *AddOption(TSIPDevice_Profile_Option_Tag ATag, int32_t Value);
    void Delete(int AIndex);
    void Clear() { FList.clear(); }
    TDPOptionValue *FindByTag(TSIPDevice_Profile_Option_Tag ATag) const;
    TDPOptionValue *GetOrCreate(TSIPDevice_Profile_Option_Tag ATag, int32_t DefaultValue);
    void Assign(const TDPOptionList &ASource);
    // The same tag/value pairs, in any order.
    bool Equals(const TDPOptionList &AOptions) const;

    // Entries already in the list win over the record's; among duplicates in
    // the record the first wins.
    void FromStructure(const TSIPDevice_Profile_Option_List &Opts);
    // Writes at most the record's nine entries and zeroes the rest.
    void ToStructure(TSIPDevice_Profile_Option_List &Opts) const;

private:
    std::vector<std::unique_ptr<TDPOptionValue>> FList;
};

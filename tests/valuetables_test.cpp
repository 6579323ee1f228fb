// The value tables and the configuration change list.

#include "DPValueTables.h"
#include "VQConfigChangeNotif.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct RecordingList final : TItemList {
    void Clear() override { Items.clear(); }
    void AddItem(const QString &Text, int Data) override { Items.emplace_back(Text, Data); }
    std::vector<std::pair<QString, int>> Items{{QStringLiteral("stale"), 99}};
};

TEST(ValueTables, Lookups) {
    EXPECT_EQ(FindCountry(QStringLiteral("UK")), 1);
    EXPECT_EQ(FindCountry(QStringLiteral("usa")), -1);
    EXPECT_EQ(FindCountry(QString()), -1);
    EXPECT_EQ(FindTimeZone(0), 12);
    EXPECT_EQ(FindTimeZone(-210), -1);
    EXPECT_EQ(FindTimeZone(-480), 4);
}

TEST(ValueTables, FillingClearsAndCarriesIndexes) {
    RecordingList transports;
    FillTransportList(transports);
    EXPECT_EQ(transports.Items, (std::vector<std::pair<QString, int>>{{"TCP", 1}, {"UDP", 2}, {"TLS", 3}}));

    RecordingList sources;
    FillProxySourceList(sources);
    EXPECT_EQ(sources.Items, (std::vector<std::pair<QString, int>>{{"VQ Address", 0}, {"Specified Address", 1}, {"Domain", 2}}));

    RecordingList zones;
    FillTimeZoneList(zones);
    ASSERT_EQ(zones.Items.size(), 25u);
    EXPECT_EQ(zones.Items[24], (std::pair<QString, int>{"GMT+12:00", 24}));

    RecordingList countries;
    FillCountryList(countries);
    EXPECT_EQ(countries.Items.back(), (std::pair<QString, int>{"Japan", 5}));
}

TEST(ConfigChangeList, FirstChangeOfAParameterWins) {
    TVQConfigChangeList changes;
    EXPECT_EQ(changes.GetItemByParameter(vqcpIP), nullptr);
    changes.Add(vqcpParkServer, QStringLiteral("1"), QStringLiteral("2"), 0);
    changes.Add(vqcpIP, QStringLiteral("10.0.0.1"), QStringLiteral("10.0.0.2"), 7);
    changes.Add(vqcpIP, QStringLiteral("10.0.0.2"), QStringLiteral("10.0.0.3"), 8);
    ASSERT_NE(changes.GetItemByParameter(vqcpIP), nullptr);
    EXPECT_EQ(changes.GetItemByParameter(vqcpIP)->Data, 7u);
    EXPECT_EQ(changes.GetItem(2)->NewValue, "10.0.0.3");
    EXPECT_EQ(changes.GetItemByParameter(vqcpVM), nullptr);
    EXPECT_THROW(changes.GetItem(3), std::out_of_range);
}

} // namespace

#include "RadioStationRow.h"

// Built-in station list for the United States, in display order.
//
// The stream addresses follow the maintainers' station-streams list: its
// evidence column records why each address is what it is (the broadcaster's
// page or maintained playlist that names it, or the broadcaster's scheme it
// follows).

// clang-format off
static constexpr RadioStationRow rows[] = {
    // 1
    {"s22469", "ESPN New York 98.7 FM", "",
     "New York, New York", 98.7, "espnnewyork",
     "https://playerservices.streamtheworld.com/api/livestream-redirect/WEPNFMAAC.m3u8"},
    // 2
    {"s34515", "KOMO News 1000 AM & 97.7 FM", "News, traffic, weather",
     "Seattle, Washington", 97.7, "komonews",
     "https://playerservices.streamtheworld.com/api/livestream-redirect/KOMOAMAAC"},
    // 3
    {"wbznewsradioid", "WBZ NewsRadio 1030", "Boston's all-news radio station",
     "Boston, Massachusetts", 1030.0, "wbznewsradio",
     "https://stream.revma.ihrhls.com/zc7729/hls.m3u8"},
    // 4
    {"s38989", "WHTA Hot 107.9", "Atlanta's hip-hop and R&B",
     "Hampton, Georgia", 107.9, "whtahot",
     nullptr},
    // 5
    {"s29453", "WHTZ Z100 New York", "New York's #1 Hit Music Station",
     "Newark, New Jersey", 100.3, "whtzz100",
     "https://stream.revma.ihrhls.com/zc1469/hls.m3u8"},
    // 6
    {"s30352", "WKQI Channel 955", "Detroit's #1 Hit Music Station",
     "Detroit, Michigan", 95.5, "wkqichannel955",
     "https://stream.revma.ihrhls.com/zc1925"},
    // 7
    {"s21606", "WNYC 93.9 FM", "New York Public Radio: news and talk",
     "New York, New York", 93.9, "wnyc939fm",
     "https://fm939.wnyc.org/wnycfm"},
    // 8
    {"s23187", "WORL AM 950 and FM 94.9 The Answer", "Conservative talk for Central Florida",
     "Orlando, Florida", 94.9, "worltheanswer",
     "https://playerservices.streamtheworld.com/api/livestream-redirect/WORLAMAAC"},
    // 9
    {"s22526", "WROD 1340 AM", "Oldies and classic hits from Daytona Beach",
     "Daytona Beach, Florida", 1340.0, "wrod1340am",
     "https://ice10.securenetsystems.net/WROD"},
    // 10
    {"s23234", "WTOP News", "Washington's Top News",
     "Washington, D.C.", 103.5, "wtopnews",
     "https://playerservices.streamtheworld.com/api/livestream-redirect/WTOPFM"},
    // 11
    {"s30277", "WWPW Power 96.1", "Atlanta's hit music station",
     "Atlanta, Georgia", 96.1, "wwpwpower961",
     "https://stream.revma.ihrhls.com/zc877"},
    // 12
    {"s232799", "102.7 KIIS FM", "Los Angeles' #1 Hit Music Station ",
     "Los Angeles, California", 102.7, "102.7kiisfm",
     "https://stream.revma.ihrhls.com/zc185/hls.m3u8"},
};
// clang-format on

std::span<const RadioStationRow> radioStationTable_US()
{
    return rows;
}

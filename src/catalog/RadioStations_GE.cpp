#include "RadioStationRow.h"

// Built-in station list for Germany, in display order.
//
// The stream addresses follow the maintainers' station-streams list: its
// evidence column records why each address is what it is (the broadcaster's
// page or maintained playlist that names it, or the broadcaster's scheme it
// follows).

// clang-format off
static constexpr RadioStationRow rows[] = {
    // 1
    {"s299053", "Absolut Bella", "Lieblingssongs zum Wohlfühlen",
     "Frankfurt", std::nullopt, "absolutbella",
     "http://stream.absolutradio.de/bella/mp3-128/listenlive.m3u"},
    // 2
    {"s207101", "Absolut Hot", "Hot Hits der letzten zwei Jahre",
     "Frankfurt", std::nullopt, "absoluthot",
     "http://stream.absolutradio.de/hot/mp3-128/listenlive.m3u"},
    // 3
    {"s142194", "Absolut musicXL", "Rock und Pop der letzten Jahrzehnte",
     "Regensburg", std::nullopt, "absolutmusicxl",
     "http://stream.absolutradio.de/hq/mp3/listenlive.m3u"},
    // 4
    {"s300554", "Absolut Oldie Classics", "Oldies der 60er, 70er und 80er",
     "Regensburg", std::nullopt, "absolutoldieclassics",
     "http://stream.absolutradio.de/oldieclassics/mp3-128/listenlive.m3u"},
    // 5
    {"s158432", "Absolut Relax", "Entspannte Musik zum Abschalten",
     "Regensburg", std::nullopt, "absolutrelax",
     "http://stream.absolutradio.de/relax/mp3-128/listenlive.m3u"},
    // 6
    {"s309947", "Absolut Top", "Die aktuellen Top-Hits der Charts",
     "Frankfurt", std::nullopt, "absoluttop",
     "http://stream.absolutradio.de/top/mp3-128/listenlive.m3u"},
    // 7
    {"s42824", "ANTENNE BAYERN", "Hits, Nachrichten und Verkehr für Bayern",
     "Ismaning", 103.3, "antennebayern",
     "http://mp3channels.webradio.antenne.de/antenne"},
    // 8
    {"s104092", "ANTENNE BAYERN 80er Hits", "Der Sound eures Lebens",
     "Ismaning", std::nullopt, "antennebayern80er",
     "http://www.antenne.de/webradio/channels/80er-kulthits.m3u"},
    // 9
    {"s96745", "ANTENNE BAYERN Chillout", "Entspannte Chillout- und Lounge-Musik",
     "Ismaning", std::nullopt, "antennebayernchillout",
     "http://mp3channels.webradio.antenne.de/chillout"},
    // 10
    {"s104096", "ANTENNE BAYERN Lovesongs", "Die schönsten Lovesongs und Balladen",
     "Ismaning", std::nullopt, "antennebayernlovesongs",
     "http://www.antenne.de/webradio/channels/lovesongs.m3u"},
    // 11
    {"s96749", "ANTENNE BAYERN Oldies but Goldies", "Die größten Hits der 60er und 70er",
     "Ismaning", std::nullopt, "oldiesbutgoldies",
     "https://stream.antenne.de/oldies-but-goldies/stream/mp3"},
    // 12
    {"s25549", "Antenne Brandenburg", "Musik und Regionales aus Brandenburg",
     "Potsdam-Babelsberg", 99.7, "rbbantennebrandenburg",
     "http://dispatcher.rndfnk.com/rbb/antennebrandenburg/live/mp3/mid"},
    // 13
    {"s25772", "Antenne Düsseldorf", "Das Lokalradio für Düsseldorf",
     "Düsseldorf", 104.2, "antenneduesseldorf",
     "http://antenneduesseldorf.cast.addradio.de/antenneduesseldorf/simulcast/high/stream"},
    // 14
    {"s96129", "ANTENNE MÜNSTER", "Das Lokalradio für Münster",
     "Münster", 95.4, "antennemuenster",
     "http://antennemuenster.cast.addradio.de/antennemuenster/simulcast/high/stream"},
    // 15
    {"s116053", "Antenne Niedersachsen", "Der Hit-Mix für Niedersachsen",
     "Hannover", 103.8, "antenneniedersachsen",
     "http://antenne-nds.hoerradar.de/mp3-128_antenne-nds"},
    // 16
    {"s242102", "AntenneSaar", "",
     "Saarbrücken", std::nullopt, "antennesaar",
     "http://streaming01.sr-online.de/antennesaar_2.m3u"},
    // 17
    {"s25774", "ANTENNE THÜRINGEN", "Hits und Infos für Thüringen",
     "Weimar", 102.2, "antennethueringen",
     "http://stream.antennethueringen.de/live/mp3-192"},
    // 18
    {"s96355", "Ballermann Radio", "Party-Schlager vom Ballermann",
     "Wetter", std::nullopt, "ballermannradio",
     "http://stream.bmr-radio.de/"},
    // 19
    {"s24854", "BAYERN 1", "Oldies und Informationen aus Bayern",
     "Ismaning", 91.3, "bayern1",
     "http://streams.br.de/bayern1obb_2.m3u"},
    // 20
    {"s24855", "Bayern 2", "Kultur, Wissen und Hintergrund",
     "München", 88.4, "bayern2",
     "http://streams.br.de/bayern2_2.m3u"},
    // 21
    {"s14991", "BAYERN 3", "Pop, Hits und Unterhaltung aus Bayern",
     "München", 97.3, "bayern3",
     "http://streams.br.de/bayern3_2.m3u"},
    // 22
    {"s8715", "BB RADIO", "Hits für Berlin und Brandenburg",
     "Potsdam", 107.5, "bbradio",
     "https://streambbr.ir-media-tec.com/live/mp3-128/radiode_web/"},
    // 23
    {"s24950", "Berliner Rundfunk 91.4", "Die größten Hits aller Zeiten",
     "Berlin", 91.4, "berlinerrundfunk914",
     "http://stream.berliner-rundfunk.de/brf/mp3-128/internetradio"},
    // 24
    {"s84203", "bigFM", "Deutschlands biggste Beats",
     "Stuttgart", 89.5, "bigfm",
     "https://stream.bigfm.de/deutschland/aac-128"},
    // 25
    {"s24903", "BR24", "Nachrichten rund um die Uhr",
     "Ismaning", 90.9, "br24",
     "http://streams.br.de/b5aktuell_2.m3u"},
    // 26
    {"br24live", "BR24 live", "Live-Übertragungen und Sonderprogramme",
     "Ismaning", std::nullopt, "br24",
     "http://streams.br.de/b5plus_2.m3u"},
    // 27
    {"s240952", "BR Heimat", "Volksmusik und Heimat aus Bayern",
     "München", std::nullopt, "brheimat",
     "http://streams.br.de/brheimat_2.m3u"},
    // 28
    {"s172672", "BR Schlager", "Die schönsten Schlager und Oldies",
     "Nürnberg", 104.6, "brschlager",
     "http://streams.br.de/bayernplus_2.m3u"},
    // 29
    {"s50411", "Bremen Eins", "Musik und Nachrichten aus Bremen",
     "Bremen", 93.8, "bremeneins",
     "http://rb-bremeneins-live.cast.addradio.de/rb/bremeneins/live/mp3/128/stream.mp3"},
    // 30
    {"s50412", "Bremen Zwei", "Kultur, Politik und gute Musik",
     "Bremen", 88.3, "bremenzwei",
     "http://rb-bremenzwei-live.cast.addradio.de/rb/bremenzwei/live/mp3/128/stream.mp3"},
    // 31
    {"s105937", "Bremen Next", "",
     "Bremen", 96.7, "bremennext",
     "http://rb-bremennext-live.cast.addradio.de/rb/bremennext/live/mp3/128/stream.mp3"},
    // 32
    {"s25565", "Bremen Vier", "Die Popwelle von Radio Bremen",
     "Bremen", 101.2, "bremenvier",
     "http://rb-bremenvier-live.cast.addradio.de/rb/bremenvier/live/mp3/128/stream.mp3"},
    // 33
    {"s44284", "BR-KLASSIK", "Klassische Musik rund um die Uhr",
     "Ismaning", 103.2, "brklassik",
     "http://streams.br.de/br-klassik_2.m3u"},
    // 34
    {"s77934", "ByteFM", "Radio für gute Musik",
     "Hamburg", std::nullopt, "bytefm",
     "http://www.byte.fm/stream/bytefm.m3u"},
    // 35
    {"s96815", "Country 108", "Country-Musik rund um die Uhr",
     "Berlin", std::nullopt, "country108",
     "http://streams.country108.com/country108"},
    // 36
    {"s20295", "DASDING", "Das junge Radio des SWR",
     "Stuttgart", 90.8, "dasding",
     "https://liveradio.swr.de/sw890cl/dasding/play.aac"},
    // 37
    {"s79976", "Das Neue Radio Seefunk", "",
     "Konstanz", 101.8, "dasneueradioseefunk",
     "https://stream.radio-seefunk.de/seefunk/mp3-128/"},
    // 38
    {"s54428", "DEFJAY", "100 % R&B und Hip-Hop",
     "Berlin", std::nullopt, "defjay",
     "http://stream.defjay.de/defjay"},
    // 39
    {"s125250", "Deluxe Lounge", "",
     "Landshut", std::nullopt, "deluxeradio",
     "https://audiostreams.deluxemusic.tv/lounge/mp3-192"},
    // 40
    {"s282007", "Deluxe Music", "",
     "Landshut", std::nullopt, "deluxemusic",
     "https://audiostreams.deluxemusic.tv/music/mp3-192"},
    // 41
    {"s42828", "Deutschlandfunk", "Nachrichten, Hintergründe und Kultur",
     "Köln", 89.1, "deutschlandfunk",
     "https://st01.sslstream.dlf.de/dlf/01/128/mp3/stream.mp3"},
    // 42
    {"s6628", "Deutschlandfunk Kultur", "Kultur, Debatten und Hörspiel",
     "Köln", 89.6, "deutschlandfunkkultur",
     "https://st02.sslstream.dlf.de/dlf/02/128/mp3/stream.mp3"},
    // 43
    {"s120806", "Deutschlandfunk Nova", "Wissen, Gespräche und neue Musik",
     "Köln", std::nullopt, "deutschlandfunknova",
     "https://st03.sslstream.dlf.de/dlf/03/128/mp3/stream.mp3"},
    // 44
    {"s68339", "Deutschlandradio", "Dokumente und Debatten",
     "Köln", std::nullopt, "deutschlandradio",
     "http://st04.dlf.de/dlf/04/64/mp3/stream.mp3"},
    // 45
    {"s84548", "die neue welle", "Hits und Lokales aus Karlsruhe",
     "Karlsruhe", 101.8, "dieneuewelle",
     "https://stream.dieneuewelle.de/dieneuewelle/mp3-128/stream.mp3?aggregator=web"},
    // 46
    {"s96182", "egoFM", "",
     "München", 100.8, "egofm",
     "http://streams.egofm.de/egoFM-hq"},
    // 47
    {"s11067", "ENERGY Berlin", "Hit Music Only",
     "Berlin", 103.4, "energyberlin",
     "https://edge64.streamonkey.net/energy-berlin"},
    // 48
    {"s132954", "FluxFM", "Alternative Pop und Indie aus Berlin",
     "Berlin", 100.6, "fluxfm",
     "https://streams.fluxfm.de/fluxfm/mp3-320/streams.fluxfm.de/"},
    // 49
    {"s25005", "Fritz", "Das junge Radio vom rbb",
     "Potsdam-Babelsberg", 102.6, "rbbfritz",
     "http://dispatcher.rndfnk.com/rbb/fritz/live/mp3/mid"},
    // 50
    {"gayfmid", "GAY FM", "Musik und News für die LGBTQ-Community",
     "Berlin", 103.4, "gayfm",
     "http://stream.gay-fm.de/gayfm.mp3"},
    // 51
    {"s17490", "Hit Radio FFH", "Hits und Informationen für Hessen",
     "Bad Vilbel", 106.9, "hitradioffh",
     "http://streams.ffh.de/radioffh/mp3/hqlivestream.m3u"},
    // 52
    {"s96270", "HITRADIO RTL Dresden", "Hits für Dresden und Sachsen",
     "Dresden", 105.2, "hitradiortldresden",
     "https://stream.hitradio-rtl.de/hitradio-rtl/mp3-128/"},
    // 53
    {"s25770", "Hitradio Antenne 1", "Die Hits für Baden-Württemberg",
     "Stuttgart", 101.3, "hitradioantenne1",
     "http://stream.antenne1.de/a1stg/livestream2.mp3"},
    // 54
    {"s8007", "Hitradio Ö3", "Österreichs Hitradio vom ORF",
     "Wien", 99.9, "hitradiooe3",
     "https://orf-live.ors-shoutcast.at/oe3-q2a"},
    // 55
    {"s17489", "hr-INFO", "Nachrichten und Hintergründe aus Hessen",
     "Frankfurt", 103.9, "hrinfo",
     "https://hr-hrinfo-live.cast.addradio.de/hr/hrinfo/live/mp3/128/stream.mp3"},
    // 56
    {"s7866", "hr1", "Pop-Klassiker und Gespräche aus Hessen",
     "Frankfurt", 99.0, "hr1",
     "https://hr-hr1-live.cast.addradio.de/hr/hr1/live/mp3/128/stream.mp3"},
    // 57
    {"s84492", "hr2-kultur", "Klassik, Jazz und Kultur aus Hessen",
     "Frankfurt", 96.7, "hr2kultur",
     "https://hr-hr2-live.cast.addradio.de/hr/hr2/live/mp3/128/stream.mp3"},
    // 58
    {"s57109", "hr3", "Pop und Hits für Hessen",
     "Frankfurt", 89.3, "hr3",
     "https://hr-hr3-live.cast.addradio.de/hr/hr3/live/mp3/128/stream.mp3"},
    // 59
    {"s7868", "hr4", "Schlager, Oldies und Regionales aus Hessen",
     "Kassel", 101.7, "hr4",
     "https://hr-hr4-live.cast.addradio.de/hr/hr4/live/mp3/128/stream.mp3"},
    // 60
    {"s9176", "Inforadio", "Nachrichten rund um die Uhr vom rbb",
     "Berlin", 93.1, "rbbinforadio",
     "http://www.inforadio.de/live.m3u"},
    // 61
    {"s25021", "JAM FM", "Black Music Radio aus Berlin",
     "Berlin", 93.6, "jamfm",
     "http://stream.jam.fm/jamfm-live/mp3-128/konsole/"},
    // 62
    {"s25028", "Klassik Radio", "Klassik, Filmmusik und Lounge",
     "Hamburg", 92.2, "klassikradio",
     "http://stream.klassikradio.de/live/mp3-192"},
    // 63
    {"s6634", "MDR JUMP", "Pop und Hits für Mitteldeutschland",
     "Halle (Saale)", 90.4, "mdrjump",
     "http://avw.mdr.de/streams/284320-0_mp3_high.m3u"},
    // 64
    {"s9196", "MDR KULTUR", "Kultur, Literatur und Musik aus Mitteldeutschland",
     "Halle (Saale)", 88.4, "mdrkultur",
     "http://avw.mdr.de/streams/284310-0_mp3_high.m3u"},
    // 65
    {"s1346", "MDR Sachsen", "Das Sachsenradio",
     "Dresden", 92.2, "mdrsachsen",
     "http://avw.mdr.de/streams/284280-0_mp3_high.m3u"},
    // 66
    {"s308142", "MDR Sachsen", "Regionalprogramm aus dem Studio Chemnitz",
     "Chemnitz", std::nullopt, "mdrsachsen",
     "http://avw.mdr.de/streams/284281-0_mp3_high.m3u"},
    // 67
    {"s56386", "MDR Sachsen-Anhalt", "Das Radio für Sachsen-Anhalt",
     "Magdeburg", 94.6, "mdrsachsenanhalt",
     "http://avw.mdr.de/streams/284290-0_mp3_high.m3u"},
    // 68
    {"s47099", "MDR Thüringen", "Musik und Nachrichten für Thüringen",
     "Leipzig", 94.4, "mdrthueringen",
     "http://avw.mdr.de/streams/284300-0_mp3_high.m3u"},
    // 69
    {"s8668", "MDR Aktuell", "Das Nachrichtenradio des MDR",
     "Leipzig", std::nullopt, "mdraktuell",
     "http://avw.mdr.de/streams/284340-0_mp3_high.m3u"},
    // 70
    {"s44422", "MDR Klassik", "",
     "Leipzig", std::nullopt, "mdrklassik",
     "http://avw.mdr.de/streams/284350-0_mp3_high.m3u"},
    // 71
    {"s285420", "MDR Schlagerwelt", "",
     "Erfurt", std::nullopt, "mdrschlagerwelt",
     "http://avw.mdr.de/streams/284400-0_mp3_high.m3u"},
    // 72
    {"s307260", "MDR Tweens", "Radio für Kinder und junge Teens",
     "Leipzig", std::nullopt, "mdrtweens",
     "http://avw.mdr.de/streams/284410-0_mp3_high.m3u"},
    // 73
    {"s6635", "MDR SPUTNIK", "Das junge Radio des MDR",
     "Halle (Saale)", 104.4, "mdrsputnik",
     "http://mdr-284330-0.cast.mdr.de/mdr/284330/0/mp3/high/stream.mp3"},
    // 74
    {"s96669", "Metropol FM", "Türkischsprachiges Radio aus Berlin",
     "Berlin", 94.8, "metropolfm",
     "https://metropolfm.streamabc.net/metropolfm.aac"},
    // 75
    {"s25529", "NDR 1 Niedersachsen", "",
     "Hannover", 98.0, "ndr1niedersachsen",
     "https://www.ndr.de/resources/metadaten/audio/m3u/ndr1niedersachsen.m3u"},
    // 76
    {"s228746", "NDR 1 Radio MV", "Das Radio für Mecklenburg-Vorpommern",
     "Schwerin", 92.8, "ndr1radiomv",
     "https://www.ndr.de/resources/metadaten/audio/m3u/ndr1radiomv.m3u"},
    // 77
    {"s228747", "NDR 1 Welle Nord", "Das Radio für Schleswig-Holstein",
     "Kiel", 91.3, "ndr1wellenord",
     "https://www.ndr.de/resources/metadaten/audio/m3u/ndr1wellenord.m3u"},
    // 78
    {"s2320", "NDR 90,3", "Das Radio für Hamburg",
     "Hamburg", 90.3, "ndr903",
     "https://www.ndr.de/resources/metadaten/audio/m3u/ndr903.m3u"},
    // 79
    {"s228737", "NDR 2", "Pop, Infos und Unterhaltung für den Norden",
     "Hamburg", 87.6, "ndr2",
     "http://icecast.ndr.de/ndr/ndr2/niedersachsen/mp3/128/stream.mp3"},
    // 80
    {"s24908", "NDR Kultur", "",
     "Hamburg", 99.2, "ndrkultur",
     "http://icecast.ndr.de/ndr/ndrkultur/live/mp3/128/stream.mp3"},
    // 81
    {"s24885", "NDR Info", "Nachrichten und Hintergründe aus dem Norden",
     "Hamburg", 92.3, "ndrinfo",
     "https://www.ndr.de/resources/metadaten/audio/m3u/ndrinfo.m3u"},
    // 82
    {"s25531", "N-JOY", "Das junge Radio des NDR",
     "Hamburg", 94.2, "njoy",
     "https://www.ndr.de/resources/metadaten/audio/m3u/njoy.m3u"},
    // 83
    {"s68332", "NDR Info Spezial", "Sonderprogramme und Live-Übertragungen",
     "Hamburg", 90.4, "ndrinfospezial",
     "https://www.ndr.de/resources/metadaten/audio/m3u/ndrinfospezial.m3u"},
    // 84
    {"s157366", "NDR Blue", "Indie, Alternative und Musikjournalismus",
     "Hamburg", std::nullopt, "ndrblue",
     "http://www.ndr.de/resources/metadaten/audio/m3u/ndrblue.m3u"},
    // 85
    {"s273897", "NDR Plus", "Schlager und deutsche Hits",
     "Hamburg", std::nullopt, "ndrplus",
     "https://www.ndr.de/resources/metadaten/audio/m3u/ndrschlager.m3u"},
    // 86
    {"s115468", "Ostseewelle", "Hits für Mecklenburg-Vorpommern",
     "Rostock", 104.8, "ostseewelle",
     "http://mp3.ostseewelle.c.nmdn.net/ostseewellelive/livestream.mp3"},
    // 87
    {"s2726", "planet radio", "Hip-Hop, Dance und Charts",
     "Bad Vilbel", 100.2, "planetradio",
     "http://streams.planetradio.de/planetradio/mp3/hqlivestream.m3u"},
    // 88
    {"s44976", "Puls", "",
     "München", std::nullopt, "brpuls",
     "http://streams.br.de/puls_2.m3u"},
    // 89
    {"s80469", "R.SA", "Oldies und Hits für Sachsen",
     "Leipzig", 97.6, "rsasachsen",
     "https://streams.rsa-sachsen.de/rsa-live/mp3-128/onlineradiobox/"},
    // 90
    {"s18353", "R.SH", "Radio Schleswig-Holstein",
     "Kiel", 102.4, "rsh",
     "http://streams.rsh.de/rsh-live/mp3-128/rshmediaplayer"},
    // 91
    {"s96167", "Radio 7 Ulm", "Hits und Infos für Ulm und die Region",
     "Ulm", 101.8, "radio7de",
     "https://radio7.streamabc.net/radio7-ulm-mp3-128"},
    // 92
    {"s25111", "radioeins", "Nur für Erwachsene",
     "Berlin", 95.8, "radioeinsrbb",
     "http://www.radioeins.de/live.m3u"},
    // 93
    {"s8923", "Radio 91.2", "Das Lokalradio für Dortmund",
     "Dortmund", 91.2, "radio912",
     "http://radio912.cast.addradio.de/radio912/simulcast/high/stream"},
    // 94
    {"s126208", "Radio Altstadtwelle", "Webradio aus Köln",
     "Köln", std::nullopt, "radioaltstadtwelle",
     "http://stream.radio-altstadtwelle.de/live.mp3?ref=web"},
    // 95
    {"s84565", "Radio Berg", "Das Lokalradio für das Bergische Land",
     "Kurten", 105.2, "radioberg",
     "http://radioberg.cast.addradio.de/radioberg/simulcast/high/stream"},
    // 96
    {"s84580", "Radio Bielefeld", "",
     "Bielefeld", std::nullopt, "radiobielefeld",
     "http://radiobielefeld.cast.addradio.de/radiobielefeld/simulcast/high/stream"},
    // 97
    {"s96189", "RADIO BOB!", "Rock und Pop aus Hessen",
     "Kassel", 99.4, "radiobob",
     "http://streams.radiobob.de/bob-live/mp3-192/mediaplayer"},
    // 98
    {"s231559", "RADIO BOB! BOBs Alternative Rock", "",
     "Kassel", std::nullopt, "radiobob",
     "http://streams.radiobob.de/bob-alternative/mp3-192/mediaplayer"},
    // 99
    {"s267605", "RADIO BOB! BOBs Best of Rock", "",
     "Kassel", std::nullopt, "radiobob",
     "http://streams.radiobob.de/bob-bestofrock/mp3-192/mediaplayer"},
    // 100
    {"s286815", "Radio Bollerwagen", "Party, Schlager und Mallorca-Hits",
     "Hannover", std::nullopt, "radiobollerwagen",
     "http://player.ffn.de/radiobollerwagen.m3u"},
    // 101
    {"s6644", "Radio Bonn/Rhein-Sieg", "",
     "Bonn", 99.9, "radiobonn",
     "http://radiobonn.cast.addradio.de/radiobonn/simulcast/high/stream"},
    // 102
    {"s17231", "Radio Brocken", "Musik und Infos für Sachsen-Anhalt",
     "Halle (Saale)", 93.5, "radiobrocken",
     "http://stream.radiobrocken.de/live/mp3-256"},
    // 103
    {"s8954", "radio ffn", "Hits und Comedy für Niedersachsen",
     "Hannover", 103.1, "radioffn",
     "http://player.ffn.de/ffnstream.aac"},
    // 104
    {"s212945", "radio GOLD", "Oldies und Evergreens",
     "Berlin", std::nullopt, "radiogold",
     "http://stream.radiogold.de/radiogold.mp3"},
    // 105
    {"s17494", "Radio Gong 96.3", "Münchens Hitradio",
     "München", 96.3, "radiogong963",
     "http://www.radiogong.de/live/radiogong.m3u"},
    // 106
    {"s18018", "Radio Hamburg", "Die Hits für Hamburg",
     "Hamburg", 103.6, "radiohamburg",
     "http://stream.radiohamburg.de/rhh-live/mp3-128/"},
    // 107
    {"s16252", "Radio Köln", "",
     "Köln", 107.1, "radiokoeln",
     "http://radiokoeln.cast.addradio.de/radiokoeln/simulcast/high/stream.mp3"},
    // 108
    {"s97169", "Radio Paloma", "100 % deutscher Schlager",
     "Berlin", std::nullopt, "radiopaloma",
     "http://icepool.silvacast.com/RADIOPALOMA.mp3"},
    // 109
    {"s6649", "RADIO PSR", "Hits und Comedy für Sachsen",
     "Leipzig", 102.9, "radiopsr",
     "http://streams.radiopsr.de/psr-live/mp3-192/mediaplayer"},
    // 110
    {"s2485", "Radio Regenbogen", "Hits und Infos für Baden",
     "Mannheim", 102.8, "radioregenbogen",
     "http://streams.regenbogen.de/rr-mannheim-128-mp3"},
    // 111
    {"s96579", "RADIO RST", "Das Lokalradio für den Kreis Steinfurt",
     "Rheine", 104.0, "radiorst",
     "http://radiorst.cast.addradio.de/radiorst/simulcast/high/stream"},
    // 112
    {"s17732", "radio SAW", "Das Hitradio für Sachsen-Anhalt",
     "Magdeburg", 100.1, "radiosaw",
     "https://stream.radiosaw.de/saw/mp3-192/radio-browser/"},
    // 113
    {"s16342", "Radio Salü", "Hits und Infos für das Saarland",
     "Saarbrücken", 101.7, "radiosalue",
     "https://stream.salue.de/salue/mp3-128/"},
    // 114
    {"s206652", "Radio Schlagerparadies", "Schlager rund um die Uhr",
     "Kleinbittersdorf", 102.0, "schlagerparadies",
     "https://webstream.schlagerparadies.de/schlagerparadies128.mp3"},
    // 115
    {"s10027", "Radio Siegen", "Das Lokalradio für Siegen-Wittgenstein",
     "Siegen", 88.2, "radiosiegen",
     "http://radiosiegen.cast.addradio.de/radiosiegen/simulcast/high/stream"},
    // 116
    {"s9026", "Radio Ton", "Das Radio für Heilbronn-Franken",
     "Heilbronn", 103.2, "radioton",
     "http://live.radioton.de/rt-live-bw.m3u"},
    // 117
    {"s96647", "RADIO WMW", "Das Lokalradio für den Kreis Borken",
     "Borken", 88.4, "radiowmw",
     "http://radiowmw.cast.addradio.de/radiowmw/simulcast/high/stream"},
    // 118
    {"s10843", "Radio Wuppertal", "",
     "Wuppertal", 107.4, "radiowuppertal",
     "http://radiowuppertal.cast.addradio.de/radiowuppertal/simulcast/high/stream"},
    // 119
    {"s2998", "rbbKultur", "Kultur, Klassik und Gespräche aus Berlin",
     "Berlin", 92.4, "rbbkultur",
     "http://www.rbbkultur.de/live.m3u"},
    // 120
    {"s25677", "rbb 88,8", "Das Radio für Berlin",
     "Berlin", 88.8, "rbb888",
     "http://www.rbb888.de/live.m3u"},
    // 121
    {"s272862", "Regenbogen Zwei", "Rock und Pop für Baden-Württemberg",
     "Mannheim", 106.1, "radioregenbogen",
     "https://stream.regenbogen2.de/regenbogen2/mp3-128/onlineradiobox"},
    // 122
    {"s25217", "ROCK ANTENNE", "Classic Rock und neue Rocksongs",
     "Ismaning", 94.5, "rockantenne",
     "https://stream.rockantenne.de/rockantenne/stream/mp3"},
    // 123
    {"s24926", "ROCK ANTENNE Hamburg", "Der Rocksender für Hamburg",
     "Ismaning", 106.8, "rockantennehamburg",
     "https://mp3channels.webradio.de/rockantenne-hamburg"},
    // 124
    {"s125937", "ROCK ANTENNE Heavy Metal", "Heavy Metal rund um die Uhr",
     "Ismaning", std::nullopt, "rockantenneheavyrock",
     "http://mp3channels.webradio.rockantenne.de/heavy-metal"},
    // 125
    {"s57799", "Rockland Radio", "Classic Rock aus Rheinland-Pfalz",
     "Mainz", 107.9, "rocklandradio",
     "http://stream.rockland.de/rockland.mp3"},
    // 126
    {"s9014", "RPR1.", "Die Hits für Rheinland-Pfalz",
     "Ludwigshafen", 101.5, "rpr1",
     "https://streams.rpr1.de/rpr-ludwigshafen-128-mp3"},
    // 127
    {"s96770", "Schwarzwaldradio", "Entspannte Musik aus dem Schwarzwald",
     "Offenburg", 93.0, "schwarzwaldradio",
     "http://stream.schwarzwaldradio.com/schwarzwaldradio/mp3-128/www.schwarzwaldradio.com/"},
    // 128
    {"s56201", "SR 1 Europawelle", "Pop und Infos für das Saarland",
     "Saarbrücken", 98.2, "sr1europawelle",
     "http://streaming01.sr-online.de/sr1_2.m3u"},
    // 129
    {"s56208", "SR 2 Kulturradio", "",
     "Merzig", 92.1, "sr2kulturradio",
     "http://streaming01.sr-online.de/sr2_2.m3u"},
    // 130
    {"s1308", "SR 3 Saarlandwelle", "Musik und Regionales für das Saarland",
     "Saarbrücken", 95.5, "sr3",
     "http://streaming01.sr-online.de/sr3_2.m3u"},
    // 131
    {"s8041", "Star FM", "Rock und Alternative aus Berlin",
     "Berlin", 87.9, "starfm",
     "https://stream.starfm.de/berlin/mp3-128/stream.mp3"},
    // 132
    {"s10637", "sunshine live", "Electronic Music Radio",
     "Mannheim", 102.1, "sunshinelive",
     "http://sunshinelive.hoerradar.de/sunshinelive-live-mp3-hq"},
    // 133
    {"s37126", "SWR Aktuell", "Das Nachrichtenradio des SWR",
     "Stuttgart", 91.5, "swraktuell",
     "https://liveradio.swr.de/sw890cl/swraktuell/play.aac"},
    // 134
    {"s20291", "SWR1 Baden-Württemberg", "Musik und Infos für Baden-Württemberg",
     "Stuttgart", 95.1, "swr1",
     "https://liveradio.swr.de/sw890cl/swr1bw/play.aac"},
    // 135
    {"s1561", "SWR1 Rheinland-Pfalz", "Musik und Infos für Rheinland-Pfalz",
     "Mainz", 87.7, "swr1",
     "https://liveradio.swr.de/sw890cl/swr1rp/play.aac"},
    // 136
    {"s20292", "SWR2", "Kultur, Klassik und Wissen",
     "Baden-Baden", 105.7, "swr2",
     "https://liveradio.swr.de/sw890cl/swr2/play.aac"},
    // 137
    {"s24896", "SWR3", "Pop, Comedy und Nachrichten",
     "Baden-Baden", 96.3, "swr3",
     "https://liveradio.swr.de/sw282p3/swr3/play.mp3"},
    // 138
    {"s20293", "SWR4 Baden-Württemberg", "",
     "Stuttgart", 90.1, "swr4",
     "https://liveradio.swr.de/sw890cl/swr4bw/play.aac"},
    // 139
    {"s1563", "SWR4 Rheinland-Pfalz", "",
     "Mainz", 91.4, "swr4",
     "https://liveradio.swr.de/sw890cl/swr4rp/play.aac"},
    // 140
    {"s55005", "TechnoBase.FM", "Techno, Hands Up und Trance",
     "Moers", std::nullopt, "technobasefm",
     "listen.technobase.fm/tunein-dsl-pls"},
    // 141
    {"s140647", "The Wave", "Ruhige Musik zum Entspannen",
     "Berlin", std::nullopt, "thewaverelaxingradio",
     "https://stream.the-wave.de/thewave"},
    // 142
    {"s80497", "Top 100 Station", "Die Top 100 der aktuellen Charts",
     "Berlin", std::nullopt, "top100station",
     "http://www.top100station.de/switch/r3472.mp3"},
    // 143
    {"s20296", "Unser Ding", "",
     "Saarbrücken", 103.7, "unserding",
     "http://streaming01.sr-online.de/unserding_2.m3u"},
    // 144
    {"s25260", "WDR 1LIVE", "Das junge Radio des WDR",
     "Köln", 106.8, "1live",
     "http://wdr-1live-live.icecast.wdr.de/wdr/1live/live/mp3/128/stream.mp3"},
    // 145
    {"s45087", "WDR 1LIVE DIGGI", "",
     "Köln", std::nullopt, "1livediggi",
     "http://wdr-1live-diggi.icecast.wdr.de/wdr/1live/diggi/mp3/128/stream.mp3"},
    // 146
    {"s99175", "WDR 2 Rhein und Ruhr", "Musik und Nachrichten für Rhein und Ruhr",
     "Köln", 99.2, "wdr2",
     "http://wdr-wdr2-rheinruhr.icecast.wdr.de/wdr/wdr2/rheinruhr/mp3/128/stream.mp3"},
    // 147
    {"s99166", "WDR 2 Ruhrgebiet", "Musik und Nachrichten für das Ruhrgebiet",
     "Köln", 87.8, "wdr2",
     "http://wdr-wdr2-ruhrgebiet.icecast.wdr.de/wdr/wdr2/ruhrgebiet/mp3/128/stream.mp3"},
    // 148
    {"s8294", "WDR 3", "Kulturradio mit Klassik und Jazz",
     "Köln", 93.1, "wdr3",
     "https://wdr-wdr3-live.icecastssl.wdr.de/wdr/wdr3/live/mp3/256/stream.mp3"},
    // 149
    {"s8295", "WDR 4", "Die größten Hits der 70er und 80er",
     "Köln", 90.7, "wdr4",
     "http://wdr-wdr4-live.icecast.wdr.de/wdr/wdr4/live/mp3/128/stream.mp3"},
    // 150
    {"s20301", "WDR 5", "Wort, Wissen und Information",
     "Köln", 88.0, "wdr5",
     "http://wdr-wdr5-live.icecast.wdr.de/wdr/wdr5/live/mp3/128/stream.mp3"},
    // 151
    {"s307564", "COSMO", "Global Pop und Geschichten aus aller Welt",
     "Köln", 103.3, "wdrcosmo",
     "http://wdr-cosmo-live.icecast.wdr.de/wdr/cosmo/live/mp3/128/stream.mp3"},
    // 152
    {"s308843", "WDR Die Maus", "Radio für Kinder mit der Maus",
     "Köln", std::nullopt, "wdrdiemaus",
     "http://wdr-diemaus-live.icecast.wdr.de/wdr/diemaus/live/mp3/128/stream.mp3"},
    // 153
    {"s97471", "WDR Event", "Sonderprogramme und Live-Events des WDR",
     "Köln", std::nullopt, "wdrevent",
     "http://wdr-wdrevent-live.icecast.wdr.de/wdr/wdrevent/live/mp3/128/stream.mp3"},
    // 154
    {"s80533", "Welle Niederrhein", "Das Lokalradio für Krefeld und den Kreis Viersen",
     "Krefeld", 87.7, "welleniederrhein",
     "http://welleniederrhein.cast.addradio.de/welleniederrhein/simulcast/high/stream.mp3"},
    // 155
    {"s57240", "YOU FM", "Das junge Radio des hr",
     "Frankfurt", 96.0, "youfm",
     "http://metafiles.gl-systemhaus.de/hr/youfm_2.m3u"},
    // 156
    {"s6642", "89.0 RTL", "Hits und Dance für Mitteldeutschland",
     "Halle (Saale)", 89.0, "890rtl",
     "http://stream.89.0rtl.de/live/mp3-256/direktlinkHP/"},
    // 157
    {"s25221", "94,3 rs2", "Der Hit-Mix für Berlin",
     "Berlin", 94.3, "rs2",
     "http://stream.rs2.de/rs2/mp3-128/internetradio"},
    // 158
    {"s16523", "98.8 Kiss FM", "Hip-Hop, R&B und Dance aus Berlin",
     "Berlin", 98.8, "988kissfm",
     "https://topradio-de-hz-fal-stream05-cluster01.radiohost.de/kissfm_128"},
    // 159
    {"s2730", "100,5 DAS HITRADIO", "Hits aus Ostbelgien für die Euregio",
     "Eupen", 100.5, "1005dashitradio",
     "https://stream.dashitradio.de/dashitradio/mp3-128/stream.mp3"},
    // 160
    {"s25224", "104.6 RTL", "Berlins Hit-Radio",
     "Berlin", 104.6, "rtlhitradiolive",
     "http://stream.104.6rtl.com/rtl-live/mp3-128"},
    // 161
    {"s17211", "105’5 Spreeradio", "Hits und Oldies für Berlin",
     "Berlin", 105.5, "1055spreeradio",
     "http://stream.spreeradio.de/spree-live/mp3-128/konsole"},
    // 162
    {"s255597", "80s80s Radio", "",
     "Rostock", std::nullopt, "80s80sradio",
     "http://streams.80s80s.de/web/mp3-192/streams.80s80s.de/"},
    // 163
    {"s85104", "917XFM", "Alternative und Indie aus Hamburg",
     "Hamburg", 91.7, "917xfm",
     "http://live96.917xfm.de/"},
};
// clang-format on

std::span<const RadioStationRow> radioStationTable_GE()
{
    return rows;
}

target_sources(sondikcore PRIVATE
    catalog/RadioStation.h catalog/RadioStation.cpp
    catalog/RadioStationRow.h
    catalog/RadioStationStore.h catalog/RadioStationStore.cpp
    catalog/RadioStations_GE.cpp
    catalog/RadioStations_US.cpp
)

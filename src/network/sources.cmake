# Files of src/network.
target_sources(sondikcore PRIVATE
    network/NetworkLogging.h network/NetworkLogging.cpp
    network/PathMonitor.h
    network/NetworkStatus.h network/NetworkStatus.cpp
)
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    target_sources(sondikcore PRIVATE
        network/RoutingState.h network/RoutingState.cpp
        network/NetlinkPathMonitor.h network/NetlinkPathMonitor.cpp
    )
endif()

# The banner shown while the connection is missing.
list(APPEND SONDIK_QML_FILES network/NetworkStatusView.qml)

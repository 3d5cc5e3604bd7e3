# Files of src/focus.
target_sources(sondikcore PRIVATE
    focus/FREventChangeResult.h
    focus/FirstResponders.h
    focus/FirstResponderState.h focus/FirstResponderState.cpp
    focus/FrEventObserver.h
    focus/FRWindowEventPublisher.h focus/FRWindowEventPublisher.cpp
    focus/FirstResponder.h focus/FirstResponder.cpp
)

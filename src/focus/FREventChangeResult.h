#pragma once

// What a user event did to a field's keyboard focus.
enum class FREventChangeResult : int {
    resigned = 0,
    focused = 1,
};

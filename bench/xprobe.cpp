// A small X11 probe for the benchmarks: which windows of a class are on
// screen, waiting for them to appear or go with a bounded poll of 2 ms, so
// that the time it prints is the moment to the ms.
//
//   xprobe find CLASS MINWIDTH MAXWIDTH [embedded]
//   xprobe wait viewable|gone CLASS MINWIDTH MAXWIDTH TIMEOUT_MS [embedded]
//   xprobe click X Y
//
// find and wait print "id x y width height" per window (absolute position);
// wait then prints the wall-clock time in ns when it saw the change, and
// exits 1 on timeout. click presses the first button at X Y through XTest,
// holds it 80 ms as a hand does, and prints the wall-clock time in ns of the
// release, which is when a click happens: unlike "xdotool click", the time
// leaves out the tool's start and the button's hold, and what the program
// draws for the press is drawn before the release, as with a hand's click.
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Free {
    void operator()(void* p) const { std::free(p); }
};
template <typename T> using Reply = std::unique_ptr<T, Free>;

struct Found {
    xcb_window_t id;
    int x, y, width, height;
};

xcb_connection_t* connection;
xcb_window_t root;

std::string instanceOf(xcb_window_t window)
{
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection,
        xcb_get_property(connection, 0, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 64),
        nullptr));
    if (!reply || xcb_get_property_value_length(reply.get()) <= 0)
        return {};
    const char* value = static_cast<const char*>(xcb_get_property_value(reply.get()));
    return std::string(value, strnlen(value, size_t(xcb_get_property_value_length(reply.get()))));
}

// insideForeign: an ancestor below the root belongs to another program (the
// tray host), so this window is embedded rather than a top level.
void walk(xcb_window_t window, bool insideForeign, const std::string& wanted, int minWidth,
          int maxWidth, bool embedded, std::vector<Found>& out)
{
    Reply<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
        connection, xcb_get_window_attributes(connection, window), nullptr));
    if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE)
        return;
    const std::string instance = window != root ? instanceOf(window) : std::string();
    if (instance == wanted) {
        Reply<xcb_get_geometry_reply_t> geometry(
            xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr));
        Reply<xcb_translate_coordinates_reply_t> origin(xcb_translate_coordinates_reply(
            connection, xcb_translate_coordinates(connection, window, root, 0, 0), nullptr));
        if (geometry && origin && geometry->width >= minWidth && geometry->width <= maxWidth &&
            embedded == insideForeign)
            out.push_back(
                {window, origin->dst_x, origin->dst_y, geometry->width, geometry->height});
    }
    Reply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr));
    if (!tree)
        return;
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i)
        walk(children[i], insideForeign || (!instance.empty() && instance != wanted), wanted,
             minWidth, maxWidth, embedded, out);
}

int click(int x, int y)
{
    const auto fake = [](uint8_t type, uint8_t detail, int16_t atX, int16_t atY) {
        return xcb_request_check(connection,
                                 xcb_test_fake_input_checked(connection, type, detail,
                                                             XCB_CURRENT_TIME, root, atX, atY, 0));
    };
    const auto x16 = static_cast<int16_t>(x), y16 = static_cast<int16_t>(y);
    Reply<xcb_generic_error_t> error(fake(XCB_MOTION_NOTIFY, 0, x16, y16));
    if (!error)
        error.reset(fake(XCB_BUTTON_PRESS, 1, x16, y16));
    if (error) {
        std::fprintf(stderr, "xprobe: XTest refused the click\n");
        return 2;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(80));
    const auto at = std::chrono::system_clock::now().time_since_epoch();
    error.reset(fake(XCB_BUTTON_RELEASE, 1, x16, y16));
    if (error) {
        std::fprintf(stderr, "xprobe: XTest refused the release\n");
        return 2;
    }
    std::printf("%lld\n", static_cast<long long>(std::chrono::nanoseconds(at).count()));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    const bool wait = command == "wait";
    if (!(command == "find" && argc >= 5) && !(wait && argc >= 7) &&
        !(command == "click" && argc == 4)) {
        std::fprintf(stderr, "usage: xprobe find CLASS MINW MAXW [embedded] | "
                             "wait viewable|gone CLASS MINW MAXW TIMEOUT_MS [embedded] | "
                             "click X Y\n");
        return 2;
    }
    int screenNumber = 0;
    connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "xprobe: cannot open the display\n");
        return 2;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&screens);
    root = screens.data->root;
    if (command == "click")
        return click(std::atoi(argv[2]), std::atoi(argv[3]));

    const int at = wait ? 3 : 2; // CLASS MINW MAXW, then TIMEOUT_MS for wait
    const int minWidth = std::atoi(argv[at + 1]), maxWidth = std::atoi(argv[at + 2]);
    const bool embedded = argc > at + 3 + wait && std::string(argv[at + 3 + wait]) == "embedded";
    const bool wantViewable = std::string(argv[2]) == "viewable";
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(wait ? std::atoi(argv[6]) : 0);
    for (;;) {
        std::vector<Found> found;
        walk(root, false, argv[at], minWidth, maxWidth, embedded, found);
        if (!wait || found.empty() != wantViewable) {
            const auto now = std::chrono::system_clock::now().time_since_epoch();
            for (const Found& f : found)
                std::printf("%u %d %d %d %d\n", f.id, f.x, f.y, f.width, f.height);
            if (wait)
                std::printf("%lld\n",
                            static_cast<long long>(std::chrono::nanoseconds(now).count()));
            return 0;
        }
        if (std::chrono::steady_clock::now() > deadline)
            return 1;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

#include "X11WindowManager.h"

#include <QByteArray>
#include <QPlatformSurfaceEvent>
#include <QWindow>

#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace {

template <typename T> struct FreeDeleter {
    void operator()(T* p) const { std::free(p); }
};
template <typename T> using XcbReply = std::unique_ptr<T, FreeDeleter<T>>;

} // namespace

// Applies a property each time the platform window is created.
class PlatformWindowHook : public QObject {
public:
    using QObject::QObject;

    void setApply(std::function<void(uint32_t)> apply) { m_apply = std::move(apply); }
    void applyTo(QWindow* window)
    {
        if (m_apply)
            m_apply(uint32_t(window->winId()));
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::PlatformSurface &&
            static_cast<QPlatformSurfaceEvent*>(event)->surfaceEventType() ==
                QPlatformSurfaceEvent::SurfaceCreated)
            applyTo(static_cast<QWindow*>(watched));
        return false;
    }

private:
    std::function<void(uint32_t)> m_apply;
};

X11WindowManager::X11WindowManager(xcb_connection_t* connection)
    : m_connection(connection)
{
    // The default screen of the connection: the one DISPLAY names.
    const xcb_setup_t* setup = xcb_get_setup(m_connection);
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(setup);
    const QByteArray display = qgetenv("DISPLAY");
    const int dot = display.lastIndexOf('.');
    const int colon = display.lastIndexOf(':');
    if (dot > colon && colon >= 0)
        m_screenNumber = display.mid(dot + 1).toInt();
    for (int i = 0; i < m_screenNumber && screens.rem > 1; ++i)
        xcb_screen_next(&screens);
    if (screens.rem > 0)
        m_root = screens.data->root;
}

uint32_t X11WindowManager::atom(const char* name, bool onlyIfExists) const
{
    XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        m_connection,
        xcb_intern_atom(m_connection, onlyIfExists, uint16_t(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : uint32_t(XCB_ATOM_NONE);
}

bool X11WindowManager::blendsTranslucentWindows() const
{
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(m_screenNumber);
    const xcb_atom_t selection = atom(name.constData(), false);
    if (selection == XCB_ATOM_NONE)
        return false;
    XcbReply<xcb_get_selection_owner_reply_t> reply(xcb_get_selection_owner_reply(
        m_connection, xcb_get_selection_owner(m_connection, selection), nullptr));
    return reply && reply->owner != XCB_WINDOW_NONE;
}

bool X11WindowManager::blurBehindOffered(xcb_connection_t* connection, uint32_t root)
{
    static const char name[] = "_KDE_NET_WM_BLUR_BEHIND_REGION";
    XcbReply<xcb_intern_atom_reply_t> atomReply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, true, uint16_t(sizeof name - 1), name), nullptr));
    if (!atomReply || atomReply->atom == XCB_ATOM_NONE || root == 0)
        return false;
    XcbReply<xcb_get_property_reply_t> property(xcb_get_property_reply(
        connection,
        xcb_get_property(connection, false, root, atomReply->atom, XCB_GET_PROPERTY_TYPE_ANY, 0, 0),
        nullptr));
    return property && property->type != XCB_ATOM_NONE;
}

bool X11WindowManager::requestBlurBehind(QWindow* window)
{
    if (!window || !blurBehindOffered(m_connection, m_root))
        return false;
    const xcb_atom_t region = atom("_KDE_NET_WM_BLUR_BEHIND_REGION", false);
    if (region == XCB_ATOM_NONE)
        return false;
    xcb_connection_t* connection = m_connection;
    whenCreated(window, "blurBehind", [connection, region](xcb_window_t id) {
        // An empty region stands for the whole window.
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, region, XCB_ATOM_CARDINAL, 32, 0,
                            nullptr);
        xcb_flush(connection);
    });
    return true;
}

void X11WindowManager::setKeptOutOfTaskBar(QWindow* window, bool keptOut)
{
    if (!window)
        return;
    xcb_connection_t* connection = m_connection;
    const xcb_atom_t state = atom("_NET_WM_STATE", false);
    const xcb_atom_t skip[] = {atom("_NET_WM_STATE_SKIP_TASKBAR", false),
                               atom("_NET_WM_STATE_SKIP_PAGER", false)};
    whenCreated(window, "keptOutOfTaskBar", [=](xcb_window_t id) {
        // Written while the window is unmapped; Qt keeps the states it does
        // not manage itself when it maps the window.
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, state, XCB_ATOM_ATOM, 32,
                            keptOut ? 2 : 0, skip);
        xcb_flush(connection);
    });
}

QString X11WindowManager::name() const
{
    // The window manager names its check window, which the root points to.
    const xcb_atom_t check = atom("_NET_SUPPORTING_WM_CHECK", true);
    const xcb_atom_t wmName = atom("_NET_WM_NAME", true);
    const xcb_atom_t utf8 = atom("UTF8_STRING", true);
    if (check == XCB_ATOM_NONE || wmName == XCB_ATOM_NONE || m_root == 0)
        return {};
    XcbReply<xcb_get_property_reply_t> pointer(xcb_get_property_reply(
        m_connection, xcb_get_property(m_connection, false, m_root, check, XCB_ATOM_WINDOW, 0, 1),
        nullptr));
    if (!pointer || pointer->type != XCB_ATOM_WINDOW ||
        xcb_get_property_value_length(pointer.get()) != 4)
        return {};
    const xcb_window_t window = *static_cast<xcb_window_t*>(xcb_get_property_value(pointer.get()));
    XcbReply<xcb_get_property_reply_t> text(xcb_get_property_reply(
        m_connection, xcb_get_property(m_connection, false, window, wmName, utf8, 0, 64), nullptr));
    if (!text || text->type != utf8)
        return {};
    return QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(text.get())),
                             xcb_get_property_value_length(text.get()));
}

void X11WindowManager::whenCreated(QWindow* window, const char* name,
                                   std::function<void(uint32_t)> apply)
{
    // Qt creates the platform window when it is first shown, not at start
    // while the tray icon is still to come; the properties go on then.
    auto* hook =
        window->findChild<PlatformWindowHook*>(QLatin1String(name), Qt::FindDirectChildrenOnly);
    if (!hook) {
        hook = new PlatformWindowHook(window); // owned by the window
        hook->setObjectName(QLatin1String(name));
        window->installEventFilter(hook);
    }
    hook->setApply(std::move(apply));
    if (window->handle())
        hook->applyTo(window);
}

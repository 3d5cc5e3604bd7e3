#include "FirstResponder.h"

#include "FRWindowEventPublisher.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QQuickItem>
#include <QQuickWindow>
#include <QtQml/qqmlinfo.h>

namespace {

FirstResponder::Kind kindOf(const QObject* attachee)
{
    if (!qobject_cast<const QQuickItem*>(attachee))
        return FirstResponder::Unsupported;
    // Qt Quick Controls' TextField and TextArea derive from these two.
    if (attachee->inherits("QQuickTextInput"))
        return FirstResponder::TextField;
    if (attachee->inherits("QQuickTextEdit"))
        return FirstResponder::TextEditor;
    return FirstResponder::Unsupported;
}

} // namespace

FirstResponder::FirstResponder(QObject* attachee)
    : FrEventObserver(attachee)
    , m_kind(kindOf(attachee))
{
    if (m_kind == Unsupported) {
        qmlWarning(attachee) << "FirstResponder serves text fields and text editors only";
        return;
    }
    m_field = static_cast<QQuickItem*>(attachee);
    connect(m_field, &QQuickItem::windowChanged, this, &FirstResponder::fieldWindowChanged);
    fieldWindowChanged(m_field->window());
}

FirstResponder::~FirstResponder()
{
    if (m_window)
        FRWindowEventPublisher::unregisterObserver(*m_window, *this);
}

FirstResponder* FirstResponder::qmlAttachedProperties(QObject* attachee)
{
    return new FirstResponder(attachee); // owned by the attachee
}

void FirstResponder::setIdentity(const QVariant& identity)
{
    m_identity = identity;
    emit identityChanged();
    applyRequestedStatus();
}

void FirstResponder::setState(FirstResponderState* state)
{
    if (m_state)
        disconnect(m_state, nullptr, this, nullptr);
    m_state = state;
    if (m_state)
        connect(m_state, &FirstResponderState::valueChanged, this,
                &FirstResponder::applyRequestedStatus);
    emit stateChanged();
    applyRequestedStatus();
}

void FirstResponder::setResignableUserOperations(int operations)
{
    m_operations = ResignableUserOperations::fromInt(operations);
    emit resignableUserOperationsChanged();
}

void FirstResponder::fieldWindowChanged(QQuickWindow* window)
{
    if (m_window && m_window != window) {
        FRWindowEventPublisher::unregisterObserver(*m_window, *this);
        m_window = nullptr;
    }
    // Taken up after the current pass of building the scene and handling
    // events, so the focus is never moved in the middle of either.
    if (window)
        QMetaObject::invokeMethod(this, &FirstResponder::attachToWindow, Qt::QueuedConnection);
}

void FirstResponder::attachToWindow()
{
    QQuickWindow* window = m_field ? m_field->window() : nullptr;
    if (!window || window == m_window)
        return;
    m_window = window;
    FRWindowEventPublisher::registerObserver(*window, *this);
    applyRequestedStatus();
}

void FirstResponder::applyRequestedStatus()
{
    // Nothing until the field is known in its window.
    if (!m_field || !m_window || m_field->window() != m_window)
        return;
    const bool status = m_state && m_state->holds(m_identity);
    if (isFirstResponder() == status)
        return;
    // Not reported back: the state already holds what was asked for.
    if (status)
        m_field->forceActiveFocus(Qt::OtherFocusReason);
    else
        m_field->setFocus(false, Qt::OtherFocusReason);
}

bool FirstResponder::isFirstResponder() const
{
    // The field holds its window's focus when it and every focus scope above
    // it have the focus; the window itself may be inactive at the moment.
    QQuickWindow* window = m_field->window();
    if (!window || !m_field->hasFocus())
        return false;
    for (const QQuickItem* item = m_field->parentItem(); item && item != window->contentItem();
         item = item->parentItem()) {
        if (item->isFocusScope() && !item->hasFocus())
            return false;
    }
    return true;
}

void FirstResponder::receive(QQuickWindow& window, const QEvent& event)
{
    if (!m_field || m_field->window() != &window)
        return;
    if (event.type() == QEvent::MouseButtonPress)
        handleMousePress(event);
    else if (event.type() == QEvent::KeyRelease)
        handleKeyRelease(event);
}

void FirstResponder::handleMousePress(const QEvent& event)
{
    const QPointF location = static_cast<const QMouseEvent&>(event).scenePosition();
    const QRectF field = m_field->mapRectToScene(QRectF(0, 0, m_field->width(), m_field->height()));
    const bool outside = !field.contains(location);
    if (outside && m_operations.testFlag(MouseDownOutside))
        resignFirstResponder();
    else
        scheduleFocusReport();
}

void FirstResponder::handleKeyRelease(const QEvent& event)
{
    const auto& key = static_cast<const QKeyEvent&>(event);
    // A held key repeats its press and release; only the real release counts.
    if (key.isAutoRepeat())
        return;
    const bool singleLine = m_kind == TextField;
    switch (key.key()) {
    case Qt::Key_Return:
        if (singleLine && m_operations.testFlag(ReturnKey))
            resignFirstResponder();
        break;
    case Qt::Key_Enter:
        // Only the keypad's Enter; Return is Key_Return.
        if (singleLine && (key.modifiers() & Qt::KeypadModifier) && m_operations.testFlag(EnterKey))
            resignFirstResponder();
        break;
    case Qt::Key_Escape:
        if (m_operations.testFlag(EscapeKey))
            resignFirstResponder();
        break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: // Shift+Tab
        // The press has already moved the focus.
        scheduleFocusReport();
        break;
    default:
        break;
    }
}

void FirstResponder::resignFirstResponder()
{
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!m_field || !m_field->window() || !isFirstResponder())
                return;
            m_field->setFocus(false, Qt::OtherFocusReason);
            report(FREventChangeResult::resigned);
        },
        Qt::QueuedConnection);
}

void FirstResponder::scheduleFocusReport()
{
    // Runs once the window has handled the event, so it sees the focus that
    // the event produced.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!m_field || !m_field->window())
                return;
            report(isFirstResponder() ? FREventChangeResult::focused
                                      : FREventChangeResult::resigned);
        },
        Qt::QueuedConnection);
}

void FirstResponder::report(FREventChangeResult result)
{
    if (!m_state || !m_identity.isValid() || m_identity.isNull())
        return;
    const bool holdsOwn = m_state->holds(m_identity);
    // Written only when the state disagrees; another field's identity stays.
    if (result == FREventChangeResult::focused && !holdsOwn)
        m_state->setValue(m_identity);
    else if (result == FREventChangeResult::resigned && holdsOwn)
        m_state->clear();
}

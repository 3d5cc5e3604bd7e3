#pragma once

#include "FREventChangeResult.h"
#include "FirstResponderState.h"
#include "FrEventObserver.h"

#include <QPointer>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

class QQuickItem;
class QQuickWindow;

// Ties one text field to a shared FirstResponderState, as an attached type:
//
//     TextField {
//         FirstResponder.identity: FirstResponders.searchfield
//         FirstResponder.state: firstResponder
//         FirstResponder.resignableUserOperations: FirstResponder.EnterKey
//     }
//
// When the state holds the field's identity the field gets the keyboard
// focus, when it holds anything else the field gives it up; this is applied
// at every write of the state and once the field is in a window. The user's
// own focus changes (a left-button press, Tab, the chosen keys) are written
// back: the identity when the field gained the focus, none when it lost it
// while the state held its identity. A single-line field (TextInput,
// TextField) and a multi-line editor (TextEdit, TextArea) are served; on
// anything else the controller does nothing.
class FirstResponder : public FrEventObserver {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("FirstResponder is attached to a text field")
    QML_ATTACHED(FirstResponder)
    Q_PROPERTY(QVariant identity READ identity WRITE setIdentity NOTIFY identityChanged)
    Q_PROPERTY(FirstResponderState* state READ state WRITE setState NOTIFY stateChanged)
    // ResignableUserOperation flags ORed; a multi-line editor knows only
    // MouseDownOutside and EscapeKey, Return and Enter belong to its text.
    Q_PROPERTY(int resignableUserOperations READ resignableUserOperations WRITE
                   setResignableUserOperations NOTIFY resignableUserOperationsChanged)
    Q_PROPERTY(Kind kind READ kind CONSTANT)

public:
    enum Kind {
        Unsupported,
        TextField,
        TextEditor,
    };
    Q_ENUM(Kind)

    enum ResignableUserOperation {
        MouseDownOutside = 1,
        ReturnKey = 2,
        EnterKey = 4,
        EscapeKey = 8,
        All = 15,
    };
    Q_DECLARE_FLAGS(ResignableUserOperations, ResignableUserOperation)
    Q_FLAG(ResignableUserOperations)

    explicit FirstResponder(QObject* attachee);
    ~FirstResponder() override;

    static FirstResponder* qmlAttachedProperties(QObject* attachee);

    QVariant identity() const { return m_identity; }
    void setIdentity(const QVariant& identity);
    FirstResponderState* state() const { return m_state; }
    void setState(FirstResponderState* state);
    int resignableUserOperations() const { return m_operations.toInt(); }
    void setResignableUserOperations(int operations);
    Kind kind() const { return m_kind; }

    void receive(QQuickWindow& window, const QEvent& event) override;

signals:
    void identityChanged();
    void stateChanged();
    void resignableUserOperationsChanged();

private:
    void fieldWindowChanged(QQuickWindow* window);
    void attachToWindow();
    void applyRequestedStatus();
    bool isFirstResponder() const;
    void resignFirstResponder();
    void scheduleFocusReport();
    void report(FREventChangeResult result);
    void handleMousePress(const QEvent& event);
    void handleKeyRelease(const QEvent& event);

    QPointer<QQuickItem> m_field;
    Kind m_kind = Unsupported;
    // The window whose publisher holds this observer.
    QPointer<QQuickWindow> m_window;
    QVariant m_identity;
    QPointer<FirstResponderState> m_state;
    ResignableUserOperations m_operations;
};

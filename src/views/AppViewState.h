#pragma once

#include <QColor>
#include <QObject>
#include <QtQml/qqmlregistration.h>

// What the window's views share with the program besides the stores: the
// panel shown, the look of the configured window, and the way out.
class AppViewState : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application owns the view state")
    // Whether the window shows the preferences panel; false after each close.
    Q_PROPERTY(bool showPreferences READ showPreferences WRITE setShowPreferences NOTIFY
                   showPreferencesChanged)
    // The content shows once the window is configured.
    Q_PROPERTY(bool windowConfigured READ windowConfigured NOTIFY windowLookChanged)
    // Whether what lies behind the window shows through it.
    Q_PROPERTY(bool translucent READ translucent NOTIFY windowLookChanged)
    // Whether the compositor blurs what lies behind it.
    Q_PROPERTY(bool blurBehind READ blurBehind NOTIFY windowLookChanged)
    // Drawn by the backdrop view.
    Q_PROPERTY(QColor backgroundColor READ backgroundColor NOTIFY windowLookChanged)

public:
    using QObject::QObject;

    bool showPreferences() const { return m_showPreferences; }
    void setShowPreferences(bool showPreferences);

    bool windowConfigured() const { return m_windowConfigured; }
    bool translucent() const { return m_translucent; }
    bool blurBehind() const { return m_blurBehind; }
    QColor backgroundColor() const { return m_backgroundColor; }
    void setWindowLook(bool translucent, bool blurBehind, const QColor& backgroundColor);

    Q_INVOKABLE void requestQuit() { emit quitRequested(); }
    // The window is to go away (Escape); a popup closes, an ordinary window stays.
    Q_INVOKABLE void requestClose() { emit closeRequested(); }

signals:
    void showPreferencesChanged();
    void windowLookChanged();
    void quitRequested();
    void closeRequested();

private:
    bool m_showPreferences = false;
    bool m_windowConfigured = false;
    bool m_translucent = true;
    bool m_blurBehind = false;
    QColor m_backgroundColor = Qt::transparent;
};

#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWindow>
#include <QtQml/qqmlregistration.h>

// Whether the keyboard focus is to be drawn: from a key press until the next
// pointer press or until a window hides. Pointer users see no focus ring;
// the first key shows where the keyboard is.
class FocusVisibility : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(bool shown READ shown NOTIFY shownChanged)

public:
    explicit FocusVisibility(QObject* parent = nullptr);

    bool shown() const { return m_shown; }

signals:
    void shownChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watch(QWindow* window);
    void setShown(bool shown);

    bool m_shown = false;
    QList<QPointer<QWindow>> m_watched;
};

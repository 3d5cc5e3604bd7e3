#include "AppViewState.h"

void AppViewState::setShowPreferences(bool showPreferences)
{
    m_showPreferences = showPreferences;
    emit showPreferencesChanged();
}

void AppViewState::setWindowLook(bool translucent, bool blurBehind, const QColor& backgroundColor)
{
    m_windowConfigured = true;
    m_translucent = translucent;
    m_blurBehind = blurBehind;
    m_backgroundColor = backgroundColor;
    emit windowLookChanged();
}

#include "FirstResponderState.h"

namespace {

bool isNone(const QVariant& value)
{
    return !value.isValid() || value.isNull();
}

} // namespace

QVariant FirstResponderState::value() const
{
    return m_value.isValid() ? m_value : QVariant::fromValue(nullptr);
}

void FirstResponderState::setValue(const QVariant& value)
{
    m_value = isNone(value) ? QVariant() : value;
    emit valueChanged();
}

bool FirstResponderState::holds(const QVariant& identity) const
{
    return !isNone(identity) && m_value.isValid() && m_value == identity;
}

#include "MprisRootAdaptor.h"

#include "MprisService.h"

MprisRootAdaptor::MprisRootAdaptor(MprisService& service)
    : QDBusAbstractAdaptor(&service)
    , m_service(service)
{}

QString MprisRootAdaptor::identity() const
{
    return QStringLiteral("Sondik");
}

QString MprisRootAdaptor::desktopEntry() const
{
    return QStringLiteral(SONDIK_APP_ID);
}

void MprisRootAdaptor::Raise()
{
    m_service.raise();
}

void MprisRootAdaptor::Quit()
{
    m_service.quit();
}

#include "SupportPage.h"

#include <QDesktopServices>
#include <QUrl>

static_assert(sizeof(SupportPage::defaultAddress) - 1 == 30);

bool SupportPage::open(const QString& address)
{
    const QUrl url(address, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() ||
        (url.scheme() != QLatin1String("https") && url.scheme() != QLatin1String("http")))
        return false;
    QDesktopServices::openUrl(url);
    return true;
}

#include "SupportPage.h"

#include "ViewsLogging.h"

#include <QDesktopServices>
#include <QUrl>

static_assert(sizeof(SupportPage::defaultAddress) - 1 == 30);

bool SupportPage::open(const QString& address)
{
    const QUrl url(address, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() ||
        (url.scheme() != QLatin1String("https") && url.scheme() != QLatin1String("http")))
        return false;
    // No browser, or none that starts: the user clicked and nothing opened.
    if (!QDesktopServices::openUrl(url)) {
        qCWarning(lcViews).noquote() << "Could not open" << url.toString() << "in a browser";
        return false;
    }
    return true;
}

#include "views/SupportPage.h"

#include <QDesktopServices>
#include <QTest>
#include <QUrl>

class TestSupportPage : public QObject {
    Q_OBJECT

    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened.append(url); }

private slots:
    void initTestCase()
    {
        for (const char* scheme : {"http", "https", "file", "mailto"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "open");
    }
    void cleanupTestCase()
    {
        for (const char* scheme : {"http", "https", "file", "mailto"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
    void init() { opened.clear(); }

    void onlyAWebAddressIsHandedToTheBrowser_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("handed");
        QTest::newRow("the page") << SupportPage::address() << true;
        QTest::newRow("plain http") << "http://sondik.de/support.html" << true;
        QTest::newRow("no scheme") << "sondik.de/support.html" << false;
        QTest::newRow("a local file") << "file:///etc/passwd" << false;
        QTest::newRow("mail") << "mailto:help@sondik.de" << false;
        QTest::newRow("no host") << "https:///support.html" << false;
        QTest::newRow("not an address") << "https://so ndik.de/" << false;
        QTest::newRow("empty") << "" << false;
    }

    void onlyAWebAddressIsHandedToTheBrowser()
    {
        QFETCH(QString, address);
        QFETCH(bool, handed);
        QCOMPARE(SupportPage::open(address), handed);
        QCOMPARE(opened, handed ? QList<QUrl>{QUrl(address)} : QList<QUrl>{});
    }
};

QTEST_MAIN(TestSupportPage)
#include "tst_supportpage.moc"

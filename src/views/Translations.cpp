#include "Translations.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

QTranslator* Translations::install(QCoreApplication& application)
{
    auto* translator = new QTranslator(&application);
    const QString directory = QStringLiteral(":/i18n");
    const QString name = QStringLiteral("sondik");
    if (!translator->load(QLocale(), name, QStringLiteral("_"), directory) &&
        !translator->load(name + QStringLiteral("_en"), directory)) {
        delete translator;
        return nullptr;
    }
    QCoreApplication::installTranslator(translator);
    return translator;
}

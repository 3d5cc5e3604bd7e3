#pragma once

class QCoreApplication;
class QTranslator;

// The views' string tables: texts are looked up by id (qsTrId), in English
// and German, compiled into the program under ":/i18n".
class Translations {
public:
    // Installs on the application the table of the first of the user's UI
    // languages that has one (QLocale().uiLanguages(): LANGUAGE, LC_ALL,
    // LC_MESSAGES, LANG), else the English one, so an id always shows a text.
    // The translator is a child of the application; returns it, or nullptr
    // when no table could be loaded.
    static QTranslator* install(QCoreApplication& application);
};

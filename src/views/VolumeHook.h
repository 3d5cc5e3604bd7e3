#pragma once

#include <QObject>
#include <QtQml/qqmlregistration.h>

class Preferences;
class RadioPlayer;

// Connects the volume setting to the playing stream: the content view
// installs it when it appears.
class VolumeHook : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    using QObject::QObject;

    // From now on every write of the volume sets the volume of the player's
    // current media player, if one plays, and does nothing otherwise. Replaces
    // any hook installed before. The hook holds the player, not the caller.
    static void install(Preferences& preferences, RadioPlayer& radioPlayer);

    Q_INVOKABLE void installOn(Preferences* preferences, RadioPlayer* radioPlayer);
};

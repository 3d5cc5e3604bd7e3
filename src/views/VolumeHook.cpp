#include "VolumeHook.h"

#include "playback/Preferences.h"
#include "playback/RadioPlayer.h"

#include <QPointer>

void VolumeHook::install(Preferences& preferences, RadioPlayer& radioPlayer)
{
    preferences.setOnVolumeChanged([player = QPointer<RadioPlayer>(&radioPlayer)](float volume) {
        if (player)
            player->setVolume(volume);
    });
}

void VolumeHook::installOn(Preferences* preferences, RadioPlayer* radioPlayer)
{
    if (preferences && radioPlayer)
        install(*preferences, *radioPlayer);
}

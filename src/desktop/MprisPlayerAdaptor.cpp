#include "MprisPlayerAdaptor.h"

#include "MprisService.h"
#include "playback/PlaybackController.h"

MprisPlayerAdaptor::MprisPlayerAdaptor(MprisService& service)
    : QDBusAbstractAdaptor(&service)
    , m_service(service)
{}

QString MprisPlayerAdaptor::playbackStatus() const
{
    return m_service.playbackStatus();
}

QVariantMap MprisPlayerAdaptor::metadata() const
{
    return m_service.metadata();
}

double MprisPlayerAdaptor::volume() const
{
    return m_service.volume();
}

void MprisPlayerAdaptor::setVolume(double volume)
{
    m_service.setVolume(volume);
}

bool MprisPlayerAdaptor::hasStation() const
{
    return m_service.hasStation();
}

void MprisPlayerAdaptor::Next()
{
    m_service.controller().next();
}

void MprisPlayerAdaptor::Previous()
{
    m_service.controller().previous();
}

void MprisPlayerAdaptor::Pause()
{
    m_service.controller().stop();
}

void MprisPlayerAdaptor::PlayPause()
{
    m_service.controller().playPause();
}

void MprisPlayerAdaptor::Stop()
{
    m_service.controller().stop();
}

void MprisPlayerAdaptor::Play()
{
    m_service.controller().play();
}

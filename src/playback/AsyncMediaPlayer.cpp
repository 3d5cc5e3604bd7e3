#include "AsyncMediaPlayer.h"

#include <algorithm>

AsyncMediaPlayer::AsyncMediaPlayer(QUrl url, QObject* parent)
    : MediaPlayer(parent)
    , m_url(std::move(url))
{}

AsyncMediaPlayer::~AsyncMediaPlayer() = default;

void AsyncMediaPlayer::play()
{
    m_playRequested = true;
    m_rate = 1.0f;
    emit rateChanged(m_rate);
    if (m_failed)
        end();
    else if (m_backend)
        m_backend->play();
}

void AsyncMediaPlayer::setVolume(float volume)
{
    // As the backend takes it; NaN counts as silence.
    m_volume = volume >= 0.0f ? std::min(volume, 1.0f) : 0.0f;
    if (m_backend)
        m_backend->setVolume(m_volume);
}

void AsyncMediaPlayer::attach(std::unique_ptr<MediaPlayer> backend)
{
    if (isAttached())
        return;
    if (!backend) {
        m_failed = true;
        if (m_playRequested && m_rate != 0.0f)
            end();
        return;
    }
    m_backend = std::move(backend);
    m_backend->setParent(nullptr);
    connect(m_backend.get(), &MediaPlayer::rateChanged, this,
            &AsyncMediaPlayer::onBackendRateChanged);
    connect(m_backend.get(), &MediaPlayer::streamTitleChanged, this,
            &MediaPlayer::streamTitleChanged);
    m_backend->setVolume(m_volume);
    if (m_playRequested && m_rate != 0.0f)
        m_backend->play();
}

void AsyncMediaPlayer::onBackendRateChanged(float rate)
{
    // The backend's own start (1.0) was reported when play() was called.
    if (rate == 0.0f && m_rate != 0.0f)
        end();
}

void AsyncMediaPlayer::end()
{
    m_rate = 0.0f;
    emit rateChanged(m_rate);
}

#pragma once

#include <QObject>

#include <memory>

class QSocketNotifier;

// Turns SIGTERM and SIGINT into a signal on the event loop, so that they end
// the program through its orderly quit. The handler only writes the signal's
// number to a pipe; a second signal of the same kind, while the quit is under
// way, ends the process at once as it would without this object.
class TerminationSignals : public QObject {
    Q_OBJECT

public:
    explicit TerminationSignals(QObject* parent = nullptr);
    // Restores the default actions.
    ~TerminationSignals() override;

    // False when the pipe or the handlers could not be set up.
    bool isActive() const { return m_notifier != nullptr; }

signals:
    void received(int signalNumber);

private:
    void readPipe();

    std::unique_ptr<QSocketNotifier> m_notifier;
};

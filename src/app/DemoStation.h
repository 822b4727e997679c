// Runs the local demo station (sorvane-station with its demo catalogue) for --demo, so
// the program plays on a machine without the service.
#pragma once

#include <QProcess>
#include <QString>

namespace sorvane::app {

class DemoStation
{
public:
    DemoStation() = default;
    ~DemoStation();
    DemoStation(const DemoStation &) = delete;
    DemoStation &operator=(const DemoStation &) = delete;

    // Starts the station on a free loopback port and waits (at most a few seconds) for
    // its "listening on" line. Returns false with errorText() set when it cannot start.
    bool start();

    // e.g. "http://127.0.0.1:40123"; empty before a successful start().
    QString serviceBase() const { return m_base; }
    QString musicBase() const { return m_base.isEmpty() ? QString() : m_base + QStringLiteral("/music"); }
    QString errorText() const { return m_error; }

private:
    QProcess m_process;
    QString m_base;
    QString m_error;
};

} // namespace sorvane::app

// Turns SIGTERM, SIGINT and SIGHUP into a normal close of the main window, so a logout
// or `kill` saves the settings and the favourites like the close button does.
#pragma once

#include <QObject>

class QSocketNotifier;

namespace sorvane::app {

class TermSignals : public QObject
{
    Q_OBJECT
public:
    explicit TermSignals(QObject *parent = nullptr);
    ~TermSignals() override;

Q_SIGNALS:
    void terminationRequested();

private:
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace sorvane::app

#include "app/DemoStation.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

namespace sorvane::app {

namespace {

constexpr int kStartTimeoutMs = 5000;

QString findStation()
{
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/sorvane-station");
    if (QFileInfo(beside).isExecutable())
        return beside;
    return QStandardPaths::findExecutable(QStringLiteral("sorvane-station"));
}

} // namespace

DemoStation::~DemoStation()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(2000))
            m_process.kill();
        m_process.waitForFinished(1000);
    }
}

bool DemoStation::start()
{
    const QString program = findStation();
    if (program.isEmpty()) {
        m_error = QStringLiteral("sorvane-station was not found beside the program or on PATH");
        return false;
    }
    QStringList args{QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--quiet"),
                     QStringLiteral("--exit-with-parent")};
    // Without --catalogue the station serves the demo catalogue installed beside itself.
    const QString catalogue = qEnvironmentVariable("SORVANE_DEMO_CATALOGUE");
    if (!catalogue.isEmpty())
        args << QStringLiteral("--catalogue") << catalogue;
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(program, args);
    if (!m_process.waitForStarted(kStartTimeoutMs)) {
        m_error = QStringLiteral("cannot start %1: %2").arg(program, m_process.errorString());
        return false;
    }
    static const QRegularExpression ready(QStringLiteral("listening on (http://127\\.0\\.0\\.1:\\d+)"));
    QByteArray seen;
    while (m_process.waitForReadyRead(kStartTimeoutMs)) {
        seen += m_process.readAllStandardOutput();
        const auto match = ready.match(QString::fromUtf8(seen));
        if (match.hasMatch()) {
            m_base = match.captured(1);
            // Keep draining its request log so the pipe never fills.
            QObject::connect(&m_process, &QProcess::readyReadStandardOutput, &m_process,
                             [this] { m_process.readAllStandardOutput(); });
            return true;
        }
    }
    m_error = QStringLiteral("the demo station did not report its address");
    return false;
}

} // namespace sorvane::app

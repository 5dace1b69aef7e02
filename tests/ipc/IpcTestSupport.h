#pragma once

// Shared pieces of the link tests: a master-side client and the slave's report file.
#include "../helpers/ipc/LinkClient.h"
#include "../io/PipeTestSupport.h"

#include <QTemporaryDir>

#include <poll.h>
#include <sys/wait.h>

namespace IpcTest
{

inline const QString kHelperDir = QStringLiteral(ZENTAR_HELPER_DIR);
inline const QString kSlave = kHelperDir + QStringLiteral("/zentar_ipc_slave");

struct MasterClient : LinkClient {
    // Waits for the slave (our child) to end and collects it.
    bool WaitForSlaveExit(qint64 pid)
    {
        pollfd p { int(other), POLLIN, 0 };
        if (other <= 0 || ::poll(&p, 1, 20000) != 1)
            return false;
        ::waitpid(pid_t(pid), nullptr, WNOHANG);
        return true;
    }
};

// The state letter of process `pid` ('Z' for a zombie), 0 when it is gone.
inline char ProcessState(qint64 pid)
{
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray stat = file.readAll();
    const int afterName = stat.lastIndexOf(')');
    return afterName < 0 || afterName + 2 >= stat.size() ? 0 : stat.at(afterName + 2);
}

inline bool HasExited(qint64 pid)
{
    const char state = ProcessState(pid);
    return state == 0 || state == 'Z';
}

// The lines a helper appends to its report file.
class Report
{
public:
    QString Option() const { return QStringLiteral("--report=") + m_path; }
    QStringList Lines() const
    {
        QFile file(m_path);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            return {};
        return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    bool Has(const QString& line) const { return Lines().contains(line); }
    // The rest of the first line that starts with `key` and a space.
    QString Value(const QString& key) const
    {
        const QStringList lines
            = Lines().filter(QRegularExpression(QLatin1Char('^') + key + QLatin1Char(' ')));
        return lines.isEmpty() ? QString() : lines.first().mid(key.size() + 1);
    }
    qint64 Pid() const { return Value(QStringLiteral("pid")).toLongLong(); }
    QString Path() const { return m_path; }
    // What the link code of the library logged as WARNING or ERROR.
    QStringList LinkWarnings() const
    {
        return Lines().filter(QRegularExpression(QStringLiteral("^ipc-log ")));
    }

private:
    QTemporaryDir m_dir;
    QString m_path = m_dir.filePath(QStringLiteral("report.txt"));
};

} // namespace IpcTest

#include "CrashReports.h"

#include "../Platform/OsCrash.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QRegularExpression>

#include <boost/core/demangle.hpp>
#include <glog/logging.h>

namespace Zentar::App
{

std::string CrashReport::Summary() const
{
    // A bad memory access names its address, even 0; other signals only a
    // real one (abort() and kill have none).
    if (cause == "signal")
        return signalName
            + (address || signalName == "SIGSEGV" || signalName == "SIGBUS"
                    ? " at 0x" + QByteArray::number(qulonglong(address), 16).toStdString()
                    : std::string());
    if (cause == "exception")
        return exceptionType + (exceptionWhat.empty() ? std::string() : ": " + exceptionWhat);
    if (cause == "structured-exception")
        return "exception 0x" + QByteArray::number(qulonglong(signal), 16).toStdString() + " at 0x"
            + QByteArray::number(qulonglong(address), 16).toStdString();
    return cause;
}

namespace CrashReports
{
namespace
{

bool ParseNumber(const QByteArray& text, uint64_t* value)
{
    bool ok = false;
    const bool hex = text.startsWith("0x");
    *value = (hex ? text.mid(2) : text).toULongLong(&ok, hex ? 16 : 10);
    return ok;
}

// "<a> <b> rest": the first two words and what follows the second space.
bool SplitTwo(const QByteArray& value, QByteArray* first, QByteArray* second, QByteArray* rest)
{
    const int a = value.indexOf(' ');
    const int b = a < 0 ? -1 : value.indexOf(' ', a + 1);
    if (a <= 0)
        return false;
    *first = value.left(a);
    *second = b < 0 ? value.mid(a + 1) : value.mid(a + 1, b - a - 1);
    *rest = b < 0 ? QByteArray() : value.mid(b + 1);
    return true;
}

} // namespace

bool IsSessionIdForm(const QString& sessionId)
{
    static const QRegularExpression form(QStringLiteral("^\\d{6}-\\d{6}-\\d{6}$"));
    return form.match(sessionId).hasMatch();
}

QString PathFor(const QString& sessionFile, const std::string& sessionId)
{
    const QString id = QString::fromStdString(sessionId);
    if (!IsSessionIdForm(id))
        return {};
    QString base = sessionFile;
    if (base.endsWith(QLatin1String(".ini")))
        base.chop(4);
    return base + QLatin1Char('.') + id + QStringLiteral(".crash");
}

bool Parse(const QByteArray& text, CrashReport* report)
{
    if (text.isEmpty() || size_t(text.size()) > Os::kMaxCrashReportSize || !text.endsWith("\nend\n"))
        return false;
    CrashReport r;
    const QList<QByteArray> lines = text.left(text.size() - 5).split('\n');
    for (const QByteArray& line : lines) {
        const int space = line.indexOf(' ');
        const QByteArray key = space < 0 ? line : line.left(space);
        const QByteArray value = space < 0 ? QByteArray() : line.mid(space + 1);
        uint64_t number = 0;
        QByteArray first, second, rest;
        if (key == "session") {
            r.sessionId = value.toStdString();
        } else if (key == "version") {
            r.version = value.toStdString();
        } else if (key == "time") {
            if (!ParseNumber(value, &number))
                return false;
            r.time = int64_t(number);
        } else if (key == "pid") {
            if (!ParseNumber(value, &r.processId))
                return false;
        } else if (key == "thread") {
            const int at = value.indexOf(' ');
            if (!ParseNumber(at < 0 ? value : value.left(at), &r.threadId))
                return false;
            r.threadName = at < 0 ? std::string() : value.mid(at + 1).toStdString();
        } else if (key == "cause") {
            if (value != "signal" && value != "exception" && value != "structured-exception")
                return false;
            r.cause = value.toStdString();
        } else if (key == "signal") {
            if (!SplitTwo(value, &first, &second, &rest) || !ParseNumber(first, &number)
                || number > 0xffffffffu)
                return false;
            r.signal = int(number);
            r.signalName = second.toStdString();
        } else if (key == "address") {
            if (!ParseNumber(value, &r.address))
                return false;
        } else if (key == "exception-type") {
            r.exceptionType = boost::core::demangle(value.constData());
        } else if (key == "exception-what") {
            r.exceptionWhat = value.toStdString();
        } else if (key == "frame") {
            CrashReport::Frame frame;
            if (!SplitTwo(value, &first, &second, &rest) || !ParseNumber(first, &frame.address)
                || !ParseNumber(second, &frame.moduleOffset))
                return false;
            if (rest != "?")
                frame.module = rest.toStdString();
            r.frames.push_back(std::move(frame));
        }
        // Other keys ("code", those of later versions) are left to readers of the file.
    }
    if (r.cause.empty())
        return false;
    *report = std::move(r);
    return true;
}

CrashReport Read(const QString& path, const std::string& sessionId)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return {};
    // One byte more than a crash writes tells an overlong file.
    const QByteArray text = file.read(qint64(Os::kMaxCrashReportSize) + 1);
    CrashReport report;
    if (!Parse(text, &report)) {
        LOG(WARNING) << "Crash report " << path.toStdString() << " is damaged, empty or truncated; ignored";
        return {};
    }
    report.sessionId = sessionId;
    for (size_t i = 0; i < report.frames.size(); ++i) {
        CrashReport::Frame& frame = report.frames[i];
        if (frame.module.empty())
            continue;
        // Outer frames hold return addresses, one past their call.
        const uint64_t lookup = frame.moduleOffset - (i > 0 && frame.moduleOffset > 0 ? 1 : 0);
        if (Os::SymbolizeModuleOffset(frame.module, lookup, &frame.function, &frame.functionOffset))
            frame.functionOffset += lookup != frame.moduleOffset ? 1 : 0;
    }
    return report;
}

void RemoveExpired(const QString& sessionFile, int days)
{
    const QFileInfo info(sessionFile);
    const QDateTime limit = QDateTime::currentDateTimeUtc().addDays(-days);
    const QString prefix = info.completeBaseName() + QLatin1Char('.');
    const QDir dir = info.dir();
    const QFileInfoList reports = dir.entryInfoList(
        { prefix + QStringLiteral("*.crash"), prefix + QStringLiteral("*.dmp") }, QDir::Files);
    for (const QFileInfo& report : reports)
        if (report.lastModified().toUTC() < limit)
            QFile::remove(report.absoluteFilePath());
}

} // namespace CrashReports
} // namespace Zentar::App

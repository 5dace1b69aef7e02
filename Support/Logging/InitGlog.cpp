#include <Zentar/Logging/InitGlog.h>

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

#include <glog/logging.h>

#include <mutex>

namespace Zentar::Logging
{

namespace
{

std::mutex& SetupMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::string& CurrentDirectory()
{
    static std::string directory;
    return directory;
}

std::string ProductName()
{
    QString name = qEnvironmentVariable("GLOG_PRODUCT_NAME").trimmed();
    if (name.isEmpty())
        name = QCoreApplication::applicationName().trimmed();
    if (name.isEmpty())
        name = QStringLiteral("zentar");
    // The name becomes part of a file name.
    for (QChar& c : name)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':'))
            c = QLatin1Char('_');
    return name.toUtf8().toStdString();
}

QString ChooseDirectory(const std::string& requested)
{
    QString dir = QString::fromUtf8(requested.data(), int(requested.size()));
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)
            + QStringLiteral("/logs");
    if (QDir().mkpath(dir))
        return QDir(dir).absolutePath();
    const QString fallback = QDir::tempPath();
    LOG(ERROR) << "Cannot create the log directory " << dir.toUtf8().constData() << "; logging to "
               << fallback.toUtf8().constData();
    return fallback;
}

} // namespace

void InitGlog(const std::string& logDirectory)
{
    std::lock_guard<std::mutex> lock(SetupMutex());
    const std::string product = ProductName();
    if (!google::IsGoogleLoggingInitialized()) {
        // glog keeps the pointer for the life of the process.
        static const std::string programName = product;
        google::InitGoogleLogging(programName.c_str());
    }
    FLAGS_logtostderr = false;
    FLAGS_alsologtostderr = false;
    FLAGS_stderrthreshold = google::GLOG_WARNING;
    // Write every line through: a crash must not take the last lines with it.
    FLAGS_logbuflevel = -1;

    const QString dir = ChooseDirectory(logDirectory);
    const std::string base = dir.toUtf8().toStdString() + "/" + product + ".log.";
    // One file holds every severity; glog's per-severity files would repeat it.
    google::SetLogDestination(google::GLOG_INFO, base.c_str());
    google::SetLogDestination(google::GLOG_WARNING, "");
    google::SetLogDestination(google::GLOG_ERROR, "");
    google::SetLogDestination(google::GLOG_FATAL, "");
    google::SetLogSymlink(google::GLOG_INFO, product.c_str());
    CurrentDirectory() = dir.toUtf8().toStdString();
}

std::string LogDirectory()
{
    std::lock_guard<std::mutex> lock(SetupMutex());
    return CurrentDirectory();
}

} // namespace Zentar::Logging

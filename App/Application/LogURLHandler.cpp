#include "LogURLHandler.h"

#include <QFile>
#include <QTextStream>
#include <QUrl>

namespace Zentar::App
{

LogURLHandler::LogURLHandler(QObject* parent, const QString& fileName)
    : QObject(parent)
    , m_file(new QFile(fileName))
{
    if (!m_file->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        delete m_file;
        m_file = nullptr;
    }
}

LogURLHandler::~LogURLHandler()
{
    delete m_file;
}

void LogURLHandler::logUrls(const QUrl& url)
{
    if (!m_file)
        return;
    QTextStream out(m_file);
    out << url.toString() << "\n";
    out.flush();
}

} // namespace Zentar::App

#pragma once

#include <QObject>

class QFile;
class QUrl;

namespace Zentar::App
{

// Writes every URL it is handed to a file, one per line, instead of opening
// it. A file that cannot be opened makes it swallow URLs silently.
class LogURLHandler : public QObject
{
    Q_OBJECT

public:
    LogURLHandler(QObject* parent, const QString& fileName);
    ~LogURLHandler() override;

public Q_SLOTS:
    void logUrls(const QUrl& url);

private:
    QFile* m_file = nullptr;
};

} // namespace Zentar::App

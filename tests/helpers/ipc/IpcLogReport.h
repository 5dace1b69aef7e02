#pragma once

// Reports every WARNING or ERROR line the link code of the library writes,
// as "ipc-log <severity> <text>", through `report`.
#include <glog/logging.h>

#include <cstring>
#include <functional>
#include <string>

class IpcLogReport : public google::LogSink
{
public:
    explicit IpcLogReport(std::function<void(const std::string&)> report)
        : m_report(std::move(report))
    {
        google::AddLogSink(this);
    }
    ~IpcLogReport() override { google::RemoveLogSink(this); }

    void send(google::LogSeverity severity, const char* fullFilename, const char*, int, const struct ::tm*,
        const char* message, size_t length) override
    {
        if (severity >= google::GLOG_WARNING && fullFilename && std::strstr(fullFilename, "App/IPC/"))
            m_report("ipc-log " + std::string(google::GetLogSeverityName(severity)) + ' '
                + std::string(message, length));
    }

private:
    std::function<void(const std::string&)> m_report;
};

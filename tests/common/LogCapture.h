#pragma once

#include <glog/logging.h>

#include <mutex>
#include <string>
#include <vector>

// Collects the log lines written while it lives.
class LogCapture : public google::LogSink
{
public:
    struct Line {
        google::LogSeverity severity;
        std::string file;
        std::string text;
    };

    LogCapture() { google::AddLogSink(this); }
    ~LogCapture() override { google::RemoveLogSink(this); }

    void send(google::LogSeverity severity, const char* fullFilename, const char* baseFilename, int line,
        const struct ::tm*, const char* message, size_t length) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_lines.push_back(
            { severity, fullFilename ? fullFilename : baseFilename, std::string(message, length) });
    }

    std::vector<Line> Lines() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_lines;
    }

    std::vector<std::string> Texts(google::LogSeverity severity) const
    {
        std::vector<std::string> out;
        for (const auto& l : Lines())
            if (l.severity == severity)
                out.push_back(l.text);
        return out;
    }

    bool Contains(const std::string& text) const
    {
        for (const auto& l : Lines())
            if (l.text.find(text) != std::string::npos)
                return true;
        return false;
    }

    void Clear()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_lines.clear();
    }

private:
    mutable std::mutex m_mutex;
    std::vector<Line> m_lines;
};

#pragma once

// The log lines of the I/O library go to glog. The Windows test program runs
// this code without glog (it defines ZENTAR_WITHOUT_GLOG) and gets the same
// lines on standard error, so the code under test stays the code that ships.

#ifndef ZENTAR_WITHOUT_GLOG

#include <glog/logging.h>

#else

#include <iostream>
#include <sstream>

namespace Zentar::Core::Detail
{

class StderrLogLine
{
public:
    StderrLogLine(const char* severity, const char* file, int line)
    {
        m_text << severity[0] << ' ' << file << ':' << line << "] ";
    }
    ~StderrLogLine() { std::cerr << m_text.str() << std::endl; }
    std::ostream& Stream() { return m_text; }

private:
    std::ostringstream m_text;
};

} // namespace Zentar::Core::Detail

#define LOG(severity) ::Zentar::Core::Detail::StderrLogLine(#severity, __FILE__, __LINE__).Stream()

#endif

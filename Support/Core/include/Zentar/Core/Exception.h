#pragma once

#include <stdexcept>
#include <string>

namespace Zentar
{

/// An error that remembers where it was raised.
class Exception : public std::runtime_error
{
public:
    /// Raise it with ZENTAR_THROW, which fills in the place.
    Exception(const std::string& message, const char* function, const char* file, int line)
        : std::runtime_error(message)
        , m_function(function)
        , m_file(file)
        , m_line(line)
    {
    }

    /// The function that raised it.
    const char* Function() const { return m_function; }
    /// The source file that raised it.
    const char* File() const { return m_file; }
    /// The line of that source file.
    int Line() const { return m_line; }

private:
    const char* m_function;
    const char* m_file;
    int m_line;
};

} // namespace Zentar

/// Throws `ExceptionType(message, function, file, line)` with the place of the throw.
#define ZENTAR_THROW(ExceptionType, message) throw ExceptionType((message), __func__, __FILE__, __LINE__)

#pragma once

#include <string>

namespace Zentar::Logging
{

/// Sets up logging for the process.
///
/// Every line goes to one file per run in `logDirectory` (created when
/// missing; empty means `<AppLocalDataLocation>/logs`), named
/// `<product>.log.<date>-<time>.<pid>`, where `<product>` comes from the
/// environment variable GLOG_PRODUCT_NAME, else the application name, else
/// "zentar". Lines are written through at once, so a crash loses none.
/// Warnings and errors also go to standard error. May be called again: later
/// calls only move the log to the new directory and name.
void InitGlog(const std::string& logDirectory);

/// The directory the log goes to; empty before InitGlog.
std::string LogDirectory();

} // namespace Zentar::Logging

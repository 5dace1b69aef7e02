#pragma once

#include <Zentar/App/CrashReport.h>
#include <Zentar/App/ZentarAppExport.h>

#include <QByteArray>
#include <QString>

#include <string>

// Crash reports beside the crash tracker's session file: one per crashed
// session, written by the crashing process (see Platform/OsCrash.h) and
// read by a later run.
namespace Zentar::App::CrashReports
{

// Whether `sessionId` has the form of a session identifier; anything else
// names no report (the identifiers come from a file anyone may edit).
bool IsSessionIdForm(const QString& sessionId);

// The report of a session: the session file's path without ".ini", then
// ".<session>.crash". Empty for an identifier of another form.
QString PathFor(const QString& sessionFile, const std::string& sessionId);

// Reads a report's text; false for a damaged, empty or truncated one, or one
// larger than a crash writes. Frames are not symbolised.
ZENTAR_APP_TEST_EXPORT bool Parse(const QByteArray& text, CrashReport* report);

// Reads, parses and symbolises the report at `path`. Empty when there is no
// file; a damaged one is ignored with one warning.
CrashReport Read(const QString& path, const std::string& sessionId);

// Removes the reports (and minidumps) of this session file older than `days`.
void RemoveExpired(const QString& sessionFile, int days);

} // namespace Zentar::App::CrashReports

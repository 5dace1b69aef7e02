#pragma once

#include <Zentar/App/ZentarAppExport.h>
#include <Zentar/Core/ioPath.h>

#include <QCommandLineOption>
#include <QList>
#include <QStringList>

namespace Zentar::App
{
class Application;
}

/// Command-line options for testers. Unknown options are ignored, so they mix
/// with the product's own.
/// ```
///   --ssl-disable / --ssl-enable   prefer plain or secure connections
///   --test-help                    a box listing these options and the product's
///   --test-dump-urls               every link per test language into
///                                  <app local data>/<module>-url-dump.csv
///   --test-open-urls               the same, and open each link, the first after
///                                  10 s, the next ones --test-custom-delay apart
///   --test-custom-locales a,b      the test languages (those the product offers)
///   --test-log-urls <path>         write opened web URLs to a file instead
///   --crash-after <ms>             end the process abnormally after a time
/// ```
namespace Zentar::App::AppTest
{

/// The library's options, the test options and then the secure-connection
/// ones, in the order --test-help lists them: a product lists them in its own
/// help, and knows them so that its parser does not take them for unknown.
ZENTAR_APP_EXPORT QList<QCommandLineOption> Options();

//!@{
/// The secure-connection options of the process's command line. Throws
/// Zentar::Exception "Invalid options combination." when both are given.
/// The Application constructor calls the first.
ZENTAR_APP_EXPORT void HandleGlobalTestOptions();
ZENTAR_APP_EXPORT void HandleGlobalTestOptions(const QStringList& arguments);
//!@}

//!@{
/// The test options of the process's command line (or of `arguments`, whose
/// first entry is the program); `additional` are the product's own options,
/// listed in the help after the library's. Application::OnStart calls the
/// first; GUI thread.
ZENTAR_APP_EXPORT void HandleTestOptions(const QList<QCommandLineOption>& additional, Application* app);
ZENTAR_APP_EXPORT void HandleTestOptions(
    const QStringList& arguments, const QList<QCommandLineOption>& additional, Application* app);
//!@}

/// Writes the links of every test language into dumpFile and, with openUrls,
/// schedules each one to open. The interface language is restored afterwards.
/// Needs an Application with its customization and look-and-feel managers.
ZENTAR_APP_EXPORT void UrlTest(const Zentar::ioPath& dumpFile, bool openUrls, int delayMs);

/// The link dump's path: `<app local data>/<module name>-url-dump.csv`.
ZENTAR_APP_EXPORT Zentar::ioPath DumpFilePath(const Application& app);

} // namespace Zentar::App::AppTest

#pragma once

#include <Zentar/App/ZentarAppExport.h>

#include <string>

namespace Zentar::App
{

// Told synchronously, on the switching thread, after the interface language
// or the theme changed. Register with ILookAndFeelManager::RegisterObserver
// and unregister before the observer dies.
class ZENTAR_APP_EXPORT ILookAndFeelObserver
{
public:
    virtual ~ILookAndFeelObserver() = default;

    virtual void OnLocaleChanged(const std::string& locale) = 0;
    virtual void OnThemeChanged(const std::string& theme) = 0;
};

} // namespace Zentar::App

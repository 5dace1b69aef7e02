#pragma once

#include <Zentar/Interfaces/Visibility.h>

#include <string>

namespace Zentar::App
{

/// Told synchronously, on the switching thread, after the interface language
/// or the theme changed. Register with ILookAndFeelManager::RegisterObserver
/// and unregister before the observer dies.
class ZENTAR_INTERFACE_VISIBLE ILookAndFeelObserver
{
public:
    virtual ~ILookAndFeelObserver() = default;

    /// The interface language is now `locale`.
    virtual void OnLocaleChanged(const std::string& locale) = 0;
    /// The theme is now `theme`, its stylesheet composed; empty when none is loaded.
    virtual void OnThemeChanged(const std::string& theme) = 0;
};

} // namespace Zentar::App

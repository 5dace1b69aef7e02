#pragma once

#include "FuzzSupport.h"

#include <Zentar/App/LookAndFeelManager.h>

namespace Fuzz
{

// A look-and-feel manager over an empty product folder in the scratch
// folder, for targets that hand it theme parts to compose.
inline Zentar::App::LookAndFeelManager* NewThemeManager()
{
    const QString root = Scratch() + QStringLiteral("/product");
    QDir().mkpath(root + QStringLiteral("/resources/locales/en_US"));
    return new Zentar::App::LookAndFeelManager(
        Zentar::ioPath(root.toStdString()), "theme.json", std::list<std::string>());
}

} // namespace Fuzz

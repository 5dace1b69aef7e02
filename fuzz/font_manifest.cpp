#include "ThemeProduct.h"

namespace
{

Zentar::App::LookAndFeelManager* g_manager = nullptr;

QString ManifestPath()
{
    return Fuzz::Scratch() + QStringLiteral("/fonts.manifest");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    Fuzz::StartQApplication();
    g_manager = Fuzz::NewThemeManager();
    // Files the seeds name relative to the working directory: not fonts at all.
    QDir().mkpath(Fuzz::Scratch() + QStringLiteral("/fonts"));
    Fuzz::WriteFile(Fuzz::Scratch() + QStringLiteral("/fonts/empty.ttf"), std::string());
    Fuzz::WriteFile(Fuzz::Scratch() + QStringLiteral("/fonts/text.otf"), std::string("not a font\n"));
    Fuzz::WriteFile(Fuzz::Scratch() + QStringLiteral("/fonts/header.ttf"),
        std::string("\x00\x01\x00\x00\x00\x0f\x00\x80\x00\x03\x00\x70", 12));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::WriteFile(ManifestPath(), data, size);
    Zentar::App::ILookAndFeelManager::ThemeDescription description;
    description.fontManifests.push_back(ManifestPath().toStdString());
    g_manager->ApplyTheme(description);
    return 0;
}

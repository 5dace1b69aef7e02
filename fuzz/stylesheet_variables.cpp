#include "ThemeProduct.h"

namespace
{

Zentar::App::LookAndFeelManager* g_manager = nullptr;

const std::string kSeparator = "\n%%\n";
const std::string kDefaultSheet = "QWidget { color: @text; background: @background; font-size: @size; }\n";

QString VariablesPath()
{
    return Fuzz::Scratch() + QStringLiteral("/fonts.json");
}

QString SheetPath()
{
    return Fuzz::Scratch() + QStringLiteral("/style.qss");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    Fuzz::StartQApplication();
    g_manager = Fuzz::NewThemeManager();
    g_manager->SetLocale("en_US");
    return 0;
}

// Input: the variable file, then optionally a line "%%" and the stylesheet.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text = Fuzz::Text(data, size);
    const size_t split = text.find(kSeparator);
    Fuzz::WriteFile(VariablesPath(), text.substr(0, split));
    Fuzz::WriteFile(
        SheetPath(), split == std::string::npos ? kDefaultSheet : text.substr(split + kSeparator.size()));

    Zentar::App::ILookAndFeelManager::ThemeDescription description;
    description.variableFiles.push_back(VariablesPath().toStdString());
    description.styleSheets.push_back(SheetPath().toStdString());
    g_manager->ApplyTheme(description);
    g_manager->GetUnitedStylesheet();
    return 0;
}

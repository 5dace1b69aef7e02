#include "FuzzSupport.h"

#include <Zentar/App/LookAndFeelManager.h>
#include <Zentar/Core/Exception.h>
#include <Zentar/Core/Property.h>
#include <Zentar/Core/PropertySerializer.h>
#include <Zentar/IO/DataInputString.h>

using Zentar::Core::Property;
using Zentar::Core::PropertySerializer;

namespace
{

QString Root()
{
    return Fuzz::Scratch() + QStringLiteral("/product");
}

QString DescriptionPath()
{
    return Root() + QStringLiteral("/resources/themes/fuzzed/theme.json");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    Fuzz::StartQApplication();
    QDir().mkpath(Root() + QStringLiteral("/resources/themes/fuzzed"));
    for (const char* locale : { "en_US", "de_DE", "ru_RU" })
        QDir().mkpath(Root() + QStringLiteral("/resources/locales/") + QLatin1String(locale));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text = Fuzz::Text(data, size);
    Fuzz::WriteFile(DescriptionPath(), text);

    std::unique_ptr<Zentar::App::LookAndFeelManager> manager;
    try {
        manager = std::make_unique<Zentar::App::LookAndFeelManager>(
            Zentar::ioPath(Root().toStdString()), "theme.json", std::list<std::string>());
    } catch (const Zentar::Exception&) {
        return 0;
    }
    for (const std::string& locale : manager->GetLocales()) {
        manager->SetLocale(locale);
        manager->GetLocalizedThemeName("fuzzed");
    }

    // What was read must come back unchanged after being written, and reading
    // into a filled tree must keep what the text does not name.
    Property read("");
    try {
        PropertySerializer::Deserialize(read, Zentar::Core::DataInputString::Create(&text), true);
    } catch (const Zentar::Exception&) {
        // The manager read the file in text mode, without carriage returns.
        return 0;
    }
    Property reread("");
    const std::string written = PropertySerializer::Serialize(read);
    try {
        PropertySerializer::DeserializeText(reread, written, true);
    } catch (const Zentar::Exception& e) {
        Fuzz::Fail(std::string("written properties do not read back: ") + e.what() + "\n" + written);
    }
    if (!(read == reread))
        Fuzz::Fail("properties changed on their way through the writer:\n" + written);

    Property merged("");
    merged.AddChild(Property("zentar-fuzz-kept"));
    PropertySerializer::DeserializeText(merged, text, false);
    if (!merged.ChildExists("zentar-fuzz-kept"))
        Fuzz::Fail("merging lost a property the text does not name");
    return 0;
}

#include <Zentar/App/Application.h>
#include <Zentar/App/ColorDialogHelper.h>
#include <Zentar/QtUtil/Utf8.h>
#include <Zentar/Settings/ISettingsManager.h>

#include <QColor>
#include <QColorDialog>

#include <glog/logging.h>

#include <string>

namespace Zentar::App
{

namespace
{

const std::string kGroup = "Zentar::App::ColorDialogHelper";
const std::string kCountKey = kGroup + "/ColorsCount";

std::string ColorKey(int index)
{
    return kGroup + "/Color" + std::to_string(index);
}

std::shared_ptr<ISettingsManager> Store(const char* action)
{
    auto* app = qobject_cast<Application*>(QCoreApplication::instance());
    auto settings = app ? app->GetSettingsManager() : nullptr;
    if (!settings)
        LOG(ERROR) << "Cannot " << action
                   << " the custom colours: no settings store is installed in the application";
    return settings;
}

} // namespace

ColorDialogHelper::ColorDialogHelper()
{
    const auto settings = Store("load");
    if (!settings)
        return;
    const int count = settings->GetInt(kCountKey, 0);
    // The alpha is not part of a colour's name, so a missing entry is black.
    const std::string missing = Util::QStringToUtf8(QColor(Qt::transparent).name());
    for (int i = 0; i < count; ++i) {
        QColor color;
        color.setNamedColor(Util::Utf8ToQString(settings->GetString(ColorKey(i), missing)));
        QColorDialog::setCustomColor(i, color);
    }
}

ColorDialogHelper::~ColorDialogHelper()
{
    const auto settings = Store("save");
    if (!settings)
        return;
    // A shorter list must not leave colours of an earlier, longer one behind.
    settings->Remove(kGroup);
    const int count = QColorDialog::customCount();
    settings->SetInt(kCountKey, count);
    for (int i = 0; i < count; ++i)
        settings->SetString(ColorKey(i), Util::QStringToUtf8(QColorDialog::customColor(i).name()));
}

} // namespace Zentar::App

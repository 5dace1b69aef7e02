#include <Zentar/App/Application.h>
#include <Zentar/App/GPUMessages.h>

#include <QVariant>

#include <glog/logging.h>

namespace
{

QString FormatWithLink(const char* sourceText, const Zentar::URLKeys& key)
{
    QString url;
    if (auto* app = qobject_cast<Zentar::App::Application*>(QCoreApplication::instance())) {
        url = app->GetUrl(key);
    } else {
        LOG(ERROR) << "No running Zentar::App::Application to resolve link key " << static_cast<int>(key)
                   << "; the message links nowhere";
    }
    const QString style = qApp ? qApp->property("linkStyle").toString() : QString();
    return QCoreApplication::translate("SharedMessages", sourceText).arg(url, style);
}

} // namespace

QString GetGPUNeedSetupDriverMessage(const Zentar::URLKeys& key)
{
    return FormatWithLink(
        QT_TRANSLATE_NOOP("SharedMessages",
            "NVIDIA<sup>&reg;</sup> CUDA&#8482; acceleration has been disabled in "
            "NVIDIA<sup>&reg;</sup> Control Panel. To enable CUDA&#8482; acceleration for Zentar "
            "Clipforge, select <b>High-performance NVIDIA<sup>&reg;</sup> processor</b> as your "
            "preferred graphics processor in NVIDIA<sup>&reg;</sup> Control Panel.<br><br><a "
            "href=\"%1\" style=\"%2\">Detailed Instructions</a>"),
        key);
}

QString GetGPUUnsupportedDriverMessage(const Zentar::URLKeys& key)
{
    return FormatWithLink(
        QT_TRANSLATE_NOOP("SharedMessages",
            "Unfortunately, the currently installed graphics card driver does not support "
            "NVIDIA<sup>&reg;</sup> CUDA&#8482; acceleration.<br><br>You can install an earlier "
            "version of the NVIDIA<sup>&reg;</sup> graphics card driver to enable CUDA&#8482; "
            "acceleration. To do that, simply download the installation package and follow the "
            "manufacturer's instructions to install the driver.<br><br><a href=\"%1\" "
            "style=\"%2\">Download Driver</a>"),
        key);
}

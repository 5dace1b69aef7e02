#include <Zentar/Settings/SettingsManager.h>

#include <QByteArray>
#include <QLocale>
#include <QSettings>
#include <QStringList>
#include <QVariant>

#include <glog/logging.h>

#include <algorithm>
#include <mutex>

namespace Zentar::App
{

namespace
{

// "a//b/" and "/a/b" name the same key as "a/b"; an empty result is no key.
QString NormalizedKey(const std::string& key)
{
    const QStringList parts
        = QString::fromUtf8(key.data(), int(key.size())).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    return parts.join(QLatin1Char('/'));
}

// The text of a scalar value. Byte arrays and lists (an unquoted comma in a
// hand-edited file) are not text.
bool TextOf(const QVariant& value, QString* text)
{
    switch (value.userType()) {
    case QMetaType::QString:
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
        *text = value.toString();
        return true;
    default:
        return false;
    }
}

std::string ToUtf8(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), size_t(bytes.size()));
}

} // namespace

struct SettingsManager::Private {
    Private(const QString& product, const QString& organization)
        : settings(QSettings::IniFormat, QSettings::UserScope, organization, product)
    {
    }

    // The caller holds `mutex`. A read-only sync only looks at the file's size
    // and time stamp and re-reads it when another process changed it, so a
    // getter costs one stat, not one read.
    void Refresh() const
    {
        settings.sync();
        ReportStatus();
    }

    void ReportStatus() const
    {
        const QSettings::Status status = settings.status();
        if (status != QSettings::NoError && !errorReported) {
            errorReported = true;
            LOG(ERROR) << "Settings file " << ToUtf8(settings.fileName())
                       << (status == QSettings::AccessError ? " cannot be written" : " is malformed");
        }
    }

    QVariant Read(const std::string& key) const
    {
        const QString k = NormalizedKey(key);
        if (k.isEmpty())
            return {};
        std::lock_guard<std::mutex> lock(mutex);
        Refresh();
        return settings.value(k);
    }

    void Write(SettingsManager& self, const std::string& key, const QVariant& value)
    {
        const QString k = NormalizedKey(key);
        if (k.isEmpty()) {
            LOG(ERROR) << "Settings: value for an empty key ignored in " << ToUtf8(settings.fileName());
            return;
        }
        {
            std::lock_guard<std::mutex> lock(mutex);
            // Each write replaces the file and syncs it to disk: a value the
            // file already holds (also after another process wrote it) is
            // not written again, yet the observers hear of every Set.
            Refresh();
            const QVariant stored = settings.value(k);
            if (settings.status() != QSettings::NoError || stored.userType() != value.userType()
                || stored != value) {
                settings.setValue(k, value);
                settings.sync();
                ReportStatus();
            }
        }
        Notify(self, key);
    }

    bool ReadText(const std::string& key, QString* text) const { return TextOf(Read(key), text); }

    void Notify(SettingsManager& self, const std::string& key)
    {
        std::vector<ISettingsManagerObserver*> snapshot;
        {
            std::lock_guard<std::mutex> lock(observerMutex);
            snapshot = observers;
        }
        for (ISettingsManagerObserver* observer : snapshot) {
            // One callback may unregister (and destroy) another observer.
            {
                std::lock_guard<std::mutex> lock(observerMutex);
                if (std::find(observers.begin(), observers.end(), observer) == observers.end())
                    continue;
            }
            observer->OnSettingChanged(self, key);
        }
    }

    mutable std::mutex mutex;
    mutable QSettings settings;
    mutable bool errorReported = false;

    std::mutex observerMutex;
    std::vector<ISettingsManagerObserver*> observers;
};

SettingsManager::SettingsManager(const QString& productName, const QString& organizationName)
    : d(std::make_unique<Private>(productName, organizationName))
{
}

SettingsManager::~SettingsManager() = default;

QString SettingsManager::FileName() const
{
    return d->settings.fileName();
}

void SettingsManager::RegisterObserver(ISettingsManagerObserver* observer)
{
    if (!observer)
        return;
    std::lock_guard<std::mutex> lock(d->observerMutex);
    if (std::find(d->observers.begin(), d->observers.end(), observer) == d->observers.end())
        d->observers.push_back(observer);
}

void SettingsManager::UnregisterObserver(ISettingsManagerObserver* observer)
{
    std::lock_guard<std::mutex> lock(d->observerMutex);
    d->observers.erase(std::remove(d->observers.begin(), d->observers.end(), observer), d->observers.end());
}

void SettingsManager::SetBool(const std::string& key, bool value)
{
    d->Write(*this, key, value ? QStringLiteral("true") : QStringLiteral("false"));
}

void SettingsManager::SetInt(const std::string& key, int value)
{
    d->Write(*this, key, QString::number(value));
}

void SettingsManager::SetString(const std::string& key, const std::string& value)
{
    d->Write(*this, key, QString::fromUtf8(value.data(), int(value.size())));
}

void SettingsManager::SetByteArray(const std::string& key, const std::vector<unsigned char>& value)
{
    d->Write(*this, key, QByteArray(reinterpret_cast<const char*>(value.data()), int(value.size())));
}

void SettingsManager::SetInt64(const std::string& key, int64_t value)
{
    d->Write(*this, key, QString::number(qint64(value)));
}

void SettingsManager::SetDouble(const std::string& key, double value)
{
    // The shortest text that reads back as the same double.
    d->Write(*this, key, QString::number(value, 'g', QLocale::FloatingPointShortest));
}

bool SettingsManager::GetBool(const std::string& key, bool defaultValue) const
{
    QString text;
    if (!d->ReadText(key, &text))
        return defaultValue;
    text = text.trimmed();
    if (text == QLatin1String("1") || text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (text == QLatin1String("0") || text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    return defaultValue;
}

int SettingsManager::GetInt(const std::string& key, int defaultValue) const
{
    QString text;
    if (!d->ReadText(key, &text))
        return defaultValue;
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    return ok ? value : defaultValue;
}

std::string SettingsManager::GetString(const std::string& key, const std::string& defaultValue) const
{
    QString text;
    return d->ReadText(key, &text) ? ToUtf8(text) : defaultValue;
}

std::vector<unsigned char> SettingsManager::GetByteArray(
    const std::string& key, const std::vector<unsigned char>& defaultValue) const
{
    const QVariant value = d->Read(key);
    if (value.userType() != QMetaType::QByteArray)
        return defaultValue;
    const QByteArray bytes = value.toByteArray();
    return std::vector<unsigned char>(bytes.constBegin(), bytes.constEnd());
}

int64_t SettingsManager::GetInt64(const std::string& key, int64_t defaultValue) const
{
    QString text;
    if (!d->ReadText(key, &text))
        return defaultValue;
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok, 10);
    return ok ? int64_t(value) : defaultValue;
}

double SettingsManager::GetDouble(const std::string& key, double defaultValue) const
{
    QString text;
    if (!d->ReadText(key, &text))
        return defaultValue;
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok ? value : defaultValue;
}

bool SettingsManager::Contains(const std::string& key) const
{
    const QString k = NormalizedKey(key);
    if (k.isEmpty())
        return false;
    std::lock_guard<std::mutex> lock(d->mutex);
    d->Refresh();
    return d->settings.contains(k);
}

void SettingsManager::Remove(const std::string& key)
{
    const QString k = NormalizedKey(key);
    if (k.isEmpty()) {
        // QSettings would take the empty name for "everything".
        LOG(ERROR) << "Settings: refusing to remove an empty key from " << ToUtf8(d->settings.fileName());
        return;
    }
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->settings.remove(k);
        d->settings.sync();
        d->ReportStatus();
    }
    d->Notify(*this, key);
}

bool SettingsManager::ContainsGroup(const std::string& name) const
{
    const QString group = NormalizedKey(name);
    if (group.isEmpty())
        return false;
    std::lock_guard<std::mutex> lock(d->mutex);
    d->Refresh();
    d->settings.beginGroup(group);
    const bool any = !d->settings.allKeys().isEmpty();
    d->settings.endGroup();
    return any;
}

std::vector<std::string> SettingsManager::GetGroupKeys(const std::string& name)
{
    const QString group = NormalizedKey(name);
    std::lock_guard<std::mutex> lock(d->mutex);
    d->Refresh();
    if (!group.isEmpty())
        d->settings.beginGroup(group);
    const QStringList keys = d->settings.childKeys();
    if (!group.isEmpty())
        d->settings.endGroup();
    std::vector<std::string> result;
    result.reserve(size_t(keys.size()));
    for (const QString& key : keys)
        result.push_back(ToUtf8(key));
    return result;
}

} // namespace Zentar::App

#include <Zentar/Settings/SettingsManager.h>

#include "SettingsTest.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLocale>
#include <QMap>
#include <QSettings>
#include <QStringList>
#include <QThread>
#include <QVariant>

#include <glog/logging.h>

#include <algorithm>
#include <atomic>
#include <iterator>
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

// How often a store looked at its file, for the tests.
std::atomic<std::uint64_t> fileChecks { 0 };

} // namespace

namespace SettingsTest
{
std::uint64_t FileChecks()
{
    return fileChecks.load();
}
} // namespace SettingsTest

struct SettingsManager::Private {
    Private(SettingsManager& self, const QString& product, const QString& organization)
        : self(self)
        , settings(QSettings::IniFormat, QSettings::UserScope, organization, product)
        , ownerThread(QThread::currentThread())
    {
    }

    ~Private()
    {
        if (!watcher)
            return;
        QObject::disconnect(watcher.get(), nullptr, nullptr, nullptr);
        // A QObject with live socket notifiers goes away on its own thread.
        if (watcher->thread() != QThread::currentThread())
            watcher.release()->deleteLater();
    }

    // Changes by other writers are seen through a file watcher, so that a
    // getter reads memory only. That needs an event loop on the store's
    // thread; a store made without one (no application yet, a plain
    // std::thread) checks the file's size and time stamp at every read
    // instead. The watch starts with the first observer, not before: the
    // kernel takes some 20 ms to tear a file watch down, paid at exit by
    // every process whose stores nobody observes otherwise.
    void StartWatching()
    {
        if (watcher || QThread::currentThread() != ownerThread || !QCoreApplication::instance()
            || !ownerThread->eventDispatcher())
            return;
        const QFileInfo file(settings.fileName());
        // The folder is watched as well: a save replaces the file, and the
        // file may not exist yet.
        if (!QDir().mkpath(file.absolutePath()))
            return;
        auto w = std::make_unique<QFileSystemWatcher>();
        if (!w->addPath(file.absolutePath()))
            return;
        QObject::connect(w.get(), &QFileSystemWatcher::fileChanged, w.get(), [this] { OnFileEvent(); });
        QObject::connect(w.get(), &QFileSystemWatcher::directoryChanged, w.get(), [this] { OnFileEvent(); });
        // Readers on other threads test `watcher` under the lock.
        std::lock_guard<std::mutex> lock(mutex);
        watcher = std::move(w);
        // What the observers hear of from now on is measured against the
        // file as it is when the watch starts.
        settings.sync();
        Rearm();
        known = Snapshot();
    }

    // Watches the file now at the path: a save that replaced it left the
    // watch on the old one, or dropped it. The caller holds `mutex`.
    void Rearm()
    {
        const QString path = settings.fileName();
        if (watcher->files().contains(path))
            watcher->removePath(path);
        if (QFileInfo::exists(path))
            watcher->addPath(path);
    }

    void OnFileEvent()
    {
        std::vector<std::string> changed;
        {
            std::lock_guard<std::mutex> lock(mutex);
            // Re-armed before the read: a save after it raises a new event,
            // one before it is in what is read.
            Rearm();
            Refresh();
            changed = TakeChanges();
        }
        for (const std::string& key : changed)
            Notify(key);
    }

    // Every value of the store by key, as the file holds them now.
    QMap<QString, QVariant> Snapshot() const
    {
        QMap<QString, QVariant> values;
        const QStringList keys = settings.allKeys();
        for (const QString& key : keys)
            values.insert(key, settings.value(key));
        return values;
    }

    // The keys whose values differ from what the observers last heard, which
    // then becomes what they heard. The caller holds `mutex`.
    std::vector<std::string> TakeChanges()
    {
        QMap<QString, QVariant> now = Snapshot();
        std::vector<std::string> changed;
        for (auto it = now.cbegin(); it != now.cend(); ++it) {
            const auto old = known.constFind(it.key());
            if (old == known.cend() || !Same(*old, it.value()))
                changed.push_back(ToUtf8(it.key()));
        }
        for (auto it = known.cbegin(); it != known.cend(); ++it)
            if (!now.contains(it.key()))
                changed.push_back(ToUtf8(it.key()));
        std::sort(changed.begin(), changed.end());
        known = std::move(now);
        return changed;
    }

    static bool Same(const QVariant& a, const QVariant& b) { return a.userType() == b.userType() && a == b; }

    // The caller holds `mutex`. Re-reads the file when its size or time stamp
    // changed.
    void Refresh() const
    {
        ++fileChecks;
        settings.sync();
        ReportStatus();
    }

    // What a read does first: nothing while the watcher keeps the values
    // current.
    void RefreshUnlessWatched() const
    {
        if (!watcher)
            Refresh();
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
        RefreshUnlessWatched();
        return settings.value(k);
    }

    void Write(const std::string& key, const QVariant& value)
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
            // not written again, yet the observers hear of every Set. What
            // other writers changed meanwhile is told when their event comes.
            Refresh();
            const QVariant stored = settings.value(k);
            if (settings.status() != QSettings::NoError || !Same(stored, value)) {
                settings.setValue(k, value);
                settings.sync();
                ReportStatus();
            }
            if (watcher)
                known.insert(k, value);
        }
        Notify(key);
    }

    void Remove(const std::string& key, const QString& k)
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            settings.remove(k);
            settings.sync();
            ReportStatus();
            if (watcher) {
                const QString group = k + QLatin1Char('/');
                for (auto it = known.begin(); it != known.end();)
                    it = it.key() == k || it.key().startsWith(group) ? known.erase(it) : std::next(it);
            }
        }
        Notify(key);
    }

    bool ReadText(const std::string& key, QString* text) const { return TextOf(Read(key), text); }

    void Notify(const std::string& key)
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

    SettingsManager& self;
    mutable std::mutex mutex;
    mutable QSettings settings;
    QThread* const ownerThread;
    mutable bool errorReported = false;
    // Null when the store checks the file at every read.
    std::unique_ptr<QFileSystemWatcher> watcher;
    // The values as the observers last heard of them.
    QMap<QString, QVariant> known;

    std::mutex observerMutex;
    std::vector<ISettingsManagerObserver*> observers;
};

SettingsManager::SettingsManager(const QString& productName, const QString& organizationName)
    : d(std::make_unique<Private>(*this, productName, organizationName))
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
    {
        std::lock_guard<std::mutex> lock(d->observerMutex);
        if (std::find(d->observers.begin(), d->observers.end(), observer) == d->observers.end())
            d->observers.push_back(observer);
    }
    d->StartWatching();
}

void SettingsManager::UnregisterObserver(ISettingsManagerObserver* observer)
{
    std::lock_guard<std::mutex> lock(d->observerMutex);
    d->observers.erase(std::remove(d->observers.begin(), d->observers.end(), observer), d->observers.end());
}

void SettingsManager::SetBool(const std::string& key, bool value)
{
    d->Write(key, value ? QStringLiteral("true") : QStringLiteral("false"));
}

void SettingsManager::SetInt(const std::string& key, int value)
{
    d->Write(key, QString::number(value));
}

void SettingsManager::SetString(const std::string& key, const std::string& value)
{
    d->Write(key, QString::fromUtf8(value.data(), int(value.size())));
}

void SettingsManager::SetByteArray(const std::string& key, const std::vector<unsigned char>& value)
{
    d->Write(key, QByteArray(reinterpret_cast<const char*>(value.data()), int(value.size())));
}

void SettingsManager::SetInt64(const std::string& key, int64_t value)
{
    d->Write(key, QString::number(qint64(value)));
}

void SettingsManager::SetDouble(const std::string& key, double value)
{
    // The shortest text that reads back as the same double.
    d->Write(key, QString::number(value, 'g', QLocale::FloatingPointShortest));
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
    d->RefreshUnlessWatched();
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
    d->Remove(key, k);
}

bool SettingsManager::ContainsGroup(const std::string& name) const
{
    const QString group = NormalizedKey(name);
    if (group.isEmpty())
        return false;
    std::lock_guard<std::mutex> lock(d->mutex);
    d->RefreshUnlessWatched();
    d->settings.beginGroup(group);
    const bool any = !d->settings.allKeys().isEmpty();
    d->settings.endGroup();
    return any;
}

std::vector<std::string> SettingsManager::GetGroupKeys(const std::string& name)
{
    const QString group = NormalizedKey(name);
    std::lock_guard<std::mutex> lock(d->mutex);
    d->RefreshUnlessWatched();
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

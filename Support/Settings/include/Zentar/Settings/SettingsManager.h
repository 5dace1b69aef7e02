#pragma once

#include <Zentar/Settings/ISettingsManager.h>

#include <QString>

#include <memory>

namespace Zentar::App
{

/// A settings store kept in an INI file of the user's configuration folder,
/// `<config>/<organization>/<product>.ini`. Every change is written to disk at
/// once, so other stores opened with the same names, in this process or in
/// another one, read it back. All values are kept as text except byte arrays;
/// a getter returns its default when the key is absent or its text does not
/// parse as the asked type (booleans accept true/false in any case, 1 and 0).
///
/// Once an observer is registered on the thread that made the store, and that
/// thread runs a Qt event loop (the GUI thread once the application exists),
/// the store watches its file: a getter reads memory only, and a change made
/// by another process or another store object is told to the observers, once
/// for each key whose value changed, on that thread when its event loop sees
/// the file change. Until then, or on a thread without an event loop, the
/// store looks at the file's size and time stamp at every read and tells only
/// its own changes. (A file watch costs its process some 20 ms of kernel work
/// at exit, so a store nobody observes does without.)
/// Observers hear of every Set and Remove made through this object at once, on
/// the thread that made it, also of a value the file already holds (which is
/// not written again); such a change is not told a second time when the file
/// event comes.
/// Thread-safe. Destroy it on the thread that made it, or while that thread
/// is not delivering a change.
class SettingsManager : public ISettingsManager
{
public:
    /// Opens the store `<config>/<organizationName>/<productName>.ini`; a missing file reads as empty and is
    /// created at the first change.
    SettingsManager(const QString& productName, const QString& organizationName);
    ~SettingsManager() override;
    SettingsManager(const SettingsManager&) = delete;
    SettingsManager& operator=(const SettingsManager&) = delete;

    void RegisterObserver(ISettingsManagerObserver* observer) override;
    void UnregisterObserver(ISettingsManagerObserver* observer) override;

    void SetBool(const std::string& key, bool value) override;
    void SetInt(const std::string& key, int value) override;
    void SetString(const std::string& key, const std::string& value) override;
    void SetByteArray(const std::string& key, const std::vector<unsigned char>& value) override;
    void SetInt64(const std::string& key, int64_t value) override;
    void SetDouble(const std::string& key, double value) override;

    bool GetBool(const std::string& key, bool defaultValue) const override;
    int GetInt(const std::string& key, int defaultValue) const override;
    std::string GetString(const std::string& key, const std::string& defaultValue) const override;
    std::vector<unsigned char> GetByteArray(
        const std::string& key, const std::vector<unsigned char>& defaultValue) const override;
    int64_t GetInt64(const std::string& key, int64_t defaultValue) const override;
    double GetDouble(const std::string& key, double defaultValue) const override;

    bool Contains(const std::string& key) const override;
    void Remove(const std::string& key) override;
    /// True when at least one key lives below "name/".
    bool ContainsGroup(const std::string& name) const override;
    /// The keys directly inside the group, without the group prefix; the
    /// empty name stands for the top level.
    std::vector<std::string> GetGroupKeys(const std::string& name) override;

    /// The INI file on disk.
    QString FileName() const;

private:
    struct Private;
    std::unique_ptr<Private> const d;
};

} // namespace Zentar::App

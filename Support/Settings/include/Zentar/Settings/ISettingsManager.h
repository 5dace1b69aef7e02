#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Zentar::App
{

class ISettingsManager;

/// Told after a value of the store it observes was set or removed.
class ISettingsManagerObserver
{
public:
    virtual ~ISettingsManagerObserver() = default;
    /// `key` of `settings` was set or removed; read the new value from `settings`.
    virtual void OnSettingChanged(ISettingsManager& settings, const std::string& key) = 0;
};

/// Persistent key/value settings. Keys are UTF-8; "group/key" addresses a key
/// inside a group. Getters return the default when the key is absent or its
/// value does not convert to the asked type.
class ISettingsManager
{
public:
    /// Adds an observer, not owned; it must be unregistered before it dies. Null and repeated registrations
    /// are ignored.
    virtual void RegisterObserver(ISettingsManagerObserver* observer) = 0;
    /// Removes an observer; an unknown one is no error.
    virtual void UnregisterObserver(ISettingsManagerObserver* observer) = 0;

    //!@{
    /// Stores `value` under `key` and tells the observers.
    virtual void SetBool(const std::string& key, bool value) = 0;
    virtual void SetInt(const std::string& key, int value) = 0;
    virtual void SetString(const std::string& key, const std::string& value) = 0;
    virtual void SetByteArray(const std::string& key, const std::vector<unsigned char>& value) = 0;
    virtual void SetInt64(const std::string& key, int64_t value) = 0;
    virtual void SetDouble(const std::string& key, double value) = 0;
    //!@}

    //!@{
    /// The value of `key`, or `defaultValue` when it is absent or does not convert.
    virtual bool GetBool(const std::string& key, bool defaultValue) const = 0;
    virtual int GetInt(const std::string& key, int defaultValue) const = 0;
    virtual std::string GetString(const std::string& key, const std::string& defaultValue) const = 0;
    virtual std::vector<unsigned char> GetByteArray(
        const std::string& key, const std::vector<unsigned char>& defaultValue) const = 0;
    virtual int64_t GetInt64(const std::string& key, int64_t defaultValue) const = 0;
    virtual double GetDouble(const std::string& key, double defaultValue) const = 0;
    //!@}

    /// Whether `key` holds a value.
    virtual bool Contains(const std::string& key) const = 0;
    /// Removes the key, or the whole group when the name is a group.
    virtual void Remove(const std::string& key) = 0;
    /// Whether any key lives inside the group `key`.
    virtual bool ContainsGroup(const std::string& key) const = 0;
    /// Direct child keys of a group (without the group prefix).
    virtual std::vector<std::string> GetGroupKeys(const std::string& key) = 0;

    virtual ~ISettingsManager() = default;
};

} // namespace Zentar::App

#pragma once

#include <string>

namespace dovrante {

// Per-user string settings by application, section and key, kept between runs.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    SettingsStore() = default;
    SettingsStore(const SettingsStore &) = delete;
    SettingsStore &operator=(const SettingsStore &) = delete;

    // The stored value, or defaultValue when the key is absent.
    virtual std::string setting(const std::string &application, const std::string &section,
                                const std::string &key, const std::string &defaultValue) = 0;
    // Stores the value.
    virtual void saveSetting(const std::string &application, const std::string &section,
                             const std::string &key, const std::string &value) = 0;
};

} // namespace dovrante

#pragma once

#include "platform/settings_store.h"

namespace dovrante {

// QSettings per user in the native format: organisation and application both named after the
// application, one group per section.
class QtSettingsStore final : public SettingsStore {
public:
    std::string setting(const std::string &application, const std::string &section,
                        const std::string &key, const std::string &defaultValue) override;
    void saveSetting(const std::string &application, const std::string &section,
                     const std::string &key, const std::string &value) override;
};

} // namespace dovrante

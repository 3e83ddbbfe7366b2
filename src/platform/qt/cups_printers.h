#pragma once

#include "platform/printer.h"

namespace dovrante {

// The CUPS destinations, by name.
class CupsInstalledPrinters final : public InstalledPrinters {
public:
    std::vector<std::string> deviceNames() const override;
};

// The legacy default-printer entry, made from the CUPS default destination.
class CupsProfile final : public LegacyProfile {
public:
    std::string profileString(const std::string &section, const std::string &key,
                              const std::string &defaultValue) const override;
};

} // namespace dovrante

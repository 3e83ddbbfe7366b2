#pragma once

#include "platform/printer.h"

namespace dovrante {

class CupsScheduler;

// The CUPS destinations, by name.
class CupsInstalledPrinters final : public InstalledPrinters {
public:
    explicit CupsInstalledPrinters(CupsScheduler &scheduler) : m_scheduler(scheduler) {}
    std::vector<std::string> deviceNames() const override;

private:
    CupsScheduler &m_scheduler;
};

// The legacy default-printer entry, made from the CUPS default destination.
class CupsProfile final : public LegacyProfile {
public:
    explicit CupsProfile(CupsScheduler &scheduler) : m_scheduler(scheduler) {}
    std::string profileString(const std::string &section, const std::string &key,
                              const std::string &defaultValue) const override;

private:
    CupsScheduler &m_scheduler;
};

} // namespace dovrante

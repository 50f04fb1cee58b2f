#pragma once

#include <joxconfig/ConfigHandlerBase.h>

namespace JoxConfig {

// The handler of the discovery filter file; converts an older file or the
// legacy "mos_services.cfg" when it is built.
class ConfigHandlerWsddConfig : public ConfigHandlerBase
{
public:
    // A version above -1 selects its group ("1.0") and converts the file.
    ConfigHandlerWsddConfig(const QString& rFilePath, double version, int type);

    void convertConfigFileToVersion() override;
};

} // namespace JoxConfig

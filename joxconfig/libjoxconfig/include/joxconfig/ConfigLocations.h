#pragma once

#include <QString>
#include <string>

namespace JoxConfig {

// Product folders below the maker's folder.
enum ProductId
{
    ProductNone = 0,
    ProductQuorel = 1,
    ProductHarlen = 2,
    ProductFaldrune = 3,
    ProductPelmar = 4,
    ProductTandril = 5
};

// Configuration files by number.
enum ConfigFileId
{
    ConfigFileTest = 0,
    ConfigFileWsddClient = 1,
    ConfigFileLegacyServices = 2,
    ConfigFileMaintenance = 3,
    ConfigFileService = 4,
    ConfigFileNetGroup = 5,
    ConfigFileHarlenWebService = 6,
    ConfigFileControlWebService = 7,
    ConfigFileWebService = 8,
    ConfigFileService2 = 9,
    ConfigFileNetwork = 10
};

// The maker's folder name, "JOX/".
extern const char* const mpMakerFolder;

// Table lookups; an id that is not in the table gives an empty string.
std::string ProductFolder(int productId);
std::string ConfigFileName(int fileId);
std::string FurtherFileName(int fileId);

// The common application data folder, "JOX/", then the product's folder.
QString ConfigDirectory(int productId);
// ConfigDirectory of the product followed by the file's name.
QString ConfigFilePath(int fileId, int productId);

} // namespace JoxConfig

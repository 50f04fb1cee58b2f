#include <joxconfig/ConfigLocations.h>

#include <zephrane/FolderPaths.h>

#include <map>

namespace JoxConfig {

const char* const mpMakerFolder = "JOX/";

namespace {

const std::map<int, std::string>& ProductFolders()
{
    static const std::map<int, std::string> table = {
        {0, ""}, {1, "Quorel/"}, {2, "Harlen/"}, {3, "Faldrune/"}, {4, "Pelmar/"}, {5, "Tandril/"}};
    return table;
}

const std::map<int, std::string>& ConfigFiles()
{
    static const std::map<int, std::string> table = {
        {0, "Test.conf"},        {1, "wsdd_client.conf"},      {2, "mos_services.cfg"},
        {3, "Maintenance.conf"}, {4, "Service.conf"},          {5, "NetGroup.conf"},
        {6, "HarlenWebService.conf"}, {7, "ControlWebService.conf"}, {8, "WebService.conf"},
        {9, "Service.conf"},     {10, "Network.conf"}};
    return table;
}

const std::map<int, std::string>& FurtherFiles()
{
    static const std::map<int, std::string> table = {
        {0, "mime.types"}, {1, ".joxuser"}, {2, "joxcacert.pem"},
        {3, "joxsws.pem"}, {4, ""},         {5, "JoxHarlenWebservice.wsdl"}};
    return table;
}

std::string Lookup(const std::map<int, std::string>& rTable, int id)
{
    const auto it = rTable.find(id);
    return it == rTable.end() ? std::string() : it->second;
}

} // namespace

std::string ProductFolder(int productId)
{
    return Lookup(ProductFolders(), productId);
}

std::string ConfigFileName(int fileId)
{
    return Lookup(ConfigFiles(), fileId);
}

std::string FurtherFileName(int fileId)
{
    return Lookup(FurtherFiles(), fileId);
}

QString ConfigDirectory(int productId)
{
    return QString::fromStdWString(zephrane::CommonAppDataFolder()) + QLatin1String(mpMakerFolder) +
           QLatin1String(ProductFolder(productId).c_str());
}

QString ConfigFilePath(int fileId, int productId)
{
    return ConfigDirectory(productId) + QString::fromUtf8(ConfigFileName(fileId).c_str());
}

} // namespace JoxConfig

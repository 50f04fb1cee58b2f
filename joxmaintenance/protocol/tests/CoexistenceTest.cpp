// Three gSOAP units in one process: the global unit (envelope, header, fault
// and the global namespace table), the maintenance unit and an unrelated
// namespaced unit. Only the global unit defines the runtime's global symbols.
#include "ProtocolTestSupport.h"

#include "TempDir.h"
#include "joxsampleH.h"
#include "simserver/SimServer.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

using namespace joxmaintenance;

extern SOAP_NMAC struct Namespace namespaces[];

namespace {

std::string DefiningObject(const void* pSymbol)
{
    Dl_info info{};
    if (dladdr(pSymbol, &info) == 0 || !info.dli_fname)
        return std::string();
    return info.dli_fname;
}

TEST(CoexistenceTest, TheGlobalSymbolsComeFromTheGlobalUnitOnly)
{
    const std::string global = DefiningObject(reinterpret_cast<const void*>(&namespaces));
    EXPECT_NE(std::string::npos, global.find(TANDRIL_SOAP_GLOBAL_FILE)) << global;
    EXPECT_EQ(global, DefiningObject(reinterpret_cast<const void*>(&::soap_getheader)));
    EXPECT_EQ(global, DefiningObject(reinterpret_cast<const void*>(&::soap_putheader)));
    EXPECT_EQ(global, DefiningObject(reinterpret_cast<const void*>(&::soap_getfault)));
    // The maintenance proxy carries its own table instead of the global one.
    ServiceProxy proxy;
    EXPECT_NE(namespaces, proxy.soap->namespaces);
    EXPECT_EQ(SchemaNamespace(), proxy.soap->namespaces[5].ns);
}

TEST(CoexistenceTest, BothNamespacedUnitsWorkSideBySide)
{
    static const struct Namespace sampleNamespaces[] = {
        {"SOAP-ENV", "http://schemas.xmlsoap.org/soap/envelope/", "http://www.w3.org/*/soap-envelope", nullptr},
        {"SOAP-ENC", "http://schemas.xmlsoap.org/soap/encoding/", "http://www.w3.org/*/soap-encoding", nullptr},
        {"xsi", "http://www.w3.org/2001/XMLSchema-instance", "http://www.w3.org/*/XMLSchema-instance", nullptr},
        {"xsd", "http://www.w3.org/2001/XMLSchema", "http://www.w3.org/*/XMLSchema", nullptr},
        {"smp", "urn:tandril-sample", nullptr, nullptr},
        {nullptr, nullptr, nullptr, nullptr}};
    struct soap* pSample = soap_new();
    soap_set_namespaces(pSample, sampleNamespaces);
    joxsample::smp__Note note;
    note.Text = "side by side";
    note.Count = 3;
    std::ostringstream out;
    pSample->os = &out;
    ASSERT_EQ(SOAP_OK, joxsample::soap_write_smp__Note(pSample, &note));
    std::istringstream in(out.str());
    pSample->is = &in;
    joxsample::smp__Note back;
    ASSERT_EQ(SOAP_OK, joxsample::soap_read_smp__Note(pSample, &back));
    EXPECT_EQ("side by side", back.Text);
    EXPECT_EQ(3, back.Count);
    soap_destroy(pSample);
    soap_end(pSample);
    soap_free(pSample);

    tandriltest::TempDir folder;
    simserver::SimServer server(folder.File("server"));
    ASSERT_TRUE(server.Start());
    const std::string url = server.GetUrl();
    ServiceProxy proxy(SOAP_IO_CHUNK);
    jox__ServiceFetchInformationRequest request;
    jox__ServiceFetchInformationResponse response;
    EXPECT_EQ(SOAP_OK, proxy.ServiceFetchInformation(url.c_str(), "", &request, response));
    EXPECT_EQ("1.0", response.ServiceVersion);
    proxy.destroy();
    server.Stop();
}

} // namespace

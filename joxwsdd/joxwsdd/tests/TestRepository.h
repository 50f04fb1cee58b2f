#pragma once

#include <joxwsdd/WebServiceRepositoryWithFilter.h>

// A filtering repository with the thread notices it does not care about.
class TestRepository : public JoxWsdd::WebServiceRepositoryWithFilter
{
public:
    using WebServiceRepositoryWithFilter::WebServiceRepositoryWithFilter;
    void OnThreadStarted() override {}
    void OnThreadStopping() override {}
    void OnAutoProbe() override {}
};

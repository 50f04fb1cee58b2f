#include <styles/BaseStyle.h>

#include <QStyleFactory>

namespace {

BaseStyle* gpCurrentStyle = nullptr;

} // namespace

BaseStyle::BaseStyle()
    : QProxyStyle(QStyleFactory::create(QStringLiteral("Windows")))
{
    if (gpCurrentStyle == nullptr)
        gpCurrentStyle = this;
}

BaseStyle::~BaseStyle()
{
    if (gpCurrentStyle == this)
        gpCurrentStyle = nullptr;
}

BaseStyle* BaseStyle::Current()
{
    return gpCurrentStyle;
}

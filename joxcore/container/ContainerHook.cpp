#include <joxcore/ContainerHook.h>

#include <QMutexLocker>

namespace JoxCore {

ContainerHook::ContainerHook(const QString& rName) : mName(rName) {}

ContainerHook::~ContainerHook() = default;

void ContainerHook::Invoke(AbstractContainer*, const QString&, const QList<QVariant>&,
                           const QList<QVariant>&)
{
}

QString ContainerHook::GetName() const
{
    QMutexLocker lock(&mMutex);
    return mName;
}

void ContainerHook::SetName(const QString& rName)
{
    QMutexLocker lock(&mMutex);
    mName = rName;
}

bool ContainerHook::HasProperty(const QString& rKey) const
{
    QMutexLocker lock(&mMutex);
    return mProperties.contains(rKey);
}

QVariant ContainerHook::GetProperty(const QString& rKey) const
{
    QMutexLocker lock(&mMutex);
    return mProperties.value(rKey);
}

void ContainerHook::SetProperty(const QString& rKey, const QVariant& rValue)
{
    QMutexLocker lock(&mMutex);
    mProperties.insert(rKey, rValue);
}

void ContainerHook::ClearProperties()
{
    QMutexLocker lock(&mMutex);
    mProperties.clear();
}

} // namespace JoxCore

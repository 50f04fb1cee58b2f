#include <joxcore/ModelInterface.h>

#include <QMutexLocker>

namespace JoxCore {

ModelInterface::ModelInterface() = default;

ModelInterface::~ModelInterface() = default;

bool ModelInterface::HasAtoms(const QString& rName)
{
    return !GetFirstAtomName(rName).isEmpty();
}

void ModelInterface::PrepareStateValues(const QString&, QList<QVariant>&, const QList<QVariant>&) {}

bool ModelInterface::IsStateChangeAllowed(const QString&, const QList<QVariant>&,
                                          const QList<QVariant>&)
{
    return true;
}

void ModelInterface::StateValuesChanged(const QString&, const QList<QVariant>&,
                                        const QList<QVariant>&)
{
}

int ModelInterface::CountAtoms(const QString& rName)
{
    QList<StandaloneAtom> atoms;
    GetAtoms(rName, atoms);
    return static_cast<int>(atoms.size());
}

QString ModelInterface::GetFirstAtomName(const QString& rName)
{
    const QStringList names = GetAtomNames(rName);
    return names.isEmpty() ? QString("") : names.first();
}

void ModelInterface::AddHook(ContainerHook* pHook)
{
    QMutexLocker lock(&mMutex);
    if (pHook != nullptr && !mHooks.contains(pHook))
        mHooks.append(pHook);
}

void ModelInterface::RemoveHook(ContainerHook* pHook)
{
    QMutexLocker lock(&mMutex);
    mHooks.removeAll(pHook);
}

} // namespace JoxCore

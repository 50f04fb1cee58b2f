#pragma once

#include <QList>
#include <QMap>
#include <QMutex>
#include <QString>
#include <QVariant>

namespace JoxCore {

class AbstractContainer;

// An observer of a parameter container's changes. Its name selects what it
// follows: "PostSet" runs for every atom, "PostSet:" and a path for the atoms
// the path matches. A hook whose properties hold "model" belongs to the
// container it is registered with and is deleted by it.
class ContainerHook
{
public:
    explicit ContainerHook(const QString& rName = QString());
    virtual ~ContainerHook();
    ContainerHook(const ContainerHook&) = delete;
    ContainerHook& operator=(const ContainerHook&) = delete;

    // Called with the container's lock held, with the atom's current values
    // before the change and now. Does nothing here.
    virtual void Invoke(AbstractContainer* pContainer, const QString& rAtomName,
                        const QList<QVariant>& rOldValues, const QList<QVariant>& rNewValues);

    QString GetName() const;
    void SetName(const QString& rName);
    bool HasProperty(const QString& rKey) const;
    QVariant GetProperty(const QString& rKey) const;
    void SetProperty(const QString& rKey, const QVariant& rValue);
    void ClearProperties();

private:
    mutable QMutex mMutex;
    QString mName;
    QMap<QString, QVariant> mProperties;
};

} // namespace JoxCore

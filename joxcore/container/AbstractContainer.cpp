#include <joxcore/AbstractContainer.h>

#include <joxcore/AbstractContainerAtomBoolean.h>
#include <joxcore/AbstractContainerAtomNumeric.h>
#include <joxcore/AbstractContainerAtomReal.h>
#include <joxcore/AbstractContainerAtomTextual.h>
#include <joxcore/AtomPath.h>
#include <joxcore/ContainerHook.h>
#include <joxlog/JoxLog.h>

#include <QMutexLocker>

namespace JoxCore {

namespace {

const char* const cCategory = "AbstractContainer";
const QString cPostSet = QStringLiteral("PostSet");
const QString cPostSetPrefix = QStringLiteral("PostSet:");

void Report(int level, const char* pFunction, const QString& rText)
{
    Log(level, 0, cCategory, rText.toLatin1().constData(), __FILE__, __LINE__, pFunction);
}

void Warn(const char* pFunction, const QString& rText)
{
    Report(2, pFunction, rText);
}

QList<QVariant> EmptyValue()
{
    return QList<QVariant>{QVariant(QString(""))};
}

QString Text(const QStringList& rNames, int value, const QString& rUnknown)
{
    return (value >= 0 && value < rNames.size()) ? rNames.at(value) : rUnknown;
}

AbstractContainerAtom* CreateAtom(const QVariant& rValue, AbstractContainer* pContainer)
{
    switch (rValue.typeId()) {
    case QMetaType::Bool:
        return new AbstractContainerAtomBoolean(pContainer);
    case QMetaType::Int:
        return new AbstractContainerAtomNumeric(pContainer);
    case QMetaType::Double:
        return new AbstractContainerAtomReal(pContainer);
    case QMetaType::QString:
        return new AbstractContainerAtomTextual(pContainer);
    default:
        // Unsigned integers too: the numeric kind would refuse them.
        return new AbstractContainerAtom(pContainer);
    }
}

QRegExp ToRegExp(const QVariant& rValue)
{
    if (rValue.canConvert<QRegExp>() && rValue.typeId() == qMetaTypeId<QRegExp>())
        return rValue.value<QRegExp>();
    if (rValue.typeId() == QMetaType::QString)
        return QRegExp(rValue.toString());
    return QRegExp();
}

} // namespace

// Counts a running operation for as long as it lives.
class AbstractContainer::BusyScope
{
public:
    explicit BusyScope(int& rBusy) : mBusy(rBusy) { ++mBusy; }
    ~BusyScope() { --mBusy; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    int& mBusy;
};

QString AbstractContainer::StateText(int state)
{
    static const QStringList names = {QStringLiteral("CurrentState"), QStringLiteral("DefaultState"),
                                      QStringLiteral("UndoState"), QStringLiteral("AutoState")};
    return Text(names, state, QStringLiteral("UnknownState"));
}

QString AbstractContainer::ActionText(int action)
{
    static const QStringList names = {QStringLiteral("ActionReset"), QStringLiteral("ActionUndo"),
                                      QStringLiteral("ActionAuto"),
                                      QStringLiteral("ActionSaveCurrentStateAsUndoState")};
    return Text(names, action, QStringLiteral("UnknownAction"));
}

QString AbstractContainer::ParameterText(int parameter)
{
    static const QStringList names = {
        QStringLiteral("ParameterMin"),         QStringLiteral("ParameterMax"),
        QStringLiteral("ParameterMinReal"),     QStringLiteral("ParameterMaxReal"),
        QStringLiteral("ParameterMaxLength"),   QStringLiteral("ParameterRegExp"),
        QStringLiteral("ParameterMaxNumberStateValues"), QStringLiteral("ParameterAllowedValues"),
        QStringLiteral("ParameterName")};
    return Text(names, parameter, QStringLiteral("UnknownParameter"));
}

AbstractContainer::AbstractContainer() : mRoot(new AtomNode(QString("")))
{
}

AbstractContainer::~AbstractContainer()
{
    QMutexLocker lock(&mMutex);
    const QList<ContainerHook*> hooks = mHooks;
    mHooks.clear();
    for (ContainerHook* pHook : hooks) {
        if (pHook != nullptr && pHook->HasProperty(QStringLiteral("model"))) {
            pHook->ClearProperties();
            delete pHook;
        }
    }
    delete mRoot;
    mRoot = nullptr;
    mLookupCache.clear();
}

bool AbstractContainer::RefuseWhileBusy(const char* pFunction, const QString& rCall)
{
    if (mBusy == 0)
        return false;
    Warn(pFunction, QStringLiteral("%1 refused: the container is in the middle of another operation "
                                   "(called from a hook or callback).")
                        .arg(rCall));
    return true;
}

AtomNode::NodeMap AbstractContainer::Resolve(const QString& rName, bool emptyIsAll)
{
    AtomNode::NodeMap result;
    if (mRoot == nullptr)
        return result;
    if (rName.isEmpty()) {
        if (emptyIsAll)
            mRoot->CollectAll(AtomPath(), result);
        return result;
    }
    const auto cached = mLookupCache.constFind(rName);
    if (cached != mLookupCache.constEnd())
        return cached.value();
    mRoot->Search(AtomPath::Parse(rName), 0, result);
    // Only hits are kept, and only so many: any text can be asked for.
    if (!result.isEmpty()) {
        if (mLookupCache.size() >= MaxCachedLookups)
            mLookupCache.clear();
        mLookupCache.insert(rName, result);
    }
    return result;
}

int AbstractContainer::CachedLookupCount()
{
    QMutexLocker lock(&mMutex);
    return static_cast<int>(mLookupCache.size());
}

QList<QVariant> AbstractContainer::GetState(const QString& rName, int state)
{
    QMutexLocker lock(&mMutex);
    const AtomNode::NodeMap matches = Resolve(rName, false);
    if (matches.isEmpty()) {
        Warn("JoxCore::AbstractContainer::GetState",
             QStringLiteral("GetState(\"%1\", %2) could not create standalone atom (atom could not be found).")
                 .arg(rName, StateText(state)));
        return EmptyValue();
    }
    const AbstractContainerAtom* pAtom = matches.first()->GetAtom();
    if (pAtom == nullptr) {
        Warn("JoxCore::AbstractContainer::GetState",
             QStringLiteral("GetState(\"%1\", %2) could not create standalone atom (atom could be found "
                            "but is not in model (weird)).")
                 .arg(rName, StateText(state)));
        return EmptyValue();
    }
    return pAtom->GetValues(state);
}

bool AbstractContainer::SetState(const QString& rName, int state, const QList<QVariant>& rValues)
{
    QMutexLocker lock(&mMutex);
    const QList<QVariant> oldValues = GetState(rName, state);
    QList<QVariant> values = rValues;
    PrepareStateValues(rName, values, oldValues);
    return InternalSetState(rName, state, values, QVariant(), -1, false);
}

bool AbstractContainer::SetState(const QString& rName, int state, const QVariant& rValue, int index)
{
    QMutexLocker lock(&mMutex);
    const QList<QVariant> oldValues = GetState(rName, state);
    QList<QVariant> values{rValue};
    PrepareStateValues(rName, values, oldValues);
    return InternalSetState(rName, state, QList<QVariant>(), values.value(0), index, true);
}

bool AbstractContainer::InternalSetState(const QString& rName, int state, const QList<QVariant>& rValues,
                                         const QVariant& rValue, int index, bool single)
{
    if (rName.isEmpty())
        return false;
    QMutexLocker lock(&mMutex);
    BusyScope busy(mBusy);
    AtomNode::NodeMap matches;
    if (mRoot != nullptr)
        mRoot->FindOrCreate(AtomPath::Parse(rName), 0, &matches, true, nullptr);
    mLookupCache.clear();
    if (matches.isEmpty()) {
        Warn("JoxCore::AbstractContainer::InternalSetState",
             QStringLiteral("SetState(\"%1\", \"%2\", %3) could not find atom with that name.")
                 .arg(rName, rValue.toString(), QString::number(index)));
        return false;
    }
    bool result = true;
    for (auto it = matches.constBegin(); it != matches.constEnd(); ++it) {
        AtomNode* pNode = it.value();
        const QString& rAtomName = it.key();
        const QList<QVariant> current =
            pNode->GetAtom() != nullptr ? pNode->GetAtom()->GetValues(CurrentState) : QList<QVariant>();
        const QList<QVariant> newValues = single ? QList<QVariant>{rValue} : rValues;
        if (!IsStateChangeAllowed(rName, newValues, current)) {
            RunHooks(cPostSet, rAtomName, current);
            result = false;
            continue;
        }
        if (pNode->GetAtom() == nullptr) {
            AbstractContainerAtom* pAtom = CreateAtom(single ? rValue : rValues.value(0), this);
            pNode->AttachAtom(pAtom);
        }
        AbstractContainerAtom* pAtom = pNode->GetAtom();
        const bool set = single ? pAtom->SetValue(state, rValue, index) : pAtom->SetValues(state, rValues);
        result = result && set;
        StateValuesChanged(rAtomName, current, pAtom->GetValues(CurrentState));
    }
    return result;
}

void AbstractContainer::RunHooks(const QString& rKind, const QString& rAtomName,
                                 const QList<QVariant>& rOldValues)
{
    QMutexLocker lock(&mMutex);
    BusyScope busy(mBusy);
    const QList<ContainerHook*> hooks = mHooks;
    const AtomPath atomPath = AtomPath::Parse(rAtomName);
    for (ContainerHook* pHook : hooks) {
        if (pHook == nullptr || !mHooks.contains(pHook))
            continue;
        QString kind = pHook->GetName();
        AtomPath path;
        if (kind.startsWith(cPostSetPrefix)) {
            path = AtomPath::Parse(kind.mid(cPostSetPrefix.size()));
            kind = cPostSet;
            if (!path.IsValid())
                continue;
        }
        if (kind == rKind && (path.Count() == 0 || path.Matches(atomPath, true)))
            pHook->Invoke(this, rAtomName, rOldValues, GetState(rAtomName, CurrentState));
    }
}

QString AbstractContainer::ToString()
{
    QMutexLocker lock(&mMutex);
    return mRoot != nullptr ? mRoot->Dump(QString()) : QString();
}

StandaloneAtom AbstractContainer::GetAtom(const QString& rName)
{
    QMutexLocker lock(&mMutex);
    const AtomNode::NodeMap matches = Resolve(rName, false);
    if (matches.isEmpty()) {
        Warn("JoxCore::AbstractContainer::GetAtom",
             QStringLiteral("GetAtom(\"%1\") could not create standalone atom (atom could not be found).").arg(rName));
        return StandaloneAtom();
    }
    const AbstractContainerAtom* pAtom = matches.first()->GetAtom();
    if (pAtom == nullptr) {
        Warn("JoxCore::AbstractContainer::GetAtom",
             QStringLiteral("GetAtom(\"%1\") could not create standalone atom (atom could be found but is "
                            "not in model (weird)).")
                 .arg(rName));
        return StandaloneAtom();
    }
    return StandaloneAtom(*pAtom);
}

void AbstractContainer::GetAtoms(const QString& rName, QList<StandaloneAtom>& rAtoms)
{
    QMutexLocker lock(&mMutex);
    const AtomNode::NodeMap matches = Resolve(rName, true);
    for (AtomNode* pNode : matches)
        rAtoms.append(pNode->GetAtom() != nullptr ? StandaloneAtom(*pNode->GetAtom()) : StandaloneAtom());
}

QStringList AbstractContainer::GetAtomNames(const QString& rName)
{
    QMutexLocker lock(&mMutex);
    return Resolve(rName, true).keys();
}

bool AbstractContainer::RemoveAtoms(const QString& rName)
{
    QMutexLocker lock(&mMutex);
    if (RefuseWhileBusy("JoxCore::AbstractContainer::RemoveAtoms",
                        QStringLiteral("RemoveAtoms(\"%1\")").arg(rName)))
        return false;
    if (mRoot != nullptr)
        mRoot->RemoveMatches(AtomPath::Parse(rName));
    mLookupCache.clear();
    return true;
}

void AbstractContainer::Clear()
{
    QMutexLocker lock(&mMutex);
    if (RefuseWhileBusy("JoxCore::AbstractContainer::Clear", QStringLiteral("Clear()")))
        return;
    delete mRoot;
    mRoot = new AtomNode(QString(""));
    mLookupCache.clear();
}

QString AbstractContainer::GetAtomName(const AbstractContainerAtom* pAtom)
{
    QMutexLocker lock(&mMutex);
    if (pAtom == nullptr || pAtom->GetNode() == nullptr)
        return QString("");
    return AtomNode::NodePath(pAtom->GetNode()).ToString();
}

QVariant AbstractContainer::GetAtomParameter(int parameter, const QString& rName, const QVariant& rDefault)
{
    QMutexLocker lock(&mMutex);
    const AtomNode::NodeMap matches = Resolve(rName, false);
    if (matches.isEmpty()) {
        Warn("JoxCore::AbstractContainer::GetAtomParameter",
             QStringLiteral("GetAtomParameter(%1, \"%2\") could not find atom with that name (unknown or "
                            "empty name).")
                 .arg(ParameterText(parameter), rName));
        return QVariant(QString(""));
    }
    if (matches.size() > 1)
        Report(5, "JoxCore::AbstractContainer::GetAtomParameter",
               QStringLiteral("GetAtomParameter(%1, \"%2\") more than one atom match (is this intended?).")
                   .arg(ParameterText(parameter), rName));
    QVariant result = rDefault;
    for (auto it = matches.constBegin(); it != matches.constEnd(); ++it) {
        const AbstractContainerAtom* pAtom = it.value()->GetAtom();
        if (pAtom == nullptr)
            continue;
        switch (parameter) {
        case ParameterMin:
            result = pAtom->GetMin();
            break;
        case ParameterMax:
            result = pAtom->GetMax();
            break;
        case ParameterMinReal:
            result = pAtom->GetMinReal();
            break;
        case ParameterMaxReal:
            result = pAtom->GetMaxReal();
            break;
        case ParameterMaxLength:
            result = pAtom->GetMaxLength();
            break;
        case ParameterRegExp:
            result = QVariant::fromValue(pAtom->GetRegExp());
            break;
        case ParameterMaxNumberStateValues:
            result = pAtom->GetMaxNumberStateValues();
            break;
        case ParameterAllowedValues:
            result = QVariant(pAtom->GetAllowedValues());
            break;
        case ParameterName:
            result = it.key();
            break;
        default:
            break;
        }
    }
    return result;
}

bool AbstractContainer::SetAtomParameter(int parameter, const QString& rName, const QVariant& rValue)
{
    QMutexLocker lock(&mMutex);
    if (parameter == ParameterName) {
        Warn("JoxCore::AbstractContainer::SetAtomParameter",
             QStringLiteral("SetAtomParameter(%1, \"%2\") the name of an atom cannot be set.")
                 .arg(ParameterText(parameter), rName));
        return false;
    }
    BusyScope busy(mBusy);
    const AtomNode::NodeMap matches = Resolve(rName, true);
    if (matches.isEmpty()) {
        Warn("JoxCore::AbstractContainer::SetAtomParameter",
             QStringLiteral("SetAtomParameter(%1, \"%2\") could not find atom with that name.")
                 .arg(ParameterText(parameter), rName));
        return false;
    }
    bool result = true;
    for (AtomNode* pNode : matches) {
        AbstractContainerAtom* pAtom = pNode->GetAtom();
        bool outcome = false;
        if (pAtom != nullptr && result && parameter >= ParameterMin && parameter <= ParameterAllowedValues) {
            const QList<QVariant> oldCurrent = pAtom->GetValues(CurrentState);
            switch (parameter) {
            case ParameterMin:
                pAtom->SetMin(rValue.toInt());
                break;
            case ParameterMax:
                pAtom->SetMax(rValue.toInt());
                break;
            case ParameterMinReal:
                pAtom->SetMinReal(rValue.toDouble());
                break;
            case ParameterMaxReal:
                pAtom->SetMaxReal(rValue.toDouble());
                break;
            case ParameterMaxLength:
                pAtom->SetMaxLength(rValue.toInt());
                break;
            case ParameterRegExp:
                pAtom->SetRegExp(ToRegExp(rValue));
                break;
            case ParameterMaxNumberStateValues:
                pAtom->SetMaxNumberStateValues(rValue.toInt());
                break;
            default:
                break;
            }
            if (parameter == ParameterAllowedValues)
                pAtom->SetAllowedValues(rValue.toList());
            else
                pAtom->Revalidate(oldCurrent);
            outcome = true;
        }
        result = outcome;
    }
    return result;
}

bool AbstractContainer::PerformAtomsAction(int action, const QString& rName)
{
    QMutexLocker lock(&mMutex);
    BusyScope busy(mBusy);
    const AtomNode::NodeMap matches = Resolve(rName, true);
    if (matches.isEmpty()) {
        Warn("JoxCore::AbstractContainer::PerformAtomsAction",
             QStringLiteral("PerformAtomsAction(%1, \"%2\") could not find atom with that name.")
                 .arg(ActionText(action), rName));
        return false;
    }
    bool result = true;
    for (AtomNode* pNode : matches) {
        AbstractContainerAtom* pAtom = pNode->GetAtom();
        if (pAtom == nullptr)
            continue;
        switch (action) {
        case ActionReset:
            pAtom->Reset();
            break;
        case ActionUndo:
            pAtom->Undo();
            break;
        case ActionAuto:
            pAtom->Auto();
            break;
        case ActionSaveCurrentStateAsUndoState:
            pAtom->SaveCurrentStateAsUndoState();
            break;
        default:
            result = false;
            break;
        }
    }
    return result;
}

bool AbstractContainer::SetAtom(const QString& rName, AbstractContainerAtom* pAtom)
{
    QMutexLocker lock(&mMutex);
    const char* const pFunction = "JoxCore::AbstractContainer::SetAtom";
    if (mRoot == nullptr) {
        Warn(pFunction, QStringLiteral("SetAtom(%1) could not set atom (invalid internal data (weird)).")
                            .arg(static_cast<qulonglong>(reinterpret_cast<quintptr>(pAtom))));
        return false;
    }
    if (pAtom == nullptr) {
        Warn(pFunction, QStringLiteral("SetAtom(%1) could not set atom (invalid pointer).").arg(0));
        return false;
    }
    if (RefuseWhileBusy(pFunction, QStringLiteral("SetAtom(\"%1\")").arg(rName)))
        return false;
    const AtomPath path = AtomPath::Parse(rName);
    if (pAtom->GetNode() != nullptr) {
        // Already in a tree: fine where it already is, refused elsewhere, so
        // no atom is owned twice.
        AtomNode::NodeMap matches;
        mRoot->Search(path, 0, matches);
        if (pAtom->GetContainer() == this && !matches.isEmpty() && matches.first() == pAtom->GetNode())
            return true;
        Warn(pFunction, QStringLiteral("SetAtom(%1) could not set atom (it is held by another node).")
                            .arg(static_cast<qulonglong>(reinterpret_cast<quintptr>(pAtom))));
        return false;
    }
    BusyScope busy(mBusy);
    QList<QVariant> values = pAtom->GetValues(CurrentState);
    PrepareStateValues(rName, values, pAtom->GetValues(CurrentState));
    pAtom->SetValues(CurrentState, values);
    AbstractContainerAtom* pPending = pAtom;
    mRoot->FindOrCreate(path, 0, nullptr, true, &pPending);
    mLookupCache.clear();
    if (pPending != nullptr)
        return false;
    pAtom->SetContainer(this);
    const QList<QVariant> current = pAtom->GetValues(CurrentState);
    StateValuesChanged(rName, current, current);
    return true;
}

} // namespace JoxCore

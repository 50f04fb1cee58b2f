#include <joxgui/SynchronizableContainer.h>

#include <joxgui/FileDirChooser.h>

#include <joxcore/AbstractContainer.h>
#include <joxcore/AtomPath.h>
#include <joxcore/ContainerHook.h>
#include <joxcore/ModelInterface.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMutexLocker>
#include <QPointer>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>

#include <algorithm>

namespace JoxGui {

namespace {

// A spin box or slider whose range no longer holds the model's value shows
// that value clamped and reports it as a change: that is no edit.
bool IsClampedModelValue(int shown, int minimum, int maximum, const JoxCore::AbstractContainerAtom& rAtom)
{
    bool ok = false;
    const qlonglong model = rAtom.GetValues(JoxCore::AbstractContainer::CurrentState).value(0).toLongLong(&ok);
    return ok && (model < minimum || model > maximum) && shown == std::clamp<qlonglong>(model, minimum, maximum);
}

// True for a group of radio buttons: its first widget, past the places of
// buttons that are gone, is one.
bool IsRadioGroup(const QList<QWidget*>& rGroup)
{
    const auto first = std::find_if(rGroup.begin(), rGroup.end(), [](QWidget* pWidget) { return pWidget != nullptr; });
    return first != rGroup.end() && qobject_cast<QRadioButton*>(*first) != nullptr;
}

} // namespace

// Follows every change of the model and hands the atom's name to the GUI
// thread (the model calls it with its lock held, on any thread).
class SynchronizableContainer::Hook : public JoxCore::ContainerHook
{
public:
    explicit Hook(SynchronizableContainer* pOwner)
        : JoxCore::ContainerHook(QStringLiteral("PostSet"))
        , mpOwner(pOwner)
    {
    }

    void Invoke(JoxCore::AbstractContainer*, const QString& rAtomName, const QList<QVariant>&,
                const QList<QVariant>&) override
    {
        QPointer<SynchronizableContainer> pOwner = mpOwner;
        QMetaObject::invokeMethod(
            mpOwner, [pOwner, rAtomName] {
                if (pOwner)
                    pOwner->ModelChanged(rAtomName);
            },
            Qt::QueuedConnection);
    }

private:
    SynchronizableContainer* mpOwner;
};

SynchronizableContainer::SynchronizableContainer(JoxCore::ModelInterface* pContainer, QObject* pParent)
    : QObject(pParent)
    , mContainer(pContainer)
    , mpHook(new Hook(this))
{
    if (mContainer != nullptr)
        mContainer->AddHook(mpHook);
}

SynchronizableContainer::~SynchronizableContainer()
{
    if (mContainer != nullptr)
        mContainer->RemoveHook(mpHook);
    delete mpHook;
}

void SynchronizableContainer::ClearMatchCache()
{
    mMatchCache.clear();
}

void SynchronizableContainer::Connect(QWidget* pWidget)
{
    // Only the pointer is kept: the widget is no longer one when this runs.
    connect(pWidget, &QObject::destroyed, this, [this, pWidget] { RemoveFromBindings(pWidget); });
    if (auto* pEdit = qobject_cast<QLineEdit*>(pWidget)) {
        connect(pEdit, &QLineEdit::editingFinished, this, qOverload<>(&SynchronizableContainer::Changed));
    } else if (auto* pCombo = qobject_cast<QComboBox*>(pWidget)) {
        // A choice of the operator; filling or clearing the list is none.
        connect(pCombo, &QComboBox::activated, this, qOverload<>(&SynchronizableContainer::Changed));
        // Typed text counts once its editing is finished.
        if (pCombo->lineEdit() != nullptr)
            connect(pCombo->lineEdit(), &QLineEdit::editingFinished, this, [this, pCombo] { WidgetChanged(pCombo); });
    } else if (auto* pSpin = qobject_cast<QSpinBox*>(pWidget)) {
        connect(pSpin, &QSpinBox::valueChanged, this, qOverload<>(&SynchronizableContainer::Changed));
    } else if (auto* pCheck = qobject_cast<QCheckBox*>(pWidget)) {
        connect(pCheck, &QCheckBox::stateChanged, this, qOverload<>(&SynchronizableContainer::Changed));
    } else if (auto* pRadio = qobject_cast<QRadioButton*>(pWidget)) {
        connect(pRadio, &QRadioButton::toggled, this, qOverload<>(&SynchronizableContainer::Changed));
    } else if (auto* pChooser = qobject_cast<CustomWidgets::FileDirChooser*>(pWidget)) {
        connect(pChooser, &CustomWidgets::FileDirChooser::ChoiceFinished, this,
                qOverload<>(&SynchronizableContainer::Changed));
        connect(pChooser, &CustomWidgets::FileDirChooser::ChoiceChanged, this,
                qOverload<>(&SynchronizableContainer::Changed));
    } else if (auto* pSlider = qobject_cast<QSlider*>(pWidget)) {
        connect(pSlider, &QSlider::valueChanged, this, qOverload<>(&SynchronizableContainer::Changed));
    }
}

void SynchronizableContainer::Bind(const QString& rPath, QWidget* pWidget)
{
    if (pWidget == nullptr)
        return;
    bool connected = false;
    {
        QMutexLocker locker(&mMutex);
        connected = !WidgetBindingName(pWidget).isEmpty();
        mBindings[rPath].append(Group{pWidget});
        ClearMatchCache();
    }
    // A widget bound under a second key keeps its one set of connections.
    if (!connected)
        Connect(pWidget);
    UpdateWidgets(rPath);
}

void SynchronizableContainer::BindRadioButtons(const QString& rPath, const QList<QRadioButton*>& rButtons)
{
    if (rButtons.isEmpty())
        return;
    Group group;
    Group unconnected;
    {
        QMutexLocker locker(&mMutex);
        for (QRadioButton* pButton : rButtons) {
            group.append(pButton);
            if (pButton != nullptr && WidgetBindingName(pButton).isEmpty() && !unconnected.contains(pButton))
                unconnected.append(pButton);
        }
        mBindings[rPath].append(group);
        ClearMatchCache();
    }
    for (QWidget* pButton : unconnected)
        Connect(pButton);
    UpdateWidgets(rPath);
}

void SynchronizableContainer::RemoveFromBindings(QWidget* pWidget)
{
    QMutexLocker locker(&mMutex);
    for (auto it = mBindings.begin(); it != mBindings.end();) {
        // A radio button's place stays empty: the others keep standing for
        // their allowed values.
        for (Group& rGroup : it.value())
            std::replace(rGroup.begin(), rGroup.end(), pWidget, static_cast<QWidget*>(nullptr));
        it.value().removeIf([](const Group& rGroup) { return rGroup.count(nullptr) == rGroup.size(); });
        it = it.value().isEmpty() ? mBindings.erase(it) : std::next(it);
    }
    ClearMatchCache();
}

void SynchronizableContainer::Unbind(QWidget* pWidget)
{
    if (pWidget == nullptr)
        return;
    RemoveFromBindings(pWidget);
    disconnect(pWidget, nullptr, this, nullptr);
    if (auto* pCombo = qobject_cast<QComboBox*>(pWidget))
        if (pCombo->lineEdit() != nullptr)
            disconnect(pCombo->lineEdit(), nullptr, this, nullptr);
}

QString SynchronizableContainer::WidgetBindingName(QWidget* pWidget)
{
    if (pWidget == nullptr)
        return QString();
    QMutexLocker locker(&mMutex);
    for (auto it = mBindings.constBegin(); it != mBindings.constEnd(); ++it)
        for (const Group& rGroup : it.value())
            if (rGroup.contains(pWidget))
                return it.key();
    return QString();
}

QStringList SynchronizableContainer::MatchingBindingNames(const QString& rName, bool checkIndex)
{
    if (rName.isEmpty())
        return QStringList();
    QMutexLocker locker(&mMutex);
    // The flag changes the answer, so it is part of the cache key.
    const QString cacheKey = (checkIndex ? QStringLiteral("1:") : QStringLiteral("0:")) + rName;
    const auto cached = mMatchCache.constFind(cacheKey);
    if (cached != mMatchCache.constEnd())
        return cached.value();
    const JoxCore::AtomPath path(rName);
    QStringList names;
    for (auto it = mBindings.constBegin(); it != mBindings.constEnd(); ++it)
        if (JoxCore::AtomPath(it.key()).Matches(path, checkIndex) && !names.contains(it.key()))
            names.append(it.key());
    mMatchCache.insert(cacheKey, names);
    return names;
}

void SynchronizableContainer::Changed()
{
    WidgetChanged(qobject_cast<QWidget*>(sender()));
}

void SynchronizableContainer::WidgetChanged(QWidget* pSender)
{
    QMutexLocker locker(&mMutex);
    if (pSender == nullptr || mContainer == nullptr)
        return;
    const QString name = WidgetBindingName(pSender);
    const JoxCore::StandaloneAtom atom = mContainer->GetAtom(name);
    if (!atom.IsValid())
        return;
    const JoxCore::AbstractContainerAtom& rAtom = atom.GetAtom();
    // The sender's own key: another key that matches it holds other widgets.
    const QList<Group> groups = mBindings.value(name);
    for (const Group& rGroup : groups) {
        if (rGroup.size() == 1 && rGroup.first() == pSender) {
            QVariant value;
            if (auto* pEdit = qobject_cast<QLineEdit*>(pSender)) {
                value = pEdit->text();
            } else if (auto* pLabel = qobject_cast<QLabel*>(pSender)) {
                value = pLabel->text();
            } else if (auto* pCombo = qobject_cast<QComboBox*>(pSender)) {
                QString text = pCombo->currentText();
                for (int i = 0; i < pCombo->count(); ++i) {
                    if (pCombo->itemText(i) == text) {
                        // An item without data keeps its text.
                        const QVariant data = pCombo->itemData(i, Qt::UserRole);
                        if (data.isValid())
                            text = data.toString();
                        break;
                    }
                }
                const QList<QVariant> allowed = rAtom.GetAllowedValues();
                const int maxLength = rAtom.GetMaxLength();
                if (pCombo->isEditable() && !allowed.contains(text) && maxLength >= 0 && maxLength < text.size())
                    text = text.left(maxLength);
                value = text;
            } else if (auto* pSpin = qobject_cast<QSpinBox*>(pSender)) {
                if (IsClampedModelValue(pSpin->value(), pSpin->minimum(), pSpin->maximum(), rAtom))
                    continue;
                value = pSpin->value();
            } else if (auto* pCheck = qobject_cast<QCheckBox*>(pSender)) {
                value = pCheck->checkState() == Qt::Checked;
            } else if (auto* pChooser = qobject_cast<CustomWidgets::FileDirChooser*>(pSender)) {
                value = pChooser->GetLineEdit() != nullptr ? pChooser->GetLineEdit()->text() : QString();
            } else if (auto* pSlider = qobject_cast<QSlider*>(pSender)) {
                if (IsClampedModelValue(pSlider->value(), pSlider->minimum(), pSlider->maximum(), rAtom))
                    continue;
                value = pSlider->value();
            } else {
                continue;
            }
            mContainer->SetState(name, JoxCore::AbstractContainer::CurrentState, value, -1);
        } else if (IsRadioGroup(rGroup)) {
            const QList<QVariant> allowed = rAtom.GetAllowedValues();
            QList<QVariant> values;
            for (int i = 0; i < rGroup.size(); ++i) {
                auto* pButton = qobject_cast<QRadioButton*>(rGroup[i]);
                if (pButton != nullptr && pButton->isChecked())
                    values.append(allowed.value(i));
            }
            mContainer->SetState(name, JoxCore::AbstractContainer::CurrentState, values);
        }
    }
}

void SynchronizableContainer::UpdateWidgets()
{
    QStringList keys;
    {
        QMutexLocker locker(&mMutex);
        keys = mBindings.keys();
    }
    for (const QString& rKey : keys)
        UpdateWidgets(rKey);
}

void SynchronizableContainer::UpdateWidgets(const QString& rKey)
{
    if (mContainer == nullptr)
        return;
    QList<Group> groups;
    {
        QMutexLocker locker(&mMutex);
        groups = mBindings.value(rKey);
    }
    const QString atomName = mContainer->GetFirstAtomName(rKey);
    if (atomName.isEmpty())
        return;
    const JoxCore::StandaloneAtom atom = mContainer->GetAtom(atomName);
    const QList<QVariant> values = mContainer->GetState(atomName, JoxCore::AbstractContainer::CurrentState);
    const QVariant first = values.value(0);
    for (const Group& rGroup : groups) {
        for (int i = 0; i < rGroup.size(); ++i) {
            QWidget* pWidget = rGroup[i];
            const QSignalBlocker blocker(pWidget);
            if (auto* pRadio = qobject_cast<QRadioButton*>(pWidget)) {
                // Exclusive buttons would uncheck each other; buttons of a
                // multi-value atom stay as free as the caller made them.
                const bool exclusive = pRadio->autoExclusive();
                pRadio->setAutoExclusive(false);
                pRadio->setChecked(values.contains(atom.GetAtom().GetAllowedValues().value(i)));
                pRadio->setAutoExclusive(exclusive);
            } else if (auto* pEdit = qobject_cast<QLineEdit*>(pWidget)) {
                pEdit->setText(first.toString());
            } else if (auto* pLabel = qobject_cast<QLabel*>(pWidget)) {
                pLabel->setText(first.toString());
            } else if (auto* pCombo = qobject_cast<QComboBox*>(pWidget)) {
                int index = pCombo->findData(first, Qt::UserRole);
                if (index < 0)
                    index = pCombo->findText(first.toString());
                if (index >= 0)
                    pCombo->setCurrentIndex(index);
                else if (pCombo->isEditable())
                    pCombo->setEditText(first.toString());
            } else if (auto* pSpin = qobject_cast<QSpinBox*>(pWidget)) {
                pSpin->setValue(first.toInt());
            } else if (auto* pCheck = qobject_cast<QCheckBox*>(pWidget)) {
                pCheck->setChecked(first.toBool());
            } else if (auto* pChooser = qobject_cast<CustomWidgets::FileDirChooser*>(pWidget)) {
                const QSignalBlocker editBlocker(pChooser->GetLineEdit());
                pChooser->GetLineEdit()->setText(first.toString());
            } else if (auto* pSlider = qobject_cast<QSlider*>(pWidget)) {
                pSlider->setValue(first.toInt());
            }
        }
    }
}

void SynchronizableContainer::ModelChanged(const QString& rAtomName)
{
    const QStringList keys = MatchingBindingNames(rAtomName, true);
    if (keys.isEmpty())
        return;
    for (const QString& rKey : keys)
        UpdateWidgets(rKey);
    emit Changed(rAtomName);
}

} // namespace JoxGui

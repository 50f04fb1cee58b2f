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

namespace JoxGui {

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
    if (auto* pEdit = qobject_cast<QLineEdit*>(pWidget)) {
        connect(pEdit, &QLineEdit::editingFinished, this, qOverload<>(&SynchronizableContainer::Changed));
    } else if (auto* pCombo = qobject_cast<QComboBox*>(pWidget)) {
        connect(pCombo, &QComboBox::currentIndexChanged, this, qOverload<>(&SynchronizableContainer::Changed));
        connect(pCombo, &QComboBox::textActivated, this, qOverload<>(&SynchronizableContainer::Changed));
        // Typed text counts once its editing is finished, as a choice of the combo box.
        if (pCombo->lineEdit() != nullptr)
            connect(pCombo->lineEdit(), &QLineEdit::editingFinished, pCombo,
                    [pCombo] { emit pCombo->textActivated(pCombo->currentText()); });
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
    {
        QMutexLocker locker(&mMutex);
        mBindings[rPath].append(Group{pWidget});
        ClearMatchCache();
    }
    Connect(pWidget);
    UpdateWidgets(rPath);
}

void SynchronizableContainer::BindRadioButtons(const QString& rPath, const QList<QRadioButton*>& rButtons)
{
    if (rButtons.isEmpty())
        return;
    Group group;
    for (QRadioButton* pButton : rButtons)
        group.append(pButton);
    {
        QMutexLocker locker(&mMutex);
        mBindings[rPath].append(group);
        ClearMatchCache();
    }
    for (QWidget* pButton : group)
        Connect(pButton);
    UpdateWidgets(rPath);
}

void SynchronizableContainer::Unbind(QWidget* pWidget)
{
    QMutexLocker locker(&mMutex);
    for (auto it = mBindings.begin(); it != mBindings.end();) {
        for (Group& rGroup : it.value())
            rGroup.removeAll(pWidget);
        it.value().removeIf([](const Group& rGroup) { return rGroup.isEmpty(); });
        it = it.value().isEmpty() ? mBindings.erase(it) : std::next(it);
    }
    ClearMatchCache();
    disconnect(pWidget, nullptr, this, nullptr);
}

QString SynchronizableContainer::WidgetBindingName(QWidget* pWidget)
{
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
    QMutexLocker locker(&mMutex);
    auto* pSender = qobject_cast<QWidget*>(sender());
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
                value = pSpin->value();
            } else if (auto* pCheck = qobject_cast<QCheckBox*>(pSender)) {
                value = pCheck->checkState() == Qt::Checked;
            } else if (auto* pChooser = qobject_cast<CustomWidgets::FileDirChooser*>(pSender)) {
                value = pChooser->GetLineEdit() != nullptr ? pChooser->GetLineEdit()->text() : QString();
            } else if (auto* pSlider = qobject_cast<QSlider*>(pSender)) {
                value = pSlider->value();
            } else {
                continue;
            }
            mContainer->SetState(name, JoxCore::AbstractContainer::CurrentState, value, -1);
        } else if (!rGroup.isEmpty() && qobject_cast<QRadioButton*>(rGroup.first()) != nullptr) {
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
                pRadio->setAutoExclusive(false);
                pRadio->setChecked(values.contains(atom.GetAtom().GetAllowedValues().value(i)));
                pRadio->setAutoExclusive(true);
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

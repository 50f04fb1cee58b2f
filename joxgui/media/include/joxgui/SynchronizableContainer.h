#pragma once

#include <QList>
#include <QMap>
#include <QObject>
#include <QRecursiveMutex>
#include <QStringList>

class QRadioButton;
class QWidget;

namespace JoxCore {
class ModelInterface;
}

namespace JoxGui {

// Binds Qt widgets to the atoms of a parameter model by atom path: a
// widget's change is written to the model, and a change in the model is
// shown by the widgets bound to it. Only changes the operator makes are
// written: filling a combo box or narrowing a spin box's or slider's range
// writes nothing. A bound widget that is deleted leaves its bindings; a
// radio button leaves its place in the group empty, so the others keep
// standing for their allowed values. The model must outlive this object.
class SynchronizableContainer : public QObject
{
    Q_OBJECT

public:
    explicit SynchronizableContainer(JoxCore::ModelInterface* pContainer, QObject* pParent = nullptr);
    ~SynchronizableContainer() override;

    // Binds one editing widget (line edit, label, combo box, spin box, check
    // box, file chooser or slider) to the path.
    void Bind(const QString& rPath, QWidget* pWidget);
    // Binds radio buttons: the button at position i stands for the atom's
    // i-th allowed value.
    void BindRadioButtons(const QString& rPath, const QList<QRadioButton*>& rButtons);
    // Removes the widget from every binding and disconnects it.
    void Unbind(QWidget* pWidget);
    // The binding key whose groups hold the widget; "" when unbound.
    QString WidgetBindingName(QWidget* pWidget);
    // The binding keys whose paths match the name's, in key order.
    QStringList MatchingBindingNames(const QString& rName, bool checkIndex);
    // Shows the model's current values in every bound widget.
    void UpdateWidgets();

signals:
    // The bound atom of that name changed in the model.
    void Changed(const QString& rName);

private slots:
    void Changed();

private:
    class Hook;
    typedef QList<QWidget*> Group;

    void Connect(QWidget* pWidget);
    // Drops the widget from every binding (it may be under destruction).
    void RemoveFromBindings(QWidget* pWidget);
    void WidgetChanged(QWidget* pSender);
    void ClearMatchCache();
    void UpdateWidgets(const QString& rKey);
    void ModelChanged(const QString& rAtomName);

    JoxCore::ModelInterface* mContainer;
    QMap<QString, QList<Group>> mBindings;
    QMap<QString, QStringList> mMatchCache;
    QRecursiveMutex mMutex;
    Hook* mpHook;
};

} // namespace JoxGui

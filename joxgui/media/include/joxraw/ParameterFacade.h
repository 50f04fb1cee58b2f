#pragma once

#include <QMetaType>

namespace JoxRaw {

// How a parameter is offered to the user.
class ParameterFacade
{
public:
    ParameterFacade() = default;
    ParameterFacade(bool enabled, bool visible, bool readOnly);

    bool IsEnabled() const { return mEnabled; }
    bool IsVisible() const { return mVisible; }
    bool IsReadOnly() const { return mReadOnly; }
    bool operator==(const ParameterFacade& rOther) const;

private:
    bool mEnabled = true;
    bool mVisible = true;
    bool mReadOnly = false;
};

} // namespace JoxRaw

Q_DECLARE_METATYPE(JoxRaw::ParameterFacade)

#pragma once

#include <QString>
#include <boost/shared_ptr.hpp>

namespace JoxCore {

// An executable unit of work with a state.
class ICommand
{
public:
    virtual ~ICommand() = default;
    // One of BasicCommandState.
    virtual int GetState() const = 0;
    virtual void SetState(int state) = 0;
    // Text describing the command.
    virtual QString GetDescription() const = 0;
    // An object the command carries, or an empty pointer.
    virtual boost::shared_ptr<void> GetSharedObject() const = 0;
};

} // namespace JoxCore

#pragma once

namespace JoxCore {

// An inclusive range of a numeric codec setting.
struct CodecRange
{
    int minimum = 0;
    int maximum = 0;

    // Below the minimum gives the minimum, above the maximum the maximum.
    int Clamp(int value) const
    {
        if (value < minimum)
            return minimum;
        if (value > maximum)
            return maximum;
        return value;
    }
};

} // namespace JoxCore

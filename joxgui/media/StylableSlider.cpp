#include <joxgui/StylableSlider.h>

#include <algorithm>

namespace JoxGui {

StylableSlider::StylableSlider(Qt::Orientation orientation, QWidget* pParent)
    : QSlider(orientation, pParent)
{
    connect(this, &QSlider::sliderReleased, this, &StylableSlider::SignalSliderReleased);
}

void StylableSlider::SetStep(int step)
{
    mStep = step;
}

void StylableSlider::Increment()
{
    const long long next = static_cast<long long>(value()) + mStep;
    setValue(static_cast<int>(std::max<long long>(std::min<long long>(next, maximum()), minimum())));
}

void StylableSlider::Decrement()
{
    const long long next = static_cast<long long>(value()) - mStep;
    setValue(static_cast<int>(std::max<long long>(std::min<long long>(next, maximum()), minimum())));
}

} // namespace JoxGui

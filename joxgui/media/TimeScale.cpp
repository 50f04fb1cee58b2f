#include <joxgui/TimeScale.h>

#include <styles/StylePalette.h>

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <optional>

namespace JoxGui {

namespace {

// Ticks closer than this many pixels are not drawn, so a scope of any size
// draws at most width / kMinimumSpacing ticks.
const double kMinimumSpacing = 3.0;

// The whole seconds of a real number; none when it is not finite or beyond
// the 64-bit range (2^63 itself is one too many).
std::optional<qint64> WholeSeconds(double seconds)
{
    if (!std::isfinite(seconds) || std::fabs(seconds) >= 9223372036854775808.0)
        return std::nullopt;
    return static_cast<qint64>(seconds);
}

} // namespace

TimeScale::TimeScale(QWidget* pParent)
    : QWidget(pParent)
    , mStart(QDate::currentDate().startOfDay())
{
    SetScopes({60, 300, 900, 3600, 21600, 86400, 604800}, {10, 60, 300, 600, 3600, 10800, 86400},
              {1, 10, 60, 60, 600, 3600, 21600});
}

void TimeScale::SetScopes(const QList<int>& rScopes, const QList<int>& rMajorSteps,
                          const QList<int>& rMinorSteps)
{
    mScopes = rScopes;
    mMajorSteps = rMajorSteps;
    mMinorSteps = rMinorSteps;
    mScopeIndex = 0;
    mScope = mScopes.value(0, 0);
    mMajorStep = mMajorSteps.value(0, 0);
    mMinorStep = mMinorSteps.value(0, 0);
    update();
}

void TimeScale::SetStart(const QDateTime& rStart)
{
    mStart = rStart;
    update();
}

int TimeScale::GetScope() const { return mScope; }
int TimeScale::GetMajorStep() const { return mMajorStep; }
int TimeScale::GetMinorStep() const { return mMinorStep; }
QDateTime TimeScale::GetStart() const { return mStart; }

QSize TimeScale::sizeHint() const
{
    return QSize(400, 30);
}

void TimeScale::SetScopeIndex(int index, double x)
{
    const int w = width();
    if (w <= 0 || index < 0 || index >= mScopes.size())
        return;
    const int scope = mScopes[index];
    // In real numbers: a scope narrower than the widget is no zero step.
    const std::optional<qint64> toX = WholeSeconds(double(mScope) / w * x);
    const std::optional<qint64> back = WholeSeconds(-double(scope) * (x / w));
    if (!toX || !back)
        return;
    const QDateTime start = mStart.addSecs(*toX).addSecs(*back);
    if (!start.isValid())
        return;
    mScopeIndex = index;
    mScope = scope;
    // The per-step tables may be shorter than the scopes: the old step stays.
    mMajorStep = mMajorSteps.value(index, mMajorStep);
    mMinorStep = mMinorSteps.value(index, mMinorStep);
    mStart = start;
    emit SignalScopeChanged(mScope);
    emit SignalStartChanged(mStart);
    update();
}

void TimeScale::SlotSetDate(const QDate& rDate)
{
    if (!rDate.isValid() || rDate == mStart.date())
        return;
    SetScopeIndex(5, 0);
    mStart = rDate.startOfDay();
    emit SignalStartChanged(mStart);
    update();
}

double TimeScale::TimeToX(const QDateTime& rTime) const
{
    if (mScope <= 0)
        return 0.0;
    return double(mStart.secsTo(rTime)) * width() / mScope;
}

void TimeScale::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), StylePalette::ColorPanel);
    const int w = width();
    const int h = height();
    if (w <= 0 || mScope <= 0 || !mStart.isValid())
        return;
    const qint64 start = mStart.toSecsSinceEpoch();
    const qint64 offset = mStart.offsetFromUtc();
    auto ticks = [&](int step, int top, bool label) {
        if (step <= 0 || double(step) * w / mScope < kMinimumSpacing)
            return;
        // The first tick at or after the start, on a multiple of the step in local time.
        const qint64 local = start + offset;
        qint64 tick = local - ((local % step) + step) % step;
        if (tick < local)
            tick += step;
        for (; (tick - local) <= qint64(mScope); tick += step) {
            const int x = int(std::lround(double(tick - local) * w / mScope));
            painter.fillRect(QRect(x, top, 1, h - top), StylePalette::ColorText);
            if (label) {
                const QDateTime time = QDateTime::fromSecsSinceEpoch(tick - offset);
                const QString text = step >= 86400 ? time.toString(QStringLiteral("yyyy-MM-dd"))
                                                   : time.toString(QStringLiteral("hh:mm:ss"));
                painter.setPen(StylePalette::ColorText);
                painter.drawText(QRect(x + 3, h / 3, 120, h / 3), Qt::AlignLeft | Qt::AlignVCenter, text);
            }
        }
    };
    ticks(mMinorStep, 2 * h / 3, false);
    ticks(mMajorStep, 0, true);
}

void TimeScale::wheelEvent(QWheelEvent* pEvent)
{
    const int delta = pEvent->angleDelta().y();
    if (delta == 0)
        return;
    SetScopeIndex(mScopeIndex + (delta > 0 ? -1 : 1), pEvent->position().x());
}

void TimeScale::mousePressEvent(QMouseEvent* pEvent)
{
    if (pEvent->button() != Qt::LeftButton)
        return;
    mDragX = pEvent->position().x();
    mDragStart = mStart;
}

void TimeScale::mouseMoveEvent(QMouseEvent* pEvent)
{
    if (!(pEvent->buttons() & Qt::LeftButton) || width() <= 0 || !mDragStart.isValid())
        return;
    const double seconds = (mDragX - pEvent->position().x()) * mScope / width();
    const QDateTime start = mDragStart.addSecs(static_cast<qint64>(std::lround(seconds)));
    if (start == mStart)
        return;
    mStart = start;
    emit SignalStartChanged(mStart);
    update();
}

} // namespace JoxGui

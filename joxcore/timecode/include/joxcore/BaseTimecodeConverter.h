#pragma once

#include <QObject>
#include <QString>

#include <cstdint>

namespace JoxCore {

// What the timecode texts and the timecode edit need of a converter that
// knows the frame rate and the timecode kind. The text operations return the
// empty text when they cannot make one; pContext is handed through unchanged.
class BaseTimecodeConverter : public QObject
{
    Q_OBJECT

public:
    explicit BaseTimecodeConverter(QObject* pParent = nullptr);
    ~BaseTimecodeConverter() override;

    // Non-zero while the converter shows timecode.
    virtual int GetTimecodeMode() const = 0;
    // 0 frames, 1 timecode.
    virtual void SetTimecodeMode(int mode) = 0;
    virtual QString PositionToText(int64_t frames, void* pContext) const = 0;
    virtual QString OffsetToText(int64_t frames, void* pContext) const = 0;
    virtual QString DurationToText(int64_t frames, void* pContext) const = 0;

signals:
    // The frame rate, kind or mode changed; shown texts are stale.
    void UpdateTimecode();
};

} // namespace JoxCore

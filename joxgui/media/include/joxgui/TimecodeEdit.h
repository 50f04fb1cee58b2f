#pragma once

#include <joxcore/BaseTimecodeConverter.h>

#include <QLineEdit>
#include <QPointer>

#include <map>
#include <string>

class QValidator;


namespace JoxGui {

// A line edit showing a frame position, offset or duration as a frame
// number or a timecode. Up and Down step one frame; a typed frame number is
// taken with Return; Escape shows the current frame again.
class TimecodeEdit : public QLineEdit
{
    Q_OBJECT

public:
    enum DisplayMode { ModePosition = 0, ModeOffset = 1, ModeDelta = 2, ModeDone = 3, ModeTodo = 4 };
    // Frames, timecode, or whatever the converter's mode is.
    enum DisplayFormat { FormatFrames = 0, FormatTimecode = 1, FormatConverter = 2 };

    explicit TimecodeEdit(QWidget* pParent = nullptr);

    // The converter may be null, and is not owned: one deleted later counts
    // as none. pContext is handed to it unchanged.
    void SetConverter(JoxCore::BaseTimecodeConverter* pConverter, void* pContext = nullptr);
    void SetDisplayMode(int mode);
    void SetDisplayFormat(int format);
    void SetRange(qint64 minimum, qint64 maximum);
    // Indents the text: mode 0 from the left, 1 from the right, 2 from the top.
    void SetIndented(bool indented, int mode);
    // Clamps the frame to the range (not below -1 for positions and
    // offsets), shows it and signals a change.
    void SetFrame(qint64 frame);
    qint64 GetFrame() const;
    qint64 GetPreviousFrame() const;

    // 0 "position", 1 "offset", 2 "delta", 3 "done", 4 "todo".
    static const std::map<int, std::string> DisplayModeNames;
    static std::map<int, std::string> CreateDisplayModeNames();

signals:
    void FrameChanged(long long frame);

private slots:
    void UpdateGuiTimecode();
    void ModeFrames();
    void ModeTimecode();
    void UpdateMargins();
    void SlotEditingFinished();

protected:
    void keyPressEvent(QKeyEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;

private:
    bool ShowsTimecode() const;

    QPointer<JoxCore::BaseTimecodeConverter> mpConverter;
    void* mpConverterContext = nullptr;
    QValidator* mpValidator;
    int mDisplayMode = ModePosition;
    int mDisplayFormat = FormatFrames;
    qint64 mMinimum = -1;
    qint64 mMaximum = 0x7fffffffffffffffLL;
    qint64 mPreviousFrame = 0;
    qint64 mFrame = 0;
    bool mIndented = false;
    int mIndentMode = 0;
};

} // namespace JoxGui

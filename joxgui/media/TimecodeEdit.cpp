#include <joxgui/TimecodeEdit.h>

#include <joxcore/BaseTimecodeConverter.h>
#include <joxcore/TimecodeTexts.h>

#include <QKeyEvent>
#include <QRegularExpressionValidator>

#include <algorithm>
#include <limits>

namespace JoxGui {

const std::map<int, std::string> TimecodeEdit::DisplayModeNames = TimecodeEdit::CreateDisplayModeNames();

std::map<int, std::string> TimecodeEdit::CreateDisplayModeNames()
{
    return {{ModePosition, "position"}, {ModeOffset, "offset"}, {ModeDelta, "delta"},
            {ModeDone, "done"}, {ModeTodo, "todo"}};
}

TimecodeEdit::TimecodeEdit(QWidget* pParent)
    : QLineEdit(pParent)
    , mpValidator(new QRegularExpressionValidator(
          QRegularExpression(QStringLiteral("-?[0-9:;.]{0,20}\\*?")), this))
{
    setValidator(mpValidator);
    connect(this, &QLineEdit::editingFinished, this, &TimecodeEdit::SlotEditingFinished);
    SetFrame(0);
}

void TimecodeEdit::SetConverter(JoxCore::BaseTimecodeConverter* pConverter, void* pContext)
{
    if (mpConverter != nullptr)
        disconnect(mpConverter, nullptr, this, nullptr);
    mpConverter = pConverter;
    mpConverterContext = pContext;
    if (mpConverter != nullptr)
        connect(mpConverter, &JoxCore::BaseTimecodeConverter::UpdateTimecode, this,
                &TimecodeEdit::UpdateGuiTimecode);
    UpdateGuiTimecode();
}

void TimecodeEdit::SetDisplayMode(int mode)
{
    mDisplayMode = mode;
    UpdateGuiTimecode();
}

void TimecodeEdit::SetDisplayFormat(int format)
{
    mDisplayFormat = format;
    UpdateGuiTimecode();
}

void TimecodeEdit::SetRange(qint64 minimum, qint64 maximum)
{
    mMinimum = minimum;
    mMaximum = maximum;
    UpdateGuiTimecode();
}

void TimecodeEdit::SetIndented(bool indented, int mode)
{
    mIndented = indented;
    mIndentMode = mode;
    UpdateMargins();
}

qint64 TimecodeEdit::GetFrame() const
{
    return mFrame;
}

qint64 TimecodeEdit::GetPreviousFrame() const
{
    return mPreviousFrame;
}

bool TimecodeEdit::ShowsTimecode() const
{
    return mDisplayFormat == FormatTimecode
           || (mDisplayFormat == FormatConverter && mpConverter != nullptr
               && mpConverter->GetTimecodeMode() != 0);
}

void TimecodeEdit::SetFrame(qint64 frame)
{
    mPreviousFrame = mFrame;
    const bool signedMode = mDisplayMode == ModeDelta || mDisplayMode == ModeDone || mDisplayMode == ModeTodo;
    const qint64 lower = signedMode ? mMinimum : std::max<qint64>(mMinimum, -1);
    mFrame = std::max(std::min(frame, mMaximum), lower);

    setValidator(nullptr);
    const int format = ShowsTimecode() ? JoxCore::TimecodeFormatTimecode : JoxCore::TimecodeFormatFrames;
    QString text;
    switch (mDisplayMode) {
    case ModePosition:
        text = JoxCore::PositionText(mpConverter.data(), format, mFrame, mpConverterContext);
        break;
    case ModeOffset:
        text = JoxCore::OffsetText(mpConverter.data(), format, mFrame, mpConverterContext);
        break;
    case ModeDelta:
    case ModeDone:
    case ModeTodo:
        text = JoxCore::DurationText(mpConverter.data(), format, mFrame, mpConverterContext);
        break;
    default:
        break;
    }
    setText(text);
    setValidator(mpValidator);
    UpdateMargins();
    if (mFrame != mPreviousFrame)
        emit FrameChanged(mFrame);
}

void TimecodeEdit::UpdateGuiTimecode()
{
    SetFrame(mFrame);
}

void TimecodeEdit::ModeFrames()
{
    if (mpConverter != nullptr)
        mpConverter->SetTimecodeMode(0);
}

void TimecodeEdit::ModeTimecode()
{
    if (mpConverter != nullptr)
        mpConverter->SetTimecodeMode(1);
}

void TimecodeEdit::UpdateMargins()
{
    int left = 0;
    int top = 0;
    int right = 0;
    const QFontMetrics metrics = fontMetrics();
    if (mIndented && width() > 10) {
        const int contents = contentsRect().width();
        const int widest = metrics.horizontalAdvance(QStringLiteral("-99:99:99:99*"));
        // Narrower than the widest text the indent would turn negative.
        const int indent = std::max(0, std::min(int((contents - 3) * 0.5 + 0.5) + 3, contents - widest));
        if (mIndentMode == 0)
            left = indent;
        else if (mIndentMode == 1)
            right = indent;
        else if (mIndentMode == 2)
            top = int(height() * 0.3);
    }
    const int star = metrics.horizontalAdvance(QLatin1Char('*'));
    const int minus = metrics.horizontalAdvance(QLatin1Char('-'));
    const QString shown = text();
    const bool endsWithStar = shown.endsWith(QLatin1Char('*'));
    const bool startsWithMinus = shown.startsWith(QLatin1Char('-'));
    const Qt::Alignment align = alignment();
    if (align & Qt::AlignHCenter) {
        if (!endsWithStar)
            right += star;
        if (!startsWithMinus)
            left += minus;
    }
    if (align & Qt::AlignRight) {
        if (!endsWithStar)
            right += star;
    }
    if (align & Qt::AlignLeft) {
        if (!startsWithMinus)
            left += minus;
    }
    setTextMargins(left, top, right, 0);
}

void TimecodeEdit::SlotEditingFinished()
{
    clearFocus();
}

void TimecodeEdit::keyPressEvent(QKeyEvent* pEvent)
{
    switch (pEvent->key()) {
    case Qt::Key_Up:
        SetFrame(mFrame < mMaximum ? mFrame + 1 : mFrame);
        return;
    case Qt::Key_Down:
        SetFrame(mFrame > std::numeric_limits<qint64>::min() ? mFrame - 1 : mFrame);
        return;
    case Qt::Key_Escape:
        UpdateGuiTimecode();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        bool ok = false;
        const qint64 typed = text().toLongLong(&ok);
        if (ok && !ShowsTimecode())
            SetFrame(typed);
        else
            UpdateGuiTimecode();
        QLineEdit::keyPressEvent(pEvent);
        return;
    }
    default:
        QLineEdit::keyPressEvent(pEvent);
    }
}

void TimecodeEdit::resizeEvent(QResizeEvent* pEvent)
{
    QLineEdit::resizeEvent(pEvent);
    UpdateMargins();
}

} // namespace JoxGui

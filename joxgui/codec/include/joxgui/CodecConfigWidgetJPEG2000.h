#pragma once

#include <joxcore/CodecConfigJPEG2000.h>

#include <QWidget>

class QButtonGroup;
class QCheckBox;
class QRadioButton;
class QSpinBox;

namespace JoxGui {

// Editor of a JPEG 2000 configuration: constant bit rate or no limit, the
// multi-component transform and the edit lag. An edit writes the edited
// control's key.
class CodecConfigWidgetJPEG2000 : public QWidget
{
    Q_OBJECT

public:
    explicit CodecConfigWidgetJPEG2000(QWidget* pParent = nullptr);

    // Takes a copy of rConfig and shows it.
    void SetConfig(const JoxCore::CodecConfigJPEG2000& rConfig);
    const JoxCore::CodecConfigJPEG2000& GetConfig() const { return mConfig; }

private slots:
    void UpdateGui();
    // Writes the edited control (every control when there is no sender),
    // then UpdateGui; a rate the configuration refuses is shown back as stored.
    void UpdateConfig();

private:
    JoxCore::CodecConfigJPEG2000 mConfig;
    QSpinBox* mpBitRateSpin;
    QCheckBox* mpTransformCheck;
    QRadioButton* mpLimitedButton;
    QRadioButton* mpNoLimitButton;
    QButtonGroup* mpLimitGroup;
    QSpinBox* mpEditLagSpin;
};

} // namespace JoxGui

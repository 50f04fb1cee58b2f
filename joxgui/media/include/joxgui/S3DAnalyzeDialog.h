#pragma once

#include <QDialog>

namespace JoxGui {

class S3DAnalyzeFrame;

// The analysis options in a dialog with OK and Cancel; relays the frame's
// signals.
class S3DAnalyzeDialog : public QDialog
{
    Q_OBJECT

public:
    explicit S3DAnalyzeDialog(QWidget* pParent = nullptr);

    S3DAnalyzeFrame* GetFrame() const;

signals:
    void SpinBoxKeyframesValueChanged(int count);
    void CheckBoxSceneDetectionToggled(bool on);
    void SplitAtSceneMarkersToggled(bool on);

private:
    S3DAnalyzeFrame* mpFrame;
};

} // namespace JoxGui

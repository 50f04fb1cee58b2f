#pragma once

#include <QDialog>

namespace JoxGui {

class S3DRectifyFrame;

// The rectification options in a dialog with OK and Cancel.
class S3DRectifyDialog : public QDialog
{
    Q_OBJECT

public:
    explicit S3DRectifyDialog(QWidget* pParent = nullptr);

    S3DRectifyFrame* GetFrame() const;

private:
    S3DRectifyFrame* mpFrame;
};

} // namespace JoxGui

#pragma once

#include <QFrame>
#include <QList>

#include <map>
#include <string>

class QButtonGroup;
class QPushButton;
class QTableWidget;

namespace JoxGui {

// Options of how the left and right images of stereoscopic material are
// rectified: static or dynamic, the key frames used, and the correction.
class S3DRectifyFrame : public QFrame
{
    Q_OBJECT

public:
    // Rectification modes; the button ids of the frame's button groups.
    enum Mode { ModeStatic, ModeDynamic, ModeFirstLast, ModeAll, ModeCustom, ModeGeometry, ModeGeometryWarping };

    explicit S3DRectifyFrame(QWidget* pParent = nullptr);

    // 0 rectify type (static, dynamic), 1 dynamic type (first/last, all,
    // custom), 2 rectify mode (geometry, geometry and warping).
    QButtonGroup* GetButtonGroup(int index) const;
    // The widgets that apply to dynamic rectification.
    QList<QWidget*> GetDynamicWidgets() const;
    // The custom key-frame table and its add and delete buttons.
    QList<QWidget*> GetKeyframeWidgets() const;

    static const std::map<int, std::string> ModeDisplayNames;
    static const std::map<int, std::string> ModeKeys;
    static std::map<int, std::string> CreateModeDisplayNames();
    static std::map<int, std::string> CreateModeKeys();

signals:
    void RectifyTypeClicked(int type);
    void RectifyDynamicTypeClicked(int type);
    void RectifyModeClicked(int mode);
    void CustomKeyframeTableAddClicked();
    void CustomKeyframeTableDeleteClicked();

public slots:
    // Dynamic widgets follow type 1; key-frame widgets also need "custom".
    void EnableWidgets(int type);
    void EnableKeyframeWidgets(int mode);

private slots:
    void ButtonAddKeyframeClicked();
    void ButtonDeleteKeyframeClicked();

private:
    QButtonGroup* mpGroups[3];
    QWidget* mpDynamicWidgets[3];
    QWidget* mpKeyframeWidgets[3];
};

} // namespace JoxGui

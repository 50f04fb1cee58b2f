#pragma once

#include <joxgui/PinContainerWidget.h>

namespace clientcommon {
class DocumentOpener;
}

namespace joxmaintenance {

// The "Info" side panel: opens the program's HTML documentation and the
// about dialog.
class InfoWidget : public JoxGui::PinContainerWidget
{
    Q_OBJECT

public:
    explicit InfoWidget(QWidget* pParent = nullptr);

    // "docs/html/index.html" below the program's folder.
    static QString DocumentationPath();

private slots:
    void SlotFoldClicked(bool visible);
    void SlotShowAbout();
    void SlotShowDocumentation();

private:
    // The "Manual" box for the documentation the opener failed on.
    void ShowOpenFailure(const QString& rPath);

    QWidget* mpContent;
    clientcommon::DocumentOpener* mpOpener;
};

} // namespace joxmaintenance

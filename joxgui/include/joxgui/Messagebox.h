#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QFrame;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QVBoxLayout;

namespace JoxGui {

// The system's message dialog: an icon, a text, up to three buttons given by
// code or by free text, and an optional row that suppresses the message or
// remembers the clicked button for the rest of the process. Sizes follow the
// style metrics.
class Messagebox : public QDialog
{
    Q_OBJECT

public:
    enum Icon
    {
        IconNone = 0,
        IconInformation = 1,
        IconWarning = 2,
        IconCritical = 3,
        IconQuestion = 4,
        IconWindow = 5 // the dialog's own window icon at 32x32
    };

    // Standard button codes; ButtonDefault and ButtonEscape may be ORed in.
    enum ButtonSpecifier
    {
        ButtonNone = 0,
        ButtonOk = 1,
        ButtonCancel = 2,
        ButtonYes = 3,
        ButtonNo = 4,
        ButtonAbort = 5,
        ButtonRetry = 6,
        ButtonIgnore = 7,
        ButtonYesAll = 8,
        ButtonSave = 9,
        ButtonOverwrite = 10,
        ButtonConnect = 11,
        ButtonNoAll = 12,
        ButtonDefault = 0x100,
        ButtonEscape = 0x200
    };

    enum CheckBoxMode
    {
        CheckBoxNone = 0,
        CheckBoxDontShowAgain = 1, // "Don't show this message again!"
        CheckBoxRemember = 2       // "Remember the clicked button!"
    };

    Messagebox(const QString& rTitle, const QString& rText, int icon, int button0, int button1,
               int button2, QWidget* pParent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags(),
               int checkBoxMode = CheckBoxNone);
    ~Messagebox() override;

    // Shows the icon: 1..4 the style's message pixmaps, 5 the window icon.
    void SetIcon(int icon);
    // Renames the first button with the code; 0 on success, else the
    // number of buttons.
    int SetButtonText(int button, const QString& rText);

    // The text as given; the box shows it as plain text, never as markup.
    QString Text() const { return mText; }
    // Adds rText as a paragraph of its own (after a blank line) unless it is
    // empty or the box already holds it whole between paragraph ends (it may
    // hold blank lines itself), and refits an open box; true when it was
    // added.
    bool AppendPlainText(const QString& rText);

    // As wide as the text's longest line, at least 365 pixels and at most
    // two thirds of the screen, the text wrapped within; as high as all rows.
    QSize sizeHint() const override;

    // Modal box with the critical icon; returns the clicked button's code.
    static int Critical(QWidget* pParent, const QString& rTitle, const QString& rText, int button0,
                        int button1 = ButtonNone, int button2 = ButtonNone,
                        int checkBoxMode = CheckBoxNone);
    // Modal box with the information icon; returns the clicked button's
    // 0-based index, -1 when escaped without an escape button.
    static int Information(QWidget* pParent, const QString& rTitle, const QString& rText,
                           const QString& rText0 = QString(), const QString& rText1 = QString(),
                           const QString& rText2 = QString(), int defaultIndex = 0,
                           int escapeIndex = -1, int checkBoxMode = CheckBoxNone);
    // As Information, with the warning icon.
    static int Warning(QWidget* pParent, const QString& rTitle, const QString& rText,
                       const QString& rText0 = QString(), const QString& rText1 = QString(),
                       const QString& rText2 = QString(), int defaultIndex = 0,
                       int escapeIndex = -1, int checkBoxMode = CheckBoxNone);
    // Modal box with up to three buttons labelled by the texts (the first
    // "&OK" when empty); returns the clicked button's 0-based index.
    static int ShowMessage(QWidget* pParent, int icon, const QString& rTitle, const QString& rText,
                           const QString& rText0, const QString& rText1, const QString& rText2,
                           int defaultIndex, int escapeIndex, int checkBoxMode);

public slots:
    // Answers without showing when the message was suppressed (1) or its
    // button remembered (the stored result); otherwise runs the dialog.
    int exec() override;

protected:
    void keyPressEvent(QKeyEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;
    void closeEvent(QCloseEvent* pEvent) override;
    void showEvent(QShowEvent* pEvent) override;
    void changeEvent(QEvent* pEvent) override;

private slots:
    void ButtonClicked();
    void SaveCheckBoxState(int result);
    void SaveRememberState(int result);

private:
    void ValidateButtons();
    void BuildWidgets();
    QPushButton* CreateButton(int index);
    int MessageKey() const;
    // Shows rText, with break opportunities in runs too wide to wrap.
    void ShowText(const QString& rText);
    // The widest the box may be: two thirds of its screen.
    int MaximumWidth() const;

    int mIcon = 0;
    int mButtonCount = 0;
    int mButtons[3];
    int mDefaultButton = -1;
    int mEscapeButton = -1;
    int mCheckBoxMode = CheckBoxNone;
    QString mText;

    QVBoxLayout* mpMainLayout = nullptr;
    QHBoxLayout* mpContentLayout = nullptr;
    QHBoxLayout* mpButtonLayout = nullptr;
    QHBoxLayout* mpCheckBoxLayout = nullptr;
    QFrame* mpContentFrame = nullptr;
    QFrame* mpButtonFrame = nullptr;
    QFrame* mpCheckBoxFrame = nullptr;
    QLabel* mpLabel = nullptr;
    QLabel* mpIconLabel = nullptr;
    QLabel* mpSpacers[4] = {nullptr, nullptr, nullptr, nullptr};
    QLabel* mpCheckBoxLabel = nullptr;
    QPushButton* mpPushButtons[3] = {nullptr, nullptr, nullptr};
    QCheckBox* mpCheckBox = nullptr;
};

} // namespace JoxGui

#pragma once

#include <QImage>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace tandriltest {

// A display of its own under Xvfb for running the real program, with
// xdotool for the operator's mouse and keys. Stops the server when it goes.
class XvfbDisplay
{
public:
    XvfbDisplay() = default;
    ~XvfbDisplay();
    XvfbDisplay(const XvfbDisplay&) = delete;
    XvfbDisplay& operator=(const XvfbDisplay&) = delete;

    // Why the display cannot be had (Xvfb or xdotool missing); empty when it can.
    static QString MissingTools();
    // Starts Xvfb on a free display number and waits until it answers.
    bool Start();
    // ":N".
    QString Name() const { return mName; }
    // Runs xdotool on the display to its end; its standard output, trimmed.
    QString Xdotool(const QStringList& rArguments, bool* pOk = nullptr) const;
    // Clicks the left button at x, y of the window (an xdotool window id).
    void Click(const QString& rWindow, int x, int y) const;
    // The first visible window whose name matches the pattern, waiting at
    // most timeoutMs; empty when none appeared.
    QString FindWindow(const QString& rPattern, int timeoutMs) const;
    // Saves the whole screen as a PNG file; false when that failed.
    bool SaveScreen(const QString& rPath) const;
    // What the window (an xdotool window id) shows, in its own coordinates;
    // a null image when that failed.
    QImage GrabWindow(const QString& rWindow) const;
    // Waits at most timeoutMs until the window has rSize and shows more
    // than one colour: its program has laid it out and painted it.
    bool WaitForPainted(const QString& rWindow, const QSize& rSize, int timeoutMs) const;
    // Waits at most timeoutMs until the window has the keyboard focus, so
    // that keys pressed from now on reach it.
    bool WaitForFocus(const QString& rWindow, int timeoutMs) const;
    // Waits at most timeoutMs until two pictures of the screen taken a
    // moment apart are the same: what was being drawn has been drawn.
    bool WaitForSettledScreen(int timeoutMs) const;
    // Whether the image shows one colour only (nothing drawn on it).
    static bool IsUniform(const QImage& rImage);

private:
    // The lock file of the display of that number, and the process id it
    // names (-1 when there is none).
    static QString LockFile(int number);
    static qint64 LockHolder(int number);
    // The drawable's pixels; a null image when that failed.
    QImage Grab(unsigned long drawable, bool root) const;

    QProcess mServer;
    QString mName;
};

} // namespace tandriltest

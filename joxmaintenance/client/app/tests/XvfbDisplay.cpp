#include "XvfbDisplay.h"

#include "WaitFor.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QImage>
#include <QProcessEnvironment>
#include <QStandardPaths>

// Xlib's macros (None, Bool, Status...) stay in this file.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <unistd.h>

namespace tandriltest {

XvfbDisplay::~XvfbDisplay()
{
    if (mServer.state() != QProcess::NotRunning)
    {
        mServer.kill();
        mServer.waitForFinished(5000);
    }
}

QString XvfbDisplay::MissingTools()
{
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        return QStringLiteral("Xvfb or xdotool is not installed (tools/install-deps.sh installs both)");
    return QString();
}

bool XvfbDisplay::Start()
{
    // A number whose lock file is free may be taken by a display started
    // beside this one before its server locks it; the server then gives up,
    // and clients would reach the other display through its socket file. So
    // the display is this one's only once its lock file names its server.
    int number = 100 + static_cast<int>(getpid() % 800);
    for (int attempt = 0; attempt < 20; ++attempt, ++number)
    {
        while (QFile::exists(LockFile(number)))
            ++number;
        mServer.start(QStandardPaths::findExecutable(QStringLiteral("Xvfb")),
                      {QStringLiteral(":%1").arg(number), QStringLiteral("-screen"), QStringLiteral("0"),
                       QStringLiteral("1600x1000x24"), QStringLiteral("-dpi"), QStringLiteral("96"),
                       QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        const auto locked = [&] { return LockHolder(number) == mServer.processId(); };
        WaitFor([&] { return mServer.state() == QProcess::NotRunning || locked(); }, 15000);
        if (mServer.state() == QProcess::NotRunning || !locked())
        {
            mServer.kill();
            mServer.waitForFinished(5000);
            continue;
        }
        mName = QStringLiteral(":%1").arg(number);
        return WaitFor([&] {
            bool ok = false;
            Xdotool({QStringLiteral("getdisplaygeometry")}, &ok);
            return ok;
        }, 15000);
    }
    return false;
}

QString XvfbDisplay::LockFile(int number)
{
    return QStringLiteral("/tmp/.X%1-lock").arg(number);
}

qint64 XvfbDisplay::LockHolder(int number)
{
    QFile lock(LockFile(number));
    if (!lock.open(QIODevice::ReadOnly))
        return -1;
    bool ok = false;
    const qint64 pid = lock.readAll().trimmed().toLongLong(&ok);
    return ok ? pid : -1;
}

QString XvfbDisplay::Xdotool(const QStringList& rArguments, bool* pOk) const
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), mName);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral("xdotool"), rArguments);
    const bool finished = process.waitForFinished(15000);
    if (pOk)
        *pOk = finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

void XvfbDisplay::Click(const QString& rWindow, int x, int y) const
{
    Xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), rWindow, QString::number(x), QString::number(y),
             QStringLiteral("click"), QStringLiteral("1")});
}

QString XvfbDisplay::FindWindow(const QString& rPattern, int timeoutMs) const
{
    QString window;
    WaitFor([&] {
        window = Xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"), rPattern})
                     .section(QLatin1Char('\n'), 0, 0);
        return !window.isEmpty();
    }, timeoutMs);
    return window;
}

bool XvfbDisplay::SaveScreen(const QString& rPath) const
{
    const QImage image = Grab(0, true);
    return !image.isNull() && image.save(rPath, "PNG");
}

QImage XvfbDisplay::GrabWindow(const QString& rWindow) const
{
    bool ok = false;
    const unsigned long window = rWindow.toULong(&ok);
    return ok ? Grab(window, false) : QImage();
}

bool XvfbDisplay::IsUniform(const QImage& rImage)
{
    for (int y = 0; y < rImage.height(); ++y)
        for (int x = 0; x < rImage.width(); ++x)
            if (rImage.pixel(x, y) != rImage.pixel(0, 0))
                return false;
    return true;
}

bool XvfbDisplay::WaitForPainted(const QString& rWindow, const QSize& rSize, int timeoutMs) const
{
    return WaitFor([&] {
        const QImage image = GrabWindow(rWindow);
        return !image.isNull() && image.size() == rSize && !IsUniform(image);
    }, timeoutMs);
}

bool XvfbDisplay::WaitForFocus(const QString& rWindow, int timeoutMs) const
{
    return WaitFor([&] { return Xdotool({QStringLiteral("getwindowfocus")}) == rWindow; },
                   timeoutMs);
}

bool XvfbDisplay::WaitForSettledScreen(int timeoutMs) const
{
    QImage previous = Grab(0, true);
    QDeadlineTimer pause;
    return WaitFor([&] {
        // A picture a tenth of a second after the last one.
        if (!pause.hasExpired())
            return false;
        const QImage current = Grab(0, true);
        const bool settled = !current.isNull() && current == previous;
        previous = current;
        pause.setRemainingTime(100);
        return settled;
    }, timeoutMs);
}

QImage XvfbDisplay::Grab(unsigned long drawable, bool root) const
{
    Display* pDisplay = XOpenDisplay(mName.toLocal8Bit().constData());
    if (!pDisplay)
        return QImage();
    const Window window = root ? DefaultRootWindow(pDisplay) : static_cast<Window>(drawable);
    // A window gone meanwhile is an error to report, not one that ends the test.
    const XErrorHandler previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    XWindowAttributes attributes = {};
    QImage image;
    if (XGetWindowAttributes(pDisplay, window, &attributes) != 0 && attributes.map_state == IsViewable)
    {
        XImage* pImage = XGetImage(pDisplay, window, 0, 0, static_cast<unsigned>(attributes.width),
                                   static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
        if (pImage)
        {
            image = QImage(attributes.width, attributes.height, QImage::Format_RGB32);
            for (int y = 0; y < attributes.height; ++y)
                for (int x = 0; x < attributes.width; ++x)
                    image.setPixel(x, y, static_cast<QRgb>(XGetPixel(pImage, x, y)) | 0xff000000u);
            XDestroyImage(pImage);
        }
    }
    XSync(pDisplay, False);
    XSetErrorHandler(previous);
    XCloseDisplay(pDisplay);
    return image;
}

} // namespace tandriltest

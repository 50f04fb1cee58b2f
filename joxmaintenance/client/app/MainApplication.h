#pragma once

#include <QApplication>

namespace joxmaintenance {

// The application object: organisation and application names, the Harlen
// style, CommandPtr as a queued-signal type; quits when the last window
// closes.
class MainApplication : public QApplication
{
    Q_OBJECT

public:
    MainApplication(int& rArgc, char** argv);

public slots:
    // Connected to aboutToQuit(); nothing to do there.
    void SlotQuit();
};

} // namespace joxmaintenance

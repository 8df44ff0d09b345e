#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QtGlobal>

#include <algorithm>
#include <cstdlib>
#include <functional>

// The median of several timed runs of the body, in milliseconds.
inline double medianMs(int runs, const std::function<void()> &body)
{
    QList<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        body();
        times.append(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times.at(times.size() / 2);
}

// Benchmarks draw offscreen unless a platform is named; call before making
// the application.
inline void drawOffscreenByDefault()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// The number of timed runs: the first argument, 5 when there is none.
inline int runsArgument(int argc, char *argv[])
{
    return argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
}

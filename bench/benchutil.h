#pragma once

#include <QElapsedTimer>
#include <QList>

#include <algorithm>
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

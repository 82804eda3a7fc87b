#pragma once

// What every benchmark prints: one line per figure, "name: ours unit | reference: theirs unit |
// ratio x", each value the median of several runs.

#include <QElapsedTimer>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace bench {

// The median of a set of timings (the mean of the middle two for an even count); 0 for none.
inline double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

inline double timedMs(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e6;
}

inline void printFigure(const QString &name, double ours, double reference, const char *unit = "ms")
{
    std::printf("%s: %.2f %s | reference: %.2f %s | ratio %.3gx\n", qPrintable(name), ours, unit,
                reference, unit, reference > 0 ? ours / reference : 0.0);
    std::fflush(stdout);
}

// A figure whose reference could not be measured; `missing` says why.
inline void printFigureWithoutReference(const QString &name, double ours, const QString &missing,
                                        const char *unit = "ms")
{
    std::printf("%s: %.2f %s | reference: %s | ratio -\n", qPrintable(name), ours, unit,
                qPrintable(missing));
    std::fflush(stdout);
}

} // namespace bench

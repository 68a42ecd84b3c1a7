#pragma once

#include <QString>

#include <vector>

/// The timings of one operation, in milliseconds, and what they are measured against.
struct Timings
{
    QString operation;
    double targetMs = 0;
    std::vector<double> samples;
    /// Processor time of the program (user and system, all threads) over the same regions: the
    /// part of each sample that is the program's own work, not waiting for the disk or for other
    /// processes on the machine.
    std::vector<double> cpuSamples;
    /// Paint events delivered inside the timed regions, over all samples.
    long paints = 0;

    double median() const { return quantile(samples, 0.5); }
    double p10() const { return quantile(samples, 0.1); }
    double p90() const { return quantile(samples, 0.9); }
    double cpuMedian() const { return quantile(cpuSamples, 0.5); }
    double min() const;
    double max() const;
    /// Linear interpolation between the closest ranks.
    static double quantile(const std::vector<double> &values, double q);
    /// The median is below the target; the spread is reported beside it.
    bool met() const { return median() < targetMs; }
};

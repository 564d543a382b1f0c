#pragma once

#include <QList>
#include <QString>

namespace zelmora::bench {

// One line of the report: the samples of one figure (a ratio, or a
// difference in MiB), each taken side by side with its floor in one run.
struct Row {
    QString what;
    QList<double> samples;
    double target = 0;
    bool difference = false; // "+12.3 MiB" instead of "1.12x"
    bool reference = false;  // shown to explain another row; no target
    QString error;           // why the row could not be measured
    QString detail;          // what was compared, in absolute figures

    bool measured() const { return error.isEmpty() && !samples.isEmpty(); }
    double median() const;
    static double median(QList<double> values);
    bool met() const { return measured() && (reference || median() <= target); }
};

// "create six pages   1.12x (min 1.05, max 1.30)  target <= 1.3x  OK"
QString formatRow(const Row &row, int nameWidth);

} // namespace zelmora::bench

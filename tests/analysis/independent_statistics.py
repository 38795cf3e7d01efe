"""Prints the statistics of the numbers on the command line, one per line,
computed without the program: count, mean, minimum, maximum, and for two
numbers or more the sample standard deviation, the standard error of the
mean, Student's t for 95 % two-sided and the random error.

The statistics module computes exactly (in fractions) before rounding once.
Student's t is found by bisection on the distribution's closed form for an
integer number of degrees of freedom (Abramowitz and Stegun, 26.7.3 and
26.7.4), which gives the probability of |T| < t."""
import math
import statistics
import sys


def central_probability(t, dof):
    theta = math.atan(t / math.sqrt(dof))
    c2 = math.cos(theta) ** 2
    if dof % 2 == 1:
        total, term = 0.0, math.cos(theta)
        for k in range(1, (dof - 1) // 2 + 1):
            if k > 1:
                term *= c2 * (2 * k - 2) / (2 * k - 1)
            total += term
        return 2 / math.pi * (theta + math.sin(theta) * total)
    total, term = 1.0, 1.0
    for k in range(1, (dof - 2) // 2 + 1):
        term *= c2 * (2 * k - 1) / (2 * k)
        total += term
    return math.sin(theta) * total


def student_t(confidence, dof):
    low, high = 0.0, 1.0
    while central_probability(high, dof) < confidence:
        high *= 2
    for _ in range(200):
        middle = (low + high) / 2
        if central_probability(middle, dof) < confidence:
            low = middle
        else:
            high = middle
    return (low + high) / 2


def main():
    values = [float(v) for v in sys.argv[1:]]
    n = len(values)
    figures = [n, statistics.mean(values), min(values), max(values)]
    if n >= 2:
        s = statistics.stdev(values)
        sem = s / math.sqrt(n)
        t = student_t(0.95, n - 1)
        figures += [s, sem, t, t * sem]
    for figure in figures:
        print(repr(figure))


if __name__ == "__main__":
    main()

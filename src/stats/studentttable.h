#pragma once
// Two-sided 95 % critical values of Student's t (the 0.975 quantile), by
// degrees of freedom, as tabulated: four decimals, runs of equal values
// above 30 degrees of freedom. Nothing is computed from the distribution.
namespace stats {

class StudentTTable {
public:
    static constexpr int kMaxDegreesOfFreedom = 324;

    // The value for d degrees of freedom, 1 <= d <= 324. Outside that range
    // there is no value and a FloatingPointError explains why.
    static double value(int degreesOfFreedom);
};

} // namespace stats

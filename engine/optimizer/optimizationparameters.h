#pragma once

#include <iosfwd>
#include <string>

/// Objective codes of an optimization run.
enum ObjectiveCode : int { MaxStiffness = 1, MaxFrequency = 2 };

/// The parameter record of an optimization run, read from the parameters file. Values before a
/// read are the defaults; keywords that a file leaves out keep them.
struct OptimizationParameters {
    /// Longest model name kept from the file; longer names are cut.
    static constexpr std::size_t MaxModelName = 18;
    /// The iteration label has three digits, so more iterations cannot be told apart on disk.
    static constexpr int MaxIterationLimit = 999;

    std::string modelName;        ///< M, the base of every per-run file name (required)
    int objective = MaxStiffness; ///< ObjectiveCode
    int maxIterations = 0;        ///< required, 1..999
    double volumeFraction = 0.0;  ///< V*, required, 0 < V* < 1
    double evoVolRatio = 0.02;    ///< ER, required, 0 < ER < 1
    double admissionRatio = 0.02; ///< AR, 0 <= AR < 1
    double convTolerance = 0.0;   ///< tau, required, 0 < tau < 1
    double filterRadius = 0.0;    ///< R in model length units, required, R > 0
    int levelCount = 2;           ///< N, number of density levels, >= 2
    int initialLevel = 2;         ///< L0, 1..N
    double minDensity = 0.001;    ///< xmin >= 0
    double maxDensity = 1.0;      ///< xmax > 0
    double penalty = 3.0;         ///< p > 1
    double targetRemoved = 0.0;   ///< c* = 1 - V*, set after a successful read

    /// Reads parameter text from `in` into this record. Returns the complete error report (one
    /// help line per failed item) or an empty string when every item is valid; c* is set only
    /// then.
    std::string parse(std::istream& in);

    /// Reads the named parameters file. Any failed item ends the process through FatalError with
    /// the report of every failed item.
    void read(const std::string& fileName);
};

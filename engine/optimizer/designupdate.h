#pragma once

#include <span>
#include <vector>

class CMesh;
struct OptimizationParameters;

/// The density-level design: the material table of the N levels, the volume of a design, the
/// target volume of the next design, and the update that moves every design element at most one
/// level per iteration. Level l of an element is its property id; level N is full material.
class DesignUpdate {
public:
    /// Marks an element that takes no part in a threshold list (the float nearest -9e37).
    static constexpr float Sentinel = -9.0e37f;

    /// Thresholds found by the three searches of one update.
    struct Thresholds {
        float plain = 0.0f;     ///< t1: removal threshold of the plain update
        float admission = 0.0f; ///< t2: elements above it may gain material
        float removal = 0.0f;   ///< t3: removal threshold when the admission ratio limits
    };

    /// Replaces the property table of `domain` by the N level materials made from its last
    /// property record (a density of 0 counts as 7800) and sets every element to level L0.
    static void setupLevels(CMesh& domain, const OptimizationParameters& parameters);

    /// rho_l / rho_max of every level of the model's property table, indexed 0..N (entry 0
    /// unused).
    static std::vector<double> relativeDensities(const CMesh& mesh, int levelCount);

    /// Volume fraction of a design: the mean relative density of all its elements. Levels outside
    /// 1..N are a fatal error.
    static double volumeFraction(const CMesh& mesh, std::span<const double> relative);

    /// The target volume of the next design: one evolutionary step of ER from V towards V*,
    /// landing on V* once within 1.01 steps of it.
    static double nextVolume(double volume, const OptimizationParameters& parameters);

    /// Updates the levels of the design elements of `mesh` for the sensitivity numbers `alpha`.
    static Thresholds updateLevels(CMesh& mesh, std::span<const double> alpha, double volume,
                                   double nextVolume, const OptimizationParameters& parameters);

    /// The update on plain arrays: `levels` (in 1..N, changed in place), `nonDesign` (1 = level
    /// never changes), `alpha`, and `relative` densities indexed 0..N.
    static Thresholds updateLevels(std::span<int> levels, std::span<const int> nonDesign,
                                   std::span<const double> alpha, std::span<const double> relative,
                                   double volume, double nextVolume, double admissionRatio);
};

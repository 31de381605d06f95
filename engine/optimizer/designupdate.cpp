#include "designupdate.h"

#include "fatalerror.h"
#include "fea/cmesh.h"
#include "optimizationparameters.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

/// Bisection over the positions of a list sorted in descending order. `moveHigh(t)` evaluates
/// the search's measure for threshold t and says whether hi moves to mid (else lo does). Returns
/// the last threshold taken.
template <typename MoveHigh> float bisect(const std::vector<float>& list, MoveHigh moveHigh) {
    const int count = static_cast<int>(list.size());
    int lo = 0, hi = count - 1;
    int mid = (lo + hi) / 2;
    float t = list[static_cast<std::size_t>(mid)];
    while (std::abs(hi - lo) > 1) {
        if (moveHigh(t))
            hi = mid;
        else
            lo = mid;
        mid = (lo + hi) / 2;
        t = list[static_cast<std::size_t>(mid)];
    }
    return t;
}

} // namespace

void DesignUpdate::setupLevels(CMesh& domain, const OptimizationParameters& parameters) {
    if (domain.properties.empty())
        FatalError("Optimization error: the model holds no property record.");
    const CProperty last = domain.properties.back();
    const double modulus = last.youngsModulus();
    const double poisson = last.poissonRatio();
    const double density = last.density() == 0.0 ? 7800.0 : last.density();

    const int n = parameters.levelCount;
    const double xmin = parameters.minDensity, xmax = parameters.maxDensity;
    std::vector<CProperty> table(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const double x = xmin + i * (xmax - xmin) / (n - 1);
        const double rho = x * density / xmax;
        CProperty& p = table[static_cast<std::size_t>(i)];
        p.id = i + 1;
        p.constants = {std::pow(rho / density, parameters.penalty) * modulus, poisson, rho};
    }
    domain.properties = std::move(table);
    for (CElement& e : domain.elements)
        e.property = parameters.initialLevel;
}

std::vector<double> DesignUpdate::relativeDensities(const CMesh& mesh, int levelCount) {
    std::vector<double> relative(static_cast<std::size_t>(levelCount) + 1, 0.0);
    const double full = mesh.findProperty(levelCount).density();
    for (int level = 1; level <= levelCount; ++level)
        relative[static_cast<std::size_t>(level)] = mesh.findProperty(level).density() / full;
    return relative;
}

double DesignUpdate::volumeFraction(const CMesh& mesh, std::span<const double> relative) {
    const int levelCount = static_cast<int>(relative.size()) - 1;
    double sum = 0.0;
    for (const CElement& e : mesh.elements) {
        if (e.property < 1 || e.property > levelCount)
            FatalErrorF("Optimization error: element %d has density level %d outside 1 to %d.",
                        e.id, e.property, levelCount);
        sum += relative[static_cast<std::size_t>(e.property)];
    }
    return sum / static_cast<double>(mesh.elements.size());
}

double DesignUpdate::nextVolume(double volume, const OptimizationParameters& parameters) {
    const double target = parameters.volumeFraction;
    const double ratio = parameters.evoVolRatio;
    double next = volume > target ? volume * (1.0 - ratio) : volume * (1.0 + ratio);
    if (std::fabs(next - target) < 1.01 * ratio * volume)
        next = target;
    return next;
}

DesignUpdate::Thresholds DesignUpdate::updateLevels(CMesh& mesh, std::span<const double> alpha,
                                                    double volume, double nextVolume,
                                                    const OptimizationParameters& parameters) {
    const std::size_t count = mesh.elements.size();
    std::vector<int> levels(count), nonDesign(count);
    for (std::size_t e = 0; e < count; ++e) {
        levels[e] = mesh.elements[e].property;
        nonDesign[e] = mesh.elements[e].design == 1 ? 1 : 0;
    }
    const std::vector<double> relative = relativeDensities(mesh, parameters.levelCount);
    const Thresholds t = updateLevels(levels, nonDesign, alpha, relative, volume, nextVolume,
                                      parameters.admissionRatio);
    for (std::size_t e = 0; e < count; ++e)
        mesh.elements[e].property = levels[e];
    return t;
}

DesignUpdate::Thresholds DesignUpdate::updateLevels(std::span<int> levels,
                                                    std::span<const int> nonDesign,
                                                    std::span<const double> alpha,
                                                    std::span<const double> relative, double volume,
                                                    double nextVolume, double admissionRatio) {
    const std::size_t count = levels.size();
    const int top = static_cast<int>(relative.size()) - 1; // N
    Thresholds t;
    if (count == 0)
        return t;
    const double elements = static_cast<double>(count);
    const auto r = [&relative](int level) { return relative[static_cast<std::size_t>(level)]; };

    // Threshold lists in single precision, sorted in descending order.
    std::vector<float> listA(count), listB(count), listC(count);
    for (std::size_t e = 0; e < count; ++e) {
        const float a = static_cast<float>(alpha[e]);
        if (nonDesign[e]) {
            listA[e] = listB[e] = listC[e] = 0.0f;
        } else {
            listA[e] = a;
            listB[e] = levels[e] == top ? Sentinel : a;
            listC[e] = levels[e] == 1 ? Sentinel : a;
        }
    }
    for (auto* list : {&listA, &listB, &listC})
        std::sort(list->begin(), list->end(), std::greater<float>());

    // Per element, the relative density one level down and one level up (clamped), and the
    // gains of a raise and a removal, so that each evaluation is one pass of additions.
    std::vector<double> down(count), up(count), gain(count), loss(count);
    for (std::size_t e = 0; e < count; ++e) {
        const int l = levels[e];
        down[e] = r(std::max(l - 1, 1));
        up[e] = r(std::min(l + 1, top));
        gain[e] = l != top ? r(l + 1) - r(l) : 0.0;
        loss[e] = l != 1 ? r(l) - r(l - 1) : 0.0;
    }

    // Search 1: the volume after a plain update reaches the next target.
    t.plain = bisect(listA, [&](float threshold) {
        const double th = threshold;
        double measure = 0.0;
        for (std::size_t e = 0; e < count; ++e)
            measure += !nonDesign[e] && th >= alpha[e] ? down[e] : up[e];
        return measure >= nextVolume * elements;
    });
    // Search 2: the material admitted stays within the admission ratio.
    t.admission = bisect(listB, [&](float threshold) {
        const double th = threshold;
        double measure = 0.0;
        for (std::size_t e = 0; e < count; ++e)
            if (th < alpha[e])
                measure += gain[e];
        return measure >= volume * elements * admissionRatio;
    });
    // Search 3: the material removed makes up for the step and the admitted material.
    t.removal = bisect(listC, [&](float threshold) {
        const double th = threshold;
        double measure = 0.0;
        for (std::size_t e = 0; e < count; ++e)
            if (!nonDesign[e] && th >= alpha[e])
                measure += loss[e];
        return !(measure >= ((volume - nextVolume) + volume * admissionRatio) * elements);
    });

    const double t1 = t.plain, t2 = t.admission, t3 = t.removal;
    const bool plainUpdate = t.plain >= t.admission;
    for (std::size_t e = 0; e < count; ++e) {
        if (nonDesign[e])
            continue;
        const int old = levels[e];
        const double a = alpha[e];
        if (plainUpdate) {
            if (t1 >= a && old != 1)
                levels[e] = old - 1;
            if (t1 < a && old != top)
                levels[e] = old + 1;
        } else {
            if (t3 >= a && old != 1)
                levels[e] = old - 1;
            if (t2 < a && old != top)
                levels[e] = old + 1;
        }
    }
    return t;
}

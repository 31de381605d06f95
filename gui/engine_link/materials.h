#pragma once

#include <QtGlobal>

// One material of the model: Young's modulus (Pa), Poisson's ratio and density (kg/m^3).
struct Material {
    double youngsModulus = 2e11;
    double poissonsRatio = 0.3;
    double density = 7800;

    friend bool operator==(const Material&, const Material&) = default;
};

// The application-wide design and non-design materials. Design plates are written to the
// engine with the design material, non-design plates with the non-design one; the material
// dialog and the project file set them. Both start as the default triple, so a model
// written before the dialog was ever accepted gets meaningful non-design properties.
class Materials {
public:
    static Material design();
    static Material nonDesign();
    static void setDesign(const Material& material);
    static void setNonDesign(const Material& material);
    // The design material back to the default triple (a new project).
    static void resetDesign();
};

#include "engine_link/materials.h"

namespace {
Material designMaterial;
Material nonDesignMaterial;
} // namespace

Material Materials::design() {
    return designMaterial;
}

Material Materials::nonDesign() {
    return nonDesignMaterial;
}

void Materials::setDesign(const Material& material) {
    designMaterial = material;
}

void Materials::setNonDesign(const Material& material) {
    nonDesignMaterial = material;
}

void Materials::resetDesign() {
    designMaterial = Material{};
}

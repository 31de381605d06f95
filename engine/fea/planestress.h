#pragma once

#include "element.h"

class CMesh;

/// The four-node plane element (element types 1 and 2) of two-dimensional models. It adds no
/// data to CElement: it is made from a model's element table entry for one computation.
class CPlaneStress : public CElement {
public:
    CPlaneStress() = default;
    explicit CPlaneStress(const CElement& element) : CElement(element) {}
    ~CPlaneStress() override = default;
    CPlaneStress(const CPlaneStress&) = default;
    CPlaneStress(CPlaneStress&&) = default;
    CPlaneStress& operator=(const CPlaneStress&) = default;
    CPlaneStress& operator=(CPlaneStress&&) = default;
};

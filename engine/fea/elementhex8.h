#pragma once

#include "element.h"

/// The eight-node brick element (types 3 and 4). It has no formulation: no model holds a
/// brick, because the model reader refuses every brick record.
class CElementHex8 : public CElement {
public:
    CElementHex8() = default;
    explicit CElementHex8(const CElement& element) : CElement(element) {}
    ~CElementHex8() override;
    CElementHex8(const CElementHex8&) = default;
    CElementHex8(CElementHex8&&) = default;
    CElementHex8& operator=(const CElementHex8&) = default;
    CElementHex8& operator=(CElementHex8&&) = default;
};

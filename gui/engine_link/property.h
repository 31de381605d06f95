#pragma once

#include <QDialog>

#include "engine_link/materials.h"

class QDoubleSpinBox;
class QSpinBox;

// Dialog "Property": edits the design material. Young's modulus is shown as a mantissa and
// a power of ten, since the spin boxes cannot show 2e11 readably.
class Property : public QDialog {
    Q_OBJECT
public:
    explicit Property(QWidget* parent = nullptr);

    // Fills the fields from a material, the modulus split into mantissa and exponent.
    void setMaterial(const Material& material);
    Material material() const;

    // Splits a modulus so that modulus == mantissa * 10^exponent with |mantissa| <= 10.
    static void splitModulus(double modulus, double& mantissa, int& exponent);

    // Shows the dialog for the current design material; on OK the design material becomes
    // the dialog's values and the non-design material the default triple. Returns whether
    // the dialog was accepted.
    static bool editDesignMaterial(QWidget* parent);

private:
    QDoubleSpinBox* yModSpinDesign;
    QSpinBox* yModExpSpinDesign;
    QDoubleSpinBox* poissonSpinDesign;
    QDoubleSpinBox* densitySpinDesign;
};

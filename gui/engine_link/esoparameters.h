#pragma once

#include <QDialog>

class QCheckBox;
class QDoubleSpinBox;
class QSpinBox;

// Dialog "Start TOPAX": the optimization parameters asked for just before an optimization
// run. Values are shown as the user types them (per cent, metres); parametersText() turns
// them into the engine's parameters file.
class ESOParameters : public QDialog {
    Q_OBJECT
public:
    explicit ESOParameters(QWidget* parent = nullptr);

    double evolutionaryVolumeRatio() const; // per cent
    double filterRadius() const;            // metres
    double convergenceTolerance() const;    // per cent
    int maxIterations() const;
    double objectiveVolumeFraction() const; // per cent
    bool newOptimizationRun() const;

    void setFilterRadius(double metres);

    // Text of "Parameters.txt" for the current values.
    QString parametersText() const;
    static QString parametersText(double evolutionaryVolumeRatio, double filterRadius,
                                  double convergenceTolerance, int maxIterations,
                                  double objectiveVolumeFraction);

private:
    QDoubleSpinBox* eRateSpin;
    QDoubleSpinBox* filterRadiusSpin;
    QDoubleSpinBox* convergenceErrorSpin;
    QSpinBox* maxIterationSpin;
    QDoubleSpinBox* volumeFractionSpin;
    QCheckBox* NewDesigncheckBox;
};

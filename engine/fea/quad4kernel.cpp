#include "fea/quad4kernel.h"

#include <cmath>

namespace {
constexpr double Gauss[2] = {-Quad4Kernel::GaussPoint, Quad4Kernel::GaussPoint};
} // namespace

Quad4Kernel::Quad4Kernel(const std::array<double, 4>& x, const std::array<double, 4>& y,
                         double youngs, double poisson, double thickness)
    : x_(x), y_(y), thickness_(thickness) {
    const double f = youngs / (1.0 - poisson * poisson);
    d11_ = f;
    d12_ = poisson * f;
    d33_ = youngs / (2.0 * (1.0 + poisson));
    const Point c = evaluate(0.0, 0.0);
    det0_ = c.det;
    ia_ = c.j22 / c.det;
    ib_ = -c.j12 / c.det;
    ic_ = -c.j21 / c.det;
    id_ = c.j11 / c.det;
}

Quad4Kernel::Point Quad4Kernel::evaluate(double xi, double eta) const {
    Point p{};
    p.n[0] = 0.25 * (1.0 - xi) * (1.0 - eta);
    p.n[1] = 0.25 * (1.0 + xi) * (1.0 - eta);
    p.n[2] = 0.25 * (1.0 + xi) * (1.0 + eta);
    p.n[3] = 0.25 * (1.0 - xi) * (1.0 + eta);
    p.dxi[0] = -0.25 * (1.0 - eta);
    p.dxi[1] = 0.25 * (1.0 - eta);
    p.dxi[2] = 0.25 * (1.0 + eta);
    p.dxi[3] = -0.25 * (1.0 + eta);
    p.deta[0] = -0.25 * (1.0 - xi);
    p.deta[1] = -0.25 * (1.0 + xi);
    p.deta[2] = 0.25 * (1.0 + xi);
    p.deta[3] = 0.25 * (1.0 - xi);
    for (int k = 0; k < 4; ++k) {
        p.j11 += p.dxi[k] * x_[k];
        p.j12 += p.dxi[k] * y_[k];
        p.j21 += p.deta[k] * x_[k];
        p.j22 += p.deta[k] * y_[k];
    }
    p.det = p.j11 * p.j22 - p.j21 * p.j12;
    return p;
}

void Quad4Kernel::strainMatrix(const Point& p, double xi, double eta, double b[3][12]) const {
    for (int k = 0; k < 4; ++k) {
        const double dx = (p.j22 * p.dxi[k] - p.j12 * p.deta[k]) / p.det;
        const double dy = (-p.j21 * p.dxi[k] + p.j11 * p.deta[k]) / p.det;
        b[0][2 * k] = dx;
        b[0][2 * k + 1] = 0.0;
        b[1][2 * k] = 0.0;
        b[1][2 * k + 1] = dy;
        b[2][2 * k] = dy;
        b[2][2 * k + 1] = dx;
    }
    const double pp = -2.0 * xi;
    const double qq = -2.0 * eta;
    const double modes[3][4] = {{ia_ * pp, ib_ * qq, 0.0, 0.0},
                                {0.0, 0.0, ic_ * pp, id_ * qq},
                                {ic_ * pp, id_ * qq, ia_ * pp, ib_ * qq}};
    for (int r = 0; r < 3; ++r)
        for (int m = 0; m < 4; ++m)
            b[r][8 + m] = modes[r][m];
}

Quad4Kernel::Status Quad4Kernel::bilinearStiffness(Matrix8& k) const {
    k.fill(0.0);
    for (double eta : Gauss)
        for (double xi : Gauss) {
            const Point p = evaluate(xi, eta);
            if (p.det <= 0.0)
                return Status::BadJacobian;
            double b[3][12];
            strainMatrix(p, xi, eta, b);
            const double w = p.det * thickness_;
            for (int j = 0; j < 8; ++j) {
                const double db0 = d11_ * b[0][j] + d12_ * b[1][j];
                const double db1 = d12_ * b[0][j] + d11_ * b[1][j];
                const double db2 = d33_ * b[2][j];
                for (int i = 0; i < 8; ++i)
                    k[i * 8 + j] += (b[0][i] * db0 + b[1][i] * db1 + b[2][i] * db2) * w;
            }
        }
    return Status::Ok;
}

void Quad4Kernel::buildFullStiffness(Matrix12& k, double& minDet) const {
    k.fill(0.0);
    minDet = HUGE_VAL;
    for (double eta : Gauss)
        for (double xi : Gauss) {
            const Point p = evaluate(xi, eta);
            minDet = std::fmin(minDet, p.det);
            if (p.det <= 0.0)
                return;
            double b[3][12];
            strainMatrix(p, xi, eta, b);
            // Nodal block integrated with det J, every block involving the modes with det J0.
            const double wNodal = p.det * thickness_;
            const double wModes = det0_ * thickness_;
            for (int j = 0; j < 12; ++j) {
                const double db0 = d11_ * b[0][j] + d12_ * b[1][j];
                const double db1 = d12_ * b[0][j] + d11_ * b[1][j];
                const double db2 = d33_ * b[2][j];
                for (int i = 0; i < 12; ++i) {
                    const double w = (i < 8 && j < 8) ? wNodal : wModes;
                    k[i * 12 + j] += (b[0][i] * db0 + b[1][i] * db1 + b[2][i] * db2) * w;
                }
            }
        }
}

void Quad4Kernel::condense(Matrix12& k, Vector12& f) const {
    // Gauss-Jordan elimination of the modes 11, 10, 9, 8: afterwards row j (j >= 8) holds the
    // normalised equation a_j = f(j) - sum over i < j of k(j, i) * u(i), and the upper-left 8 x 8
    // block the condensed stiffness. A zero pivot leaves its mode out.
    for (int j = 11; j >= 8; --j) {
        if (k[j * 12 + j] == 0.0)
            continue;
        for (int r = 0; r < 12; ++r) {
            const double s = k[r * 12 + j] / k[j * 12 + j];
            if (r == j) {
                const double pivot = k[j * 12 + j];
                for (int c = 0; c <= j; ++c)
                    k[j * 12 + c] /= pivot;
                f[j] /= pivot;
            } else {
                for (int c = 0; c <= j; ++c)
                    k[r * 12 + c] -= k[j * 12 + c] * s;
                f[r] -= f[j] * s;
            }
        }
    }
}

Quad4Kernel::Status Quad4Kernel::incompatibleStiffness(const Vector8& up, Matrix8& k,
                                                       Vector8& load) const {
    Matrix12 full;
    double minDet = 0.0;
    buildFullStiffness(full, minDet);
    if (minDet <= 0.0)
        return Status::BadJacobian;
    Vector12 f{};
    for (int i = 0; i < 12; ++i)
        for (int j = 0; j < 8; ++j)
            f[i] -= full[i * 12 + j] * up[j];
    condense(full, f);
    for (int i = 0; i < 8; ++i) {
        for (int j = 0; j < 8; ++j)
            k[i * 8 + j] = full[i * 12 + j];
        load[i] = f[i];
    }
    return Status::Ok;
}

void Quad4Kernel::gaussStresses(const double* v, int columns, Stresses& out) const {
    int g = 0;
    for (double eta : Gauss)
        for (double xi : Gauss) {
            const Point p = evaluate(xi, eta);
            double b[3][12];
            strainMatrix(p, xi, eta, b);
            double e[3] = {0.0, 0.0, 0.0};
            for (int r = 0; r < 3; ++r)
                for (int c = 0; c < columns; ++c)
                    e[r] += b[r][c] * v[c];
            PointStress& s = out[g++];
            s.x = s.y = 0.0;
            for (int k = 0; k < 4; ++k) {
                s.x += p.n[k] * x_[k];
                s.y += p.n[k] * y_[k];
            }
            s.sxx = d11_ * e[0] + d12_ * e[1];
            s.syy = d12_ * e[0] + d11_ * e[1];
            s.sxy = d33_ * e[2];
        }
}

void Quad4Kernel::bilinearStresses(const Vector8& u, Stresses& out) const {
    gaussStresses(u.data(), 8, out);
}

Quad4Kernel::Status Quad4Kernel::incompatibleStresses(const Vector8& u, Stresses& out) const {
    Matrix12 full;
    double minDet = 0.0;
    buildFullStiffness(full, minDet);
    if (minDet <= 0.0)
        return Status::BadJacobian;
    Vector12 f{};
    condense(full, f);
    // The modes follow from the nodal displacements through the normalised rows 8..11, in order.
    Vector12 v{};
    for (int i = 0; i < 8; ++i)
        v[i] = u[i];
    for (int j = 8; j < 12; ++j) {
        double a = f[j];
        for (int c = 0; c < j; ++c)
            a -= full[j * 12 + c] * v[c];
        v[j] = a;
    }
    gaussStresses(v.data(), 12, out);
    return Status::Ok;
}

Quad4Kernel::Status Quad4Kernel::edgeLoad(int edge, int pressureType, double p, double s,
                                          Vector8& load) const {
    load.fill(0.0);
    if (pressureType < 0 || pressureType > 2)
        return Status::UnknownPressureType;
    if (edge < 1 || edge > 4)
        return Status::UnknownEdge;
    for (double g : Gauss) {
        double xi = g, eta = g, sign = 1.0;
        bool alongXi = true;
        switch (edge) {
        case 1:
            eta = -1.0;
            break;
        case 2:
            xi = 1.0;
            alongXi = false;
            break;
        case 3:
            eta = 1.0;
            sign = -1.0;
            break;
        default:
            xi = -1.0;
            alongXi = false;
            sign = -1.0;
            break;
        }
        const Point pt = evaluate(xi, eta);
        // Tangent in the counter-clockwise direction of the boundary.
        const double ax = sign * (alongXi ? pt.j11 : pt.j21);
        const double ay = sign * (alongXi ? pt.j12 : pt.j22);
        const double length = std::sqrt(ax * ax + ay * ay);
        const double nx = ay / length, ny = -ax / length;
        double qx = 0.0, qy = 0.0;
        if (pressureType == 0) {
            qx = p;
            qy = s;
        } else if (pressureType == 1) {
            qx = p * nx;
            qy = p * ny;
        } else if (edge == 1 || edge == 3) { // n x z
            qx = p * ny;
            qy = -p * nx;
        } else { // z x n
            qx = -p * ny;
            qy = p * nx;
        }
        for (int k = 0; k < 4; ++k) {
            load[2 * k] += qx * pt.n[k] * length;
            load[2 * k + 1] += qy * pt.n[k] * length;
        }
    }
    return Status::Ok;
}

Quad4Kernel::PointStress Quad4Kernel::toElementAxes(const PointStress& in) const {
    double a = (x_[2] + x_[1] - x_[0] - x_[3]) / 2.0;
    double b = (y_[2] + y_[1] - y_[0] - y_[3]) / 2.0;
    const double len = std::sqrt(a * a + b * b);
    a /= len;
    b /= len;
    const double c = -b, d = a;
    PointStress out = in;
    out.sxx = a * a * in.sxx + b * b * in.syy + 2.0 * a * b * in.sxy;
    out.syy = c * c * in.sxx + d * d * in.syy + 2.0 * c * d * in.sxy;
    out.sxy = a * c * in.sxx + b * d * in.syy + (b * c + a * d) * in.sxy;
    return out;
}

Quad4Kernel::Packed8 Quad4Kernel::pack(const Matrix8& k) {
    Packed8 p{};
    int n = 0;
    for (int i = 0; i < 8; ++i)
        for (int j = i; j < 8; ++j)
            p[n++] = k[i * 8 + j];
    return p;
}

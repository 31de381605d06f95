#pragma once

#include "fea/cmesh.h"

namespace optimtest {

/// A plane stress model of nx x ny square four-node elements of side h, node ids 1..n row by row
/// from the lower left corner, element ids 1..nE, every element active at property 1, with one
/// material (E 2e11, nu 0.3, rho 7800).
CMesh gridMesh(int nx, int ny, double h = 1.0);

} // namespace optimtest

#pragma once

#include "element.h"
#include "meshrecords.h"

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

/// Problem type codes of a model.
enum ProblemType : int {
    PlateShell2D = 1,
    PlaneStress2D = 2,
    PlaneStrain2D = 3,
    Brick3D = 4,
    General3D = 5,
};

/// Table sizes of a model, as counted by the reader or copied from another model.
struct TableCounts {
    int systems = 0;
    int nodes = 0;
    int elements = 0;
    int properties = 0;
    int constraints = 0;
    int loads = 0;
};

/// One finite element model: settings, tables, and after an analysis its equation arrays and
/// results. The model owns all its tables and arrays. Tables are sized once per read (or copy)
/// and never grow; ids are looked up by linear search in table order, first match wins.
class CMesh {
public:
    CMesh() = default;

    /// Title, at most 80 characters.
    std::string title;
    /// Model name: every per-model file is this name plus an extension.
    std::string name = "sample";
    /// Name of the model file that was read.
    std::string inputFile = "input.txt";

    /// Number of equations of the last numbering.
    int equationCount = 0;

    // ---- Equation arrays (rebuilt for every analysis, released by releaseSolverArrays) ----
    /// Diagonal addresses a[0..n_eq+1] into the stiffness storage.
    std::vector<int> diagonalAddresses;
    /// Column heights h[0..n_eq]: stored entries above the diagonal of each column.
    std::vector<int> columnHeights;
    /// Skyline stiffness storage, column by column from the diagonal upward; after the
    /// factorisation it holds D and L.
    std::vector<double> stiffness;
    /// Load vector, overwritten by the displacements of the equations.
    std::vector<double> loadVector;
    /// Mass storage of the same length as the stiffness storage (analysis type 2 only).
    std::vector<double> massStorage;
    /// Stored length n_wk of the stiffness storage.
    int storedLength = 0;
    // ---- end of equation arrays ----

    /// Sum of the element strain energies of the last analysis (the mean compliance).
    double totalStrainEnergy = 0.0;

    /// 1 static analysis; 2 also allocates the mass storage; 0 is refused by the analysis.
    int analysisType = 0;
    /// 1 to 5, see ProblemType; 0 means unset and is refused.
    int problemType = 0;

    /// Output switches 0 to 5 (result files and extra computations).
    std::array<int, 6> outputSwitches{};
    /// Print switches 0 to 12 (listings); 10 and 11 are the node and element strides.
    std::array<int, 13> printSwitches{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0};

    /// Thickness of the whole model.
    double thickness = 1.0;

    std::vector<CNode> nodes;
    std::vector<CElement> elements;
    std::vector<CConstraint> constraints;
    /// Nodal forces and pressures together, in file order.
    std::vector<CLoad> loads;
    std::vector<CProperty> properties;
    std::vector<CCoordSystem> systems;

    /// Number of records of a kind chosen by the first letter of the kind name, either case:
    /// C constraints, E elements, F loads, N nodes, P properties, S systems; otherwise 0.
    int count(std::string_view kind) const;

    /// The dimension test: false for problem types 2 and 3, true for 1, 4 and 5. Any other
    /// problem type is a fatal error.
    bool isThreeDimensional() const;
    /// Degrees of freedom per node: 3 in three-dimensional problems, 2 otherwise.
    int dofsPerNode() const { return isThreeDimensional() ? 3 : 2; }

    /// Position of the node (element) with this id, or the table size when absent. Node and
    /// element ids are unique in a model the reader accepted.
    int nodeIndex(int id) const;
    int elementIndex(int id) const;

    /// First record with this id. A missing id is a fatal error naming the kind and the id.
    const CNode& findNode(int id) const;
    CNode& findNode(int id);
    const CElement& findElement(int id) const;
    CElement& findElement(int id);
    const CProperty& findProperty(int id) const;
    const CCoordSystem& findSystem(int id) const;
    /// First constraint of the node, or nullptr when the node has none.
    const CConstraint* findConstraintOfNode(int nodeId) const;

    /// Copies the element at a table position into element, with its Gauss point setup,
    /// equation numbers and a fresh copy of its Gauss point records.
    void elementAt(int position, CElement& element) const;

    /// Sets element from the integer list id, property id, type, the node ids (as many as the
    /// type has nodes) and the design flag: node and degree-of-freedom counts from the type and
    /// the problem type, the Gauss point setup, all results 0 and zeroed Gauss point records.
    /// The active byte is left to the caller. A type outside 1 to 4 is a fatal error.
    void initElement(CElement& element, std::span<const int> values) const;

    /// Releases all tables and arrays and returns every field to its default.
    void reset();

    /// Releases the equation arrays and sets the number of equations and stored length to 0.
    void releaseSolverArrays();

    /// Replaces all tables by tables of the given sizes with every id EmptyId. Running out of
    /// memory is a fatal error.
    void allocateTables(const TableCounts& counts);

    /// Deletes the files an earlier run of this model left behind ("model.txt", the model name
    /// plus each result and work extension, "Print.txt"). Missing files are no error; the model
    /// file named by inputFile is kept.
    void deleteStaleFiles() const;

    /// Refuses, with a fatal error, a model that holds four-node elements under a problem type
    /// that has no four-node formulation (1, 4 and 5).
    void checkElementFormulation() const;

    /// Fills this (fresh or reset) model from a model file. Every error is fatal.
    void readModel(const std::string& fileName);

    // ---- Equation numbering, assembly and solution (called in this order) ----
    void numberEquations();
    void allocateEquationArrays();
    void buildProfile();
    void assembleStiffness();
    void assembleLoads();
    void factorize();
    void solve();
    void storeDisplacements();
    void computeStresses();
    void computeStrainEnergy();
    // ---- end of equation numbering, assembly and solution ----

    // ---- Binary result files (resultfiles.cpp): little-endian doubles, no header, named after
    // the model. A file that cannot be opened is skipped without a message. ----
    /// name + ".ndp", replaced: six displacement slots of every used node.
    void writeDisplacementFile() const;
    /// name + ".sgp", appended: the Gauss point records of every active element.
    void writeGaussPointFile() const;
    /// name + ".vms", appended: the mean von Mises stress of every active element.
    void writeVonMisesFile() const;
    /// name + ".sen", appended: the strain energy of every active element.
    void writeStrainEnergyFile() const;
    // ---- end of binary result files ----

    // ---- Listing file "Print.txt" (listings.cpp). The header replaces the file, every other
    // listing appends to it. Strides k >= 1 list table positions 0, k, 2k, ... ----
    void printHeader() const;
    void printTitle() const;
    void printThickness() const;
    void printEquationCount() const;
    void printSystems() const;
    void printNodes(int stride) const;
    void printElements(int stride) const;
    void printProperties() const;
    void printConstraints() const;
    void printLoads() const;
    void printDisplacements(int stride) const;
    void printVonMises(int stride) const;
    /// With elementAxes non-zero the stresses of two-dimensional models are turned into the
    /// element axes first.
    void printGaussPointStresses(int stride, int elementAxes) const;
    // ---- end of listing file ----

private:
    // Look-up caches of nodeIndex and elementIndex (id -> table position); checked on every use.
    mutable std::unordered_map<int, int> nodePositions_;
    mutable std::unordered_map<int, int> elementPositions_;
};

#include "cmesh.h"

#include "fatalerror.h"

#include <filesystem>
#include <new>
#include <unordered_map>

namespace {

// Position of the first record whose id matches, or the table size. Linear search in table
// order; the first match wins.
template <typename Record> int indexOfId(const std::vector<Record>& table, int id) {
    const int size = static_cast<int>(table.size());
    for (int i = 0; i < size; ++i)
        if (table[i].id == id)
            return i;
    return size;
}

// Node and element ids are unique (the reader refuses repeated ids) and usually run 1..n in
// table order, so the slot id - 1 is tried first. Otherwise the id's position comes from a map
// of the table that is rebuilt whenever it misses or is out of date; every hit is checked
// against the table, so edits of the table never give a wrong position.
template <typename Record>
int indexOfUniqueId(const std::vector<Record>& table, int id,
                    std::unordered_map<int, int>& positions) {
    const int size = static_cast<int>(table.size());
    if (id >= 1 && id <= size && table[id - 1].id == id)
        return id - 1;
    auto found = positions.find(id);
    if (found != positions.end() && found->second < size && table[found->second].id == id)
        return found->second;
    positions.clear();
    positions.reserve(table.size());
    for (int i = 0; i < size; ++i)
        positions.emplace(table[i].id, i);
    found = positions.find(id);
    return found == positions.end() ? size : found->second;
}

int nodesOfType(int type) {
    switch (type) {
    case Quad4Bilinear:
    case Quad4Incompatible:
        return 4;
    case Hex8Type3:
    case Hex8Type4:
        return 8;
    default:
        FatalError("General error: undefined Element.");
    }
}

} // namespace

int CMesh::count(std::string_view kind) const {
    if (kind.empty())
        return 0;
    switch (kind.front()) {
    case 'C':
    case 'c':
        return static_cast<int>(constraints.size());
    case 'E':
    case 'e':
        return static_cast<int>(elements.size());
    case 'F':
    case 'f':
        return static_cast<int>(loads.size());
    case 'N':
    case 'n':
        return static_cast<int>(nodes.size());
    case 'P':
    case 'p':
        return static_cast<int>(properties.size());
    case 'S':
    case 's':
        return static_cast<int>(systems.size());
    default:
        return 0;
    }
}

bool CMesh::isThreeDimensional() const {
    switch (problemType) {
    case PlaneStress2D:
    case PlaneStrain2D:
        return false;
    case PlateShell2D:
    case Brick3D:
    case General3D:
        return true;
    default:
        FatalError("General error: undefined problem type.");
    }
}

int CMesh::nodeIndex(int id) const {
    return indexOfUniqueId(nodes, id, nodePositions_);
}

int CMesh::elementIndex(int id) const {
    return indexOfUniqueId(elements, id, elementPositions_);
}

const CNode& CMesh::findNode(int id) const {
    const int i = nodeIndex(id);
    if (i == static_cast<int>(nodes.size()))
        FatalErrorF("General error: node %d does not exist.", id);
    return nodes[i];
}

CNode& CMesh::findNode(int id) {
    return const_cast<CNode&>(static_cast<const CMesh&>(*this).findNode(id));
}

const CElement& CMesh::findElement(int id) const {
    const int i = elementIndex(id);
    if (i == static_cast<int>(elements.size()))
        FatalErrorF("General error: element %d does not exist.", id);
    return elements[i];
}

CElement& CMesh::findElement(int id) {
    return const_cast<CElement&>(static_cast<const CMesh&>(*this).findElement(id));
}

const CProperty& CMesh::findProperty(int id) const {
    const int i = indexOfId(properties, id);
    if (i == static_cast<int>(properties.size()))
        FatalErrorF("General error: property %d does not exist.", id);
    return properties[i];
}

const CCoordSystem& CMesh::findSystem(int id) const {
    const int i = indexOfId(systems, id);
    if (i == static_cast<int>(systems.size()))
        FatalErrorF("General error: coordinate system %d does not exist.", id);
    return systems[i];
}

const CConstraint* CMesh::findConstraintOfNode(int nodeId) const {
    for (const CConstraint& constraint : constraints)
        if (constraint.node == nodeId)
            return &constraint;
    return nullptr;
}

void CMesh::elementAt(int position, CElement& element) const {
    if (position < 0 || position >= static_cast<int>(elements.size()))
        FatalErrorF("General error: element position %d outside the table of %zu elements.",
                    position, elements.size());
    element = elements[position];
    element.gaussCounts = {2, 2, nodesOfType(element.type) == 8 ? 2 : 1};
    element.gaussPoints = {-CElement::GaussCoordinate, CElement::GaussCoordinate};
    element.gaussWeights = {1.0, 1.0};
}

void CMesh::initElement(CElement& element, std::span<const int> values) const {
    if (values.size() < 3)
        FatalErrorF("General error: element list of %zu values is too short.", values.size());
    const int type = values[2];
    const int nodeCount = nodesOfType(type);
    if (values.size() < static_cast<std::size_t>(nodeCount) + 4)
        FatalErrorF("General error: element %d of type %d needs %d node ids and a design flag.",
                    values[0], type, nodeCount);
    element.id = values[0];
    element.property = values[1];
    element.type = type;
    element.nodeCount = nodeCount;
    element.dofCount = nodeCount * dofsPerNode();
    element.nodes.fill(0);
    for (int j = 0; j < nodeCount; ++j)
        element.nodes[j] = values[3 + j];
    element.design = values[3 + nodeCount];
    element.equations.fill(NoEquation);
    element.size = 0.0;
    element.gaussPoints = {-CElement::GaussCoordinate, CElement::GaussCoordinate};
    element.gaussWeights = {1.0, 1.0};
    element.gaussCounts = {2, 2, nodeCount == 8 ? 2 : 1};
    element.gaussRecords.assign(
        static_cast<std::size_t>(element.gaussCounts[0] * element.gaussCounts[1] *
                                 element.gaussCounts[2]),
        GaussPointRecord{});
    element.vonMises = 0.0;
    element.strainEnergy = 0.0;
}

void CMesh::reset() {
    *this = CMesh();
}

void CMesh::releaseSolverArrays() {
    diagonalAddresses = {};
    columnHeights = {};
    stiffness = {};
    loadVector = {};
    massStorage = {};
    equationCount = 0;
    storedLength = 0;
}

void CMesh::allocateTables(const TableCounts& counts) {
    try {
        systems.assign(static_cast<std::size_t>(counts.systems), CCoordSystem{});
        nodes.assign(static_cast<std::size_t>(counts.nodes), CNode{});
        elements.assign(static_cast<std::size_t>(counts.elements), CElement{});
        properties.assign(static_cast<std::size_t>(counts.properties), CProperty{});
        constraints.assign(static_cast<std::size_t>(counts.constraints), CConstraint{});
        loads.assign(static_cast<std::size_t>(counts.loads), CLoad{});
    } catch (const std::bad_alloc&) {
        FatalError("Memory allocation error: pointer referred to NULL memory.");
    } catch (const std::length_error&) {
        FatalError("Memory allocation error: pointer referred to NULL memory.");
    }
}

void CMesh::deleteStaleFiles() const {
    static constexpr const char* extensions[] = {
        ".cid", ".cix", ".fr1", ".ld1", ".lid", ".nid", ".nod", ".pd1", ".pid", ".plt", ".prp",
        ".sid", ".thk", ".stm", ".ttl", ".ndp", ".sgp", ".vms", ".sen", ".pop", ".oop", ".prt"};
    // The model file itself is never stale, whatever it is called ("model.txt", "Print.txt").
    auto remove = [this](const std::string& file) {
        std::error_code ignored;
        if (std::filesystem::equivalent(file, inputFile, ignored))
            return;
        std::filesystem::remove(file, ignored);
    };
    remove("model.txt");
    for (const char* extension : extensions)
        remove(name + extension);
    remove("Print.txt");
}

void CMesh::checkElementFormulation() const {
    if (elements.empty() || problemType == PlaneStress2D || problemType == PlaneStrain2D)
        return;
    FatalErrorF("Input error: problem type %d has no four-node element formulation; four-node "
                "elements need problem type 2 (plane stress) or 3 (plane strain).",
                problemType);
}

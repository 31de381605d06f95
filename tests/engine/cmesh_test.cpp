#include "fea/cmesh.h"
#include "fea/elementhex8.h"
#include "fea/planestress.h"

#include "support/scratchdir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

constexpr const char* Prefix = "TOPAX Engine Version 1\\.2 Beta: ";

void expectDefaults(const CMesh& mesh) {
    EXPECT_EQ(mesh.name, "sample");
    EXPECT_EQ(mesh.inputFile, "input.txt");
    EXPECT_EQ(mesh.title, "");
    for (const char* kind : {"constraints", "element", "force", "node", "property", "system"})
        EXPECT_EQ(mesh.count(kind), 0) << kind;
    EXPECT_EQ(mesh.problemType, 0);
    EXPECT_EQ(mesh.analysisType, 0);
    EXPECT_EQ(mesh.equationCount, 0);
    EXPECT_DOUBLE_EQ(mesh.thickness, 1.0);
    EXPECT_EQ(mesh.outputSwitches, (std::array<int, 6>{}));
    EXPECT_EQ(mesh.printSwitches, (std::array<int, 13>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0}));
    EXPECT_TRUE(mesh.stiffness.empty());
    EXPECT_TRUE(mesh.loadVector.empty());
}

// A plane stress model of two elements over six nodes, built through the table operations.
CMesh twoElementModel() {
    CMesh mesh;
    mesh.problemType = PlaneStress2D;
    mesh.allocateTables(
        {.systems = 1, .nodes = 6, .elements = 2, .properties = 2, .constraints = 1, .loads = 1});
    for (int i = 0; i < 6; ++i) {
        mesh.nodes[i].id = i + 1;
        mesh.nodes[i].x = i % 3;
        mesh.nodes[i].y = i / 3;
    }
    const int first[] = {1, 1, 2, 1, 2, 5, 4, 0};
    const int second[] = {2, 1, 2, 2, 3, 6, 5, 1};
    mesh.initElement(mesh.elements[0], first);
    mesh.initElement(mesh.elements[1], second);
    mesh.properties[0] = {.id = 1, .constants = {2e11, 0.3, 7800}};
    mesh.properties[1] = {.id = 1, .constants = {1.0, 0.0, 1.0}};
    mesh.constraints[0] = {.id = 1, .node = 4, .values = {0.0, FreeValue, 0.0}};
    return mesh;
}

TEST(CMesh, FreshModelHasTheDefaults) {
    expectDefaults(CMesh());
}

TEST(CMesh, CountSelectsTheTableByTheFirstLetterOfTheKind) {
    const CMesh mesh = twoElementModel();
    EXPECT_EQ(mesh.count("node"), 6);
    EXPECT_EQ(mesh.count("Nodes"), 6);
    EXPECT_EQ(mesh.count("element"), 2);
    EXPECT_EQ(mesh.count("property"), 2);
    EXPECT_EQ(mesh.count("constraints"), 1);
    EXPECT_EQ(mesh.count("Force"), 1);
    EXPECT_EQ(mesh.count("system"), 1);
    EXPECT_EQ(mesh.count("xyz"), 0);
    EXPECT_EQ(mesh.count(""), 0);
}

TEST(CMesh, DimensionTestByProblemType) {
    CMesh mesh;
    const std::pair<int, bool> cases[] = {{1, true}, {2, false}, {3, false}, {4, true}, {5, true}};
    for (const auto& [type, three] : cases) {
        SCOPED_TRACE(type);
        mesh.problemType = type;
        EXPECT_EQ(mesh.isThreeDimensional(), three);
    }
}

TEST(CMeshDeathTest, DimensionTestRefusesUndefinedProblemTypes) {
    for (int type : {0, 6, -2}) {
        SCOPED_TRACE(type);
        CMesh mesh;
        mesh.problemType = type;
        EXPECT_EXIT(mesh.isThreeDimensional(), testing::ExitedWithCode(1),
                    std::string(Prefix) + "General error: undefined problem type\\.\n$");
    }
}

TEST(CMesh, InitElementSetsCountsGaussPointsAndClearsResults) {
    CMesh mesh = twoElementModel();
    const CElement& element = mesh.elements[1];
    EXPECT_EQ(element.id, 2);
    EXPECT_EQ(element.property, 1);
    EXPECT_EQ(element.type, Quad4Incompatible);
    EXPECT_EQ(element.nodeCount, 4);
    EXPECT_EQ(element.dofCount, 8);
    EXPECT_EQ((std::array<int, 4>{element.nodes[0], element.nodes[1], element.nodes[2],
                                  element.nodes[3]}),
              (std::array<int, 4>{2, 3, 6, 5}));
    EXPECT_EQ(element.design, 1);
    EXPECT_EQ(element.gaussCounts, (std::array<int, 3>{2, 2, 1}));
    EXPECT_EQ(element.gaussRecords.size(), 4u);
    EXPECT_DOUBLE_EQ(element.gaussPoints[0], -0.577350269);
    EXPECT_DOUBLE_EQ(element.gaussPoints[1], 0.577350269);
    EXPECT_EQ(element.gaussWeights, (std::array<double, 2>{1.0, 1.0}));
    EXPECT_EQ(element.equations[0], NoEquation);

    // Re-initialising a used element clears its results.
    CElement reused = element;
    reused.vonMises = 5.0;
    reused.strainEnergy = 2.0;
    reused.gaussRecords[3].sxx = 9.0;
    mesh.problemType = Brick3D;
    const int brick[] = {7, 1, 3, 1, 2, 3, 4, 5, 6, 7, 8, 0};
    mesh.initElement(reused, brick);
    EXPECT_EQ(reused.nodeCount, 8);
    EXPECT_EQ(reused.dofCount, 24);
    EXPECT_EQ(reused.gaussCounts, (std::array<int, 3>{2, 2, 2}));
    EXPECT_EQ(reused.gaussRecords.size(), 8u);
    EXPECT_EQ(reused.vonMises, 0.0);
    EXPECT_EQ(reused.strainEnergy, 0.0);
    EXPECT_EQ(reused.gaussRecords[3].sxx, 0.0);
}

TEST(CMeshDeathTest, InitElementRefusesUndefinedTypes) {
    const CMesh mesh = twoElementModel();
    for (int type : {0, 5, -1}) {
        SCOPED_TRACE(type);
        CElement element;
        const int values[] = {1, 1, type, 1, 2, 3, 4, 0};
        EXPECT_EXIT(mesh.initElement(element, values), testing::ExitedWithCode(1),
                    std::string(Prefix) + "General error: undefined Element\\.\n$");
    }
}

TEST(CMesh, LookupsFindTheFirstRecordWithTheId) {
    CMesh mesh = twoElementModel();
    EXPECT_EQ(mesh.nodeIndex(5), 4);
    EXPECT_EQ(mesh.nodeIndex(99), 6);
    EXPECT_EQ(mesh.elementIndex(2), 1);
    EXPECT_EQ(mesh.elementIndex(3), 2);
    EXPECT_DOUBLE_EQ(mesh.findNode(6).x, 2.0);
    EXPECT_EQ(mesh.findElement(2).nodes[2], 6);
    EXPECT_DOUBLE_EQ(mesh.findProperty(1).youngsModulus(), 2e11);
    ASSERT_NE(mesh.findConstraintOfNode(4), nullptr);
    EXPECT_EQ(mesh.findConstraintOfNode(4)->values[1], FreeValue);
    EXPECT_EQ(mesh.findConstraintOfNode(5), nullptr);

    // Ids in any table order, not only 1..n.
    std::swap(mesh.nodes[0], mesh.nodes[5]);
    EXPECT_EQ(mesh.nodeIndex(6), 0);
    EXPECT_EQ(mesh.nodeIndex(1), 5);
    mesh.findNode(1).x = 42.0;
    EXPECT_DOUBLE_EQ(mesh.nodes[5].x, 42.0);
}

TEST(CMesh, LookupsFollowEditsOfTheIds) {
    CMesh mesh = twoElementModel();
    for (int i = 0; i < 6; ++i)
        mesh.nodes[i].id = 10 * (i + 1);
    EXPECT_EQ(mesh.nodeIndex(30), 2);
    EXPECT_EQ(mesh.nodeIndex(40), 3);
    mesh.nodes[2].id = 70;
    mesh.nodes[3].id = 30;
    EXPECT_EQ(mesh.nodeIndex(30), 3);
    EXPECT_EQ(mesh.nodeIndex(70), 2);
    EXPECT_EQ(mesh.nodeIndex(40), 6);
    mesh.elements[0].id = 5;
    EXPECT_EQ(mesh.elementIndex(5), 0);
    EXPECT_EQ(mesh.elementIndex(1), 2);
    const CMesh copy = mesh;
    EXPECT_EQ(copy.nodeIndex(70), 2);
}

TEST(CMeshDeathTest, LookupOfAMissingIdIsAFatalErrorNamingIt) {
    const CMesh mesh = twoElementModel();
    EXPECT_EXIT(mesh.findNode(77), testing::ExitedWithCode(1), "node 77 does not exist");
    EXPECT_EXIT(mesh.findElement(0), testing::ExitedWithCode(1), "element 0 does not exist");
    EXPECT_EXIT(mesh.findProperty(3), testing::ExitedWithCode(1), "property 3 does not exist");
    EXPECT_EXIT(mesh.findSystem(2), testing::ExitedWithCode(1),
                "coordinate system 2 does not exist");
}

TEST(CMesh, ElementAtCopiesTheElementWithItsOwnGaussRecords) {
    CMesh mesh = twoElementModel();
    mesh.elements[0].gaussRecords[2].sxy = 3.5;
    mesh.elements[0].vonMises = 1.25;
    mesh.elements[0].active = 1;
    CPlaneStress element;
    mesh.elementAt(0, element);
    EXPECT_EQ(element.id, 1);
    EXPECT_EQ(element.gaussCounts, (std::array<int, 3>{2, 2, 1}));
    EXPECT_EQ(element.gaussRecords[2].sxy, 3.5);
    EXPECT_EQ(element.vonMises, 1.25);
    EXPECT_EQ(element.active, 1);
    element.gaussRecords[2].sxy = 0.0;
    EXPECT_EQ(mesh.elements[0].gaussRecords[2].sxy, 3.5);

    const CElementHex8 brick(mesh.elements[1]);
    EXPECT_EQ(brick.id, 2);
}

TEST(CMesh, ResetAndReleaseSolverArrays) {
    CMesh mesh = twoElementModel();
    mesh.name = "BMesh";
    mesh.title = "t";
    mesh.printSwitches[3] = 1;
    mesh.equationCount = 3;
    mesh.storedLength = 5;
    mesh.stiffness.assign(5, 1.0);
    mesh.loadVector.assign(3, 1.0);
    mesh.columnHeights.assign(4, 1);
    mesh.diagonalAddresses.assign(5, 1);
    mesh.massStorage.assign(5, 1.0);

    mesh.releaseSolverArrays();
    EXPECT_EQ(mesh.equationCount, 0);
    EXPECT_EQ(mesh.storedLength, 0);
    EXPECT_TRUE(mesh.stiffness.empty() && mesh.loadVector.empty() && mesh.columnHeights.empty() &&
                mesh.diagonalAddresses.empty() && mesh.massStorage.empty());
    EXPECT_EQ(mesh.count("node"), 6);

    mesh.reset();
    expectDefaults(mesh);
}

TEST(CMesh, AllocatedTablesHoldEmptyIds) {
    CMesh mesh;
    mesh.allocateTables(
        {.systems = 2, .nodes = 3, .elements = 4, .properties = 1, .constraints = 2, .loads = 5});
    for (const CNode& node : mesh.nodes)
        EXPECT_EQ(node.id, EmptyId);
    for (const CElement& element : mesh.elements)
        EXPECT_EQ(element.id, EmptyId);
    EXPECT_EQ(mesh.loads[4].id, EmptyId);
    EXPECT_EQ(mesh.systems[1].id, EmptyId);
    EXPECT_EQ(mesh.nodeIndex(EmptyId), 0);
}

TEST(CMeshDeathTest, FourNodeElementsNeedAPlaneProblemType) {
    CMesh mesh = twoElementModel();
    mesh.checkElementFormulation();
    mesh.problemType = PlaneStrain2D;
    mesh.checkElementFormulation();
    for (int type : {PlateShell2D, Brick3D, General3D}) {
        SCOPED_TRACE(type);
        mesh.problemType = type;
        EXPECT_EXIT(mesh.checkElementFormulation(), testing::ExitedWithCode(1),
                    "problem type " + std::to_string(type) + " has no four-node element");
    }
    CMesh empty;
    empty.problemType = Brick3D;
    empty.checkElementFormulation();
}

TEST(CMesh, DeleteStaleFilesRemovesOnlyTheEarlierRunsFiles) {
    optimtest::ScratchDir scratch("stale");
    CMesh mesh;
    mesh.name = "BMesh";
    const char* stale[] = {"model.txt", "Print.txt", "BMesh.ndp", "BMesh.vms",
                           "BMesh.sgp", "BMesh.sen", "BMesh.cid", "BMesh.prt"};
    const char* kept[] = {"BMesh.txt", "BMesh.log", "Other.ndp", "Parameters.txt"};
    for (const char* name : stale)
        optimtest::writeFile(name, "x");
    for (const char* name : kept)
        optimtest::writeFile(name, "x");
    mesh.deleteStaleFiles();
    for (const char* name : stale)
        EXPECT_FALSE(std::filesystem::exists(name)) << name;
    for (const char* name : kept)
        EXPECT_TRUE(std::filesystem::exists(name)) << name;
}

} // namespace

#include "optimizer/snapshotwriter.h"
#include "support/gridmesh.h"
#include "support/scratchdir.h"

#include <gtest/gtest.h>

using optimtest::readFile;
using optimtest::ScratchDir;

namespace {

/// One element of a 1 x 1 grid plus a second, removed element, a force, a pressure, two
/// constraints and a polar system.
CMesh smallModel() {
    CMesh mesh = optimtest::gridMesh(1, 1, 0.5);
    mesh.name = "BMesh007";
    mesh.title = " QUAD4 User defined model ";
    mesh.nodes[2].x = 0.123456; // four decimals kept
    mesh.elements[0].property = 2;
    mesh.elements[0].design = 1;
    CElement removed = mesh.elements[0];
    removed.id = 2;
    removed.active = 0;
    mesh.elements.push_back(removed);
    mesh.loads = {CLoad{1, NodalForce, 3, 0, 0, 0, {0.0, -1000.0, 0.0}},
                  CLoad{2, Pressure, 1, 0, 1, 2, {5.5, 0.0, 0.0}}};
    mesh.constraints = {CConstraint{1, 1, {FreeValue, 0.0, 0.0}},
                        CConstraint{2, 4, {0.0, FreeValue, 0.0}}};
    mesh.properties = {CProperty{1, {200.0, 0.3, 7.8}}, CProperty{2, {2e11, 0.3, 7800.0}}};
    mesh.thickness = 0.01;
    mesh.systems = {CCoordSystem{3, Polar, 0, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 0}}};
    mesh.outputSwitches = {2, 0, 2, 1, 0, 0};
    return mesh;
}

TEST(SnapshotWriter, TwoDimensionalModelHasEveryRecordInItsFormat) {
    ScratchDir dir("snapshot-2d");
    const CMesh mesh = smallModel();
    SnapshotWriter::writeSnapshot(mesh);
    EXPECT_EQ(readFile("BMesh007.txt"),
              "*model<BMesh007, 2, 1 >\n"
              "*title< QUAD4 User defined model >\n\n"
              "*node<     1, 0,    0.0000,    0.0000, 0 >\n"
              "*node<     2, 0,    0.5000,    0.0000, 0 >\n"
              "*node<     3, 0,    0.1235,    0.5000, 0 >\n"
              "*node<     4, 0,    0.5000,    0.5000, 0 >\n\n"
              "*quad4<     1, 2, 2,     1,     2,     4,     3, 1 >\n\n"
              "*force< 1, 3, 0, 0.000000, -1000.000000 >\n"
              "*pressure< 2, 1, 0, 1, 2, 5.500000, 0.000000 >\n\n"
              "*constraint< 1, 1, free, 0.000000 >\n"
              "*constraint< 2, 4, 0.000000, free >\n\n"
              "*property< 1, 200.000000, 0.300000, 7.800000 >\n"
              "*property< 2, 200000000000.000000, 0.300000, 7800.000000 >\n\n"
              "*thickness< 0.010000 >\n\n"
              "*system< 3, 1, 0, 1.000, 0.000, 0.000, 1.000, 1.000, 1.000 >\n\n"
              "*print< 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0 >\n"
              "*output< 2, 0, 2, 1, 0, 0 >\n\n");
}

TEST(SnapshotWriter, ModelReaderReadsTheSnapshotBackEqual) {
    ScratchDir dir("snapshot-read");
    const CMesh mesh = smallModel();
    SnapshotWriter::writeSnapshot(mesh);
    CMesh read;
    ::testing::internal::CaptureStdout();
    read.readModel("BMesh007.txt");
    ::testing::internal::GetCapturedStdout();
    ASSERT_EQ(read.elements.size(), 1u); // the inactive element is not in the file
    EXPECT_EQ(read.elements[0].property, 2);
    EXPECT_EQ(read.elements[0].design, 1);
    EXPECT_EQ(read.nodes[2].x, 0.1235);
    EXPECT_EQ(read.nodes[0].constraintCode, 62); // x free, y fixed
    EXPECT_EQ(SnapshotWriter::snapshotText(read), SnapshotWriter::snapshotText(mesh));
}

TEST(SnapshotWriter, ThreeDimensionalModelWritesThirdComponentsAndNoThickness) {
    CMesh mesh = smallModel();
    mesh.problemType = Brick3D;
    mesh.nodes.resize(1);
    mesh.nodes[0].z = 2.5;
    mesh.elements.clear();
    mesh.loads.resize(1);
    mesh.constraints.resize(1);
    mesh.loads[0].values[2] = 7.0;
    const std::string text = SnapshotWriter::snapshotText(mesh);
    EXPECT_NE(text.find("*model<BMesh007, 4, 1 >\n"), std::string::npos);
    EXPECT_NE(text.find("*node<     1, 0,    0.0000,    0.0000,    2.5000, 0 >\n"),
              std::string::npos);
    EXPECT_NE(text.find("*force< 1, 3, 0, 0.000000, -1000.000000, 7.000000 >\n"),
              std::string::npos);
    EXPECT_NE(text.find("*constraint< 1, 1, free, 0.000000, 0.000000 >\n"), std::string::npos);
    EXPECT_NE(text.find("*system< 3, 1, 0,1.00,0.00,0.00,0.00,1.00,0.00,0.00,0.00,1.00,1.00,"
                        "1.00,0.00 >\n"),
              std::string::npos);
    EXPECT_EQ(text.find("*thickness"), std::string::npos);
}

TEST(SnapshotWriter, CopyMeshIsDeepAndComplete) {
    const CMesh source = smallModel();
    CMesh target = optimtest::gridMesh(3, 3);
    target.equationCount = 5;
    SnapshotWriter::copyMesh(source, target);
    EXPECT_EQ(SnapshotWriter::snapshotText(target), SnapshotWriter::snapshotText(source));
    EXPECT_EQ(target.elements[1].active, 0);
    EXPECT_EQ(target.equationCount, 0);
    target.elements[0].property = 1;
    EXPECT_EQ(source.elements[0].property, 2);
}

TEST(SnapshotWriterDeathTest, CopyRefusesTooManyNodes) {
    const CMesh source = optimtest::gridMesh(200, 100); // 201 x 101 = 20301 nodes
    CMesh target;
    EXPECT_EXIT(SnapshotWriter::copyMesh(source, target), ::testing::ExitedWithCode(1),
                "Mesh copy error: number of nodes exceeded.");
}

} // namespace

#include "fea/cmesh.h"
#include "fea/modelreader.h"

#include "support/badmodels.h"
#include "support/scratchdir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

namespace {

using optimtest::ScratchDir;
using optimtest::writeFile;

const std::string Header = "*model<plate, 2, 1 >\n";

// Reads model text from a file in the current (scratch) directory.
CMesh readText(const std::string& text) {
    writeFile("model-under-test.txt", text);
    CMesh mesh;
    mesh.readModel("model-under-test.txt");
    return mesh;
}

std::array<int, 4> nodesOf(const CElement& element) {
    return {element.nodes[0], element.nodes[1], element.nodes[2], element.nodes[3]};
}

class ModelReaderTest : public testing::Test {
protected:
    ScratchDir scratch{"reader"};
};

TEST_F(ModelReaderTest, CantileverExampleIsReadCompletely) {
    CMesh mesh;
    mesh.readModel(TOPAX_EXAMPLES_DIR "/cantilever.txt");
    EXPECT_EQ(mesh.inputFile, TOPAX_EXAMPLES_DIR "/cantilever.txt");
    EXPECT_EQ(mesh.name, "cantilever");
    EXPECT_EQ(mesh.problemType, PlaneStress2D);
    EXPECT_EQ(mesh.analysisType, 1);
    EXPECT_EQ(mesh.title, " Cantilever, 8 x 4 plane stress elements ");
    EXPECT_DOUBLE_EQ(mesh.thickness, 0.01);
    EXPECT_EQ(mesh.printSwitches, (std::array<int, 13>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0}));
    EXPECT_EQ(mesh.outputSwitches, (std::array<int, 6>{2, 0, 2, 0, 0, 0}));

    // 5 given nodes, then 5 rows of 8 generated ones; 4 given elements, then 4 rows of 7.
    ASSERT_EQ(mesh.count("node"), 45);
    ASSERT_EQ(mesh.count("element"), 32);
    EXPECT_EQ(mesh.nodes[4].id, 37);
    EXPECT_EQ(mesh.nodes[5].id, 2);
    for (const CNode& node : mesh.nodes) {
        SCOPED_TRACE(node.id);
        const int row = (node.id - 1) / 9;
        const int column = (node.id - 1) % 9;
        EXPECT_NEAR(node.x, 0.1 * column, 1e-12);
        EXPECT_NEAR(node.y, 0.1 * row, 1e-12);
        EXPECT_EQ(node.system, 0);
        EXPECT_EQ(node.constraintCode, column == 0 ? 63 : 60);
    }
    EXPECT_EQ(mesh.elements[3].id, 25);
    EXPECT_EQ(mesh.elements[4].id, 2);
    for (const CElement& element : mesh.elements) {
        SCOPED_TRACE(element.id);
        const int row = (element.id - 1) / 8;
        const int column = (element.id - 1) % 8;
        const int corner = 9 * row + column + 1;
        EXPECT_EQ(nodesOf(element),
                  (std::array<int, 4>{corner, corner + 1, corner + 10, corner + 9}));
        EXPECT_EQ(element.property, 1);
        EXPECT_EQ(element.type, Quad4Incompatible);
        EXPECT_EQ(element.dofCount, 8);
        EXPECT_EQ(element.design, 0);
        EXPECT_EQ(element.active, 1);
        EXPECT_EQ(element.gaussRecords.size(), 4u);
    }
    ASSERT_EQ(mesh.count("constraint"), 5);
    EXPECT_EQ(mesh.constraints[2].node, 19);
    EXPECT_EQ(mesh.constraints[2].values, (std::array<double, 3>{0.0, 0.0, 0.0}));
    ASSERT_EQ(mesh.count("force"), 1);
    EXPECT_EQ(mesh.loads[0].kind, NodalForce);
    EXPECT_EQ(mesh.loads[0].target, 27);
    EXPECT_EQ(mesh.loads[0].values, (std::array<double, 3>{0.0, -1000.0, 0.0}));
    EXPECT_NEAR(mesh.findNode(27).x, 0.8, 1e-12);
    EXPECT_NEAR(mesh.findNode(27).y, 0.2, 1e-12);
    ASSERT_EQ(mesh.count("property"), 1);
    EXPECT_EQ(mesh.properties[0].constants, (std::array<double, 3>{2.0e11, 0.3, 7800.0}));
}

TEST_F(ModelReaderTest, RecordOrderDoesNotMatter) {
    const std::string nodes = "*node<1,0,0,0,0>\n*node<2,0,1,0,0>\n*node<3,0,1,1,0>\n"
                              "*node<4,0,0,1,0>\n";
    const std::string rest = "*quad4<1,1,2,1,2,3,4,0>\n*property<1,1.0,0.3,1.0>\n"
                             "*force<1,3,0,0.0,-1.0>\n*constraint<1,1,0.0,0.0>\n";
    const CMesh before = readText(Header + nodes + rest);
    const CMesh after = readText(rest + nodes + Header);
    ASSERT_EQ(after.count("node"), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(after.nodes[i].id, before.nodes[i].id);
        EXPECT_EQ(after.nodes[i].x, before.nodes[i].x);
        EXPECT_EQ(after.nodes[i].y, before.nodes[i].y);
        EXPECT_EQ(after.nodes[i].constraintCode, before.nodes[i].constraintCode);
    }
    EXPECT_EQ(nodesOf(after.elements[0]), nodesOf(before.elements[0]));
    EXPECT_EQ(after.loads[0].target, 3);
    EXPECT_EQ(after.problemType, PlaneStress2D);
}

TEST_F(ModelReaderTest, LexicalRules) {
    const std::string name25 = "abcdefghijklmnopqrstuvwxy";
    const CMesh mesh = readText("Notes and banners are ignored.\n"
                                "*model<" +
                                name25 +
                                ", 3, 1 >\n"
                                "*Model<other, 2, 2 >\n"
                                "*title< QUAD4 User defined model >\n"
                                "*Title<second>\n"
                                "*Node<1, 0, 1.0, 2.0, 0>\n"
                                "*node<2,0,1.0,2.0,0>\n"
                                "*NODE<3,0,1.0,2.0,0>\n"
                                " *node<4,0,1.0,2.0,0>\n"
                                "*node<5, 0, 2.5e1 , -.5, 2.5 >\r\n"
                                "*node<6, 0, free, 1e, 0>\n"
                                "*print<0,0,0,0,0,0,0,0,0,0,0,0,0>\n"
                                "*print<1,1,1,1,1,1,1,1,1,1,1,1,1>\n");
    EXPECT_EQ(mesh.name, name25.substr(0, 18));
    EXPECT_EQ(mesh.problemType, PlaneStrain2D);
    EXPECT_EQ(mesh.analysisType, 1);
    EXPECT_EQ(mesh.title, " QUAD4 User defined model ");
    ASSERT_EQ(mesh.count("node"), 4);
    EXPECT_EQ(mesh.nodes[0].x, mesh.nodes[1].x);
    EXPECT_EQ(mesh.nodes[0].y, mesh.nodes[1].y);
    EXPECT_EQ(mesh.nodes[2].id, 5);
    EXPECT_DOUBLE_EQ(mesh.nodes[2].x, 25.0);
    EXPECT_DOUBLE_EQ(mesh.nodes[2].y, -0.5);
    EXPECT_EQ(mesh.nodes[2].displacementSystem, 2);
    EXPECT_EQ(mesh.nodes[3].x, 0.0);
    EXPECT_EQ(mesh.nodes[3].y, 1.0);
    EXPECT_EQ(mesh.printSwitches, (std::array<int, 13>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0}));
    EXPECT_DOUBLE_EQ(mesh.thickness, 1.0);
    EXPECT_EQ(mesh.outputSwitches, (std::array<int, 6>{}));
}

TEST_F(ModelReaderTest, FieldConversions) {
    bool ok = true;
    EXPECT_EQ(ModelReader::integerField("  2.5"), 2);
    EXPECT_EQ(ModelReader::integerField("-17x"), -17);
    EXPECT_EQ(ModelReader::integerField(" free"), 0);
    EXPECT_EQ(ModelReader::integerField("99999999999999"), INT_MAX);
    EXPECT_DOUBLE_EQ(ModelReader::realField(" -1.5e-3 ", ok), -1.5e-3);
    EXPECT_DOUBLE_EQ(ModelReader::realField("+.25", ok), 0.25);
    EXPECT_DOUBLE_EQ(ModelReader::realField("7.", ok), 7.0);
    EXPECT_DOUBLE_EQ(ModelReader::realField("3e", ok), 3.0);
    EXPECT_DOUBLE_EQ(ModelReader::realField("nan", ok), 0.0);
    EXPECT_DOUBLE_EQ(ModelReader::realField("inf", ok), 0.0);
    EXPECT_DOUBLE_EQ(ModelReader::realField("1,5", ok), 1.0);
    EXPECT_TRUE(ok);
    ModelReader::realField("1e999", ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(ModelReader::keywordOf("*GQuad4<"), ModelReader::Keyword::GQuad4);
    EXPECT_EQ(ModelReader::keywordOf("*gQuad4<"), ModelReader::Keyword::Unknown);
    EXPECT_EQ(ModelReader::keywordOf("*node 1"), ModelReader::Keyword::Node);
    EXPECT_EQ(ModelReader::keywordOf("node<"), ModelReader::Keyword::Unknown);
}

TEST_F(ModelReaderTest, ConstraintComponentsAndCodes) {
    const CMesh mesh = readText(Header + "*node<5,0,0,0,0>\n*node<6,0,1,0,0>\n*node<7,0,2,0,0>\n"
                                         "*node<8,0,3,0,0>\n"
                                         "*constraint< 1, 5, 0.0, free >\n"
                                         "*constraint< 2, 6, FREE, 0.25 >\n"
                                         "*constraint< 3, 7, Free, freedom >\n"
                                         "*constraint< 4, 8, free, 0 >\n"
                                         "*constraint< 5, 8, 0.5, free >\n");
    EXPECT_EQ(mesh.constraints[0].values[0], 0.0);
    EXPECT_EQ(mesh.constraints[0].values[1], FreeValue);
    EXPECT_EQ(mesh.findNode(5).constraintCode, 61);
    EXPECT_EQ(mesh.constraints[1].values[0], 0.0);
    EXPECT_EQ(mesh.constraints[1].values[1], 0.25);
    EXPECT_EQ(mesh.findNode(6).constraintCode, 63);
    EXPECT_EQ(mesh.findNode(7).constraintCode, 60);
    // A later record for the same node replaces the code.
    EXPECT_EQ(mesh.findNode(8).constraintCode, 61);
}

TEST_F(ModelReaderTest, NodesInCoordinateSystems) {
    const double pi = 3.1415926;
    const CMesh mesh = readText(Header + "*node< 7, 3, 2.0, 90.0, 0 >\n"
                                         "*node< 8, 4, 1.0, 2.0, 0 >\n"
                                         "*node< 9, 4, 1.0, 2.0, 0 >\n"
                                         "*system< 3, 1, 0, 1.0, 0.0, 0.0, 1.0, 1.0, 1.0 >\n"
                                         "*System< 4, 0, 0, 0.0, 2.0, -1.0, 0.0, 10.0, 20.0 >\n");
    EXPECT_DOUBLE_EQ(mesh.nodes[0].x, 1.0 + 2.0 * std::cos(90.0 * pi / 180.0));
    EXPECT_DOUBLE_EQ(mesh.nodes[0].y, 1.0 + 2.0 * std::sin(90.0 * pi / 180.0));
    EXPECT_NE(mesh.nodes[0].x, 1.0); // pi to eight digits leaves a trace of the cosine
    EXPECT_EQ(mesh.nodes[0].system, 0);
    // Cartesian: origin + x' * X axis + y' * Y axis, axes as given (not normalised).
    EXPECT_DOUBLE_EQ(mesh.nodes[1].x, 10.0 + 1.0 * 0.0 + 2.0 * -1.0);
    EXPECT_DOUBLE_EQ(mesh.nodes[1].y, 20.0 + 1.0 * 2.0 + 2.0 * 0.0);
    EXPECT_EQ(mesh.count("system"), 2);
    EXPECT_EQ(mesh.systems[1].type, Cartesian);
}

// Three-dimensional models hold no element the engine can analyse, but their records read with
// the third component.
TEST_F(ModelReaderTest, ThreeDimensionalRecordsCarryTheThirdComponent) {
    const CMesh mesh = readText("*model<solid, 5, 1>\n"
                                "*system<2, 1, 0, 1,0,0, 0,1,0, 0,0,1, 0,0,10>\n"
                                "*node<1, 0, 1.0, 2.0, 3.0, 0>\n"
                                "*node<2, 2, 2.0, 0.0, 4.0, 0>\n"
                                "*gnode<2, 1, 5, 0.0, 0.0, 0.5>\n"
                                "*constraint<1, 1, 0.0, 0.0, free>\n"
                                "*constraint<2, 2, free, free, 0.0>\n"
                                "*force<1, 5, 0, 1.0, 2.0, 3.0>\n");
    ASSERT_EQ(mesh.count("node"), 4);
    EXPECT_EQ(mesh.nodes[0].z, 3.0);
    EXPECT_DOUBLE_EQ(mesh.nodes[1].x, 2.0);
    EXPECT_DOUBLE_EQ(mesh.nodes[1].z, 14.0);
    EXPECT_DOUBLE_EQ(mesh.nodes[3].z, 4.0);
    EXPECT_EQ(mesh.nodes[0].constraintCode, 59);
    EXPECT_EQ(mesh.nodes[1].constraintCode, 60);
    EXPECT_EQ(mesh.nodes[2].constraintCode, 56);
    EXPECT_EQ(mesh.constraints[0].values[2], FreeValue);
    EXPECT_EQ(mesh.loads[0].values, (std::array<double, 3>{1.0, 2.0, 3.0}));
    EXPECT_EQ(mesh.systems[0].origin, (std::array<double, 3>{0.0, 0.0, 10.0}));
    EXPECT_EQ(mesh.systems[0].zAxis, (std::array<double, 3>{0.0, 0.0, 1.0}));
}

TEST_F(ModelReaderTest, LoadsInFileOrder) {
    const CMesh mesh = readText(Header + "*node<1,0,0,0,0>\n*node<2,0,1,0,0>\n*node<3,0,1,1,0>\n"
                                         "*node<4,0,0,1,0>\n*quad4<1,1,1,1,2,3,4,1>\n"
                                         "*pressure< 1, 1, 7, 1, 3, 2.5 >\n"
                                         "*force< 2, 4, 0, 1.0, -2.0 >\n"
                                         "*Pressure< 3, 1, 0, 0, 2, 1.0, 2.0 >\n"
                                         "*Force< 4, 2, 5, 3.0, 4.0 >\n");
    ASSERT_EQ(mesh.count("force"), 4);
    EXPECT_EQ(mesh.loads[0].kind, Pressure);
    EXPECT_EQ(mesh.loads[0].target, 1);
    EXPECT_EQ(mesh.loads[0].system, 7);
    EXPECT_EQ(mesh.loads[0].pressureType, 1);
    EXPECT_EQ(mesh.loads[0].edge, 3);
    EXPECT_EQ(mesh.loads[0].values, (std::array<double, 3>{2.5, 0.0, 0.0}));
    EXPECT_EQ(mesh.loads[1].kind, NodalForce);
    EXPECT_EQ(mesh.loads[1].pressureType, 0);
    EXPECT_EQ(mesh.loads[1].values, (std::array<double, 3>{1.0, -2.0, 0.0}));
    EXPECT_EQ(mesh.loads[2].values, (std::array<double, 3>{1.0, 2.0, 0.0}));
    EXPECT_EQ(mesh.loads[3].system, 5);
    EXPECT_EQ(mesh.elements[0].type, Quad4Bilinear);
    EXPECT_EQ(mesh.elements[0].design, 1);
}

TEST_F(ModelReaderTest, LongLinesAreTakenEightyCharactersAtATime) {
    const std::string filler(80, '-');
    const std::string huge(3 * 1024 * 1024, 'x');
    const CMesh mesh =
        readText(Header + filler + "*node<1,0,4.0,5.0,0>\n" + huge + "\n" + "*title<" +
                 std::string(85, 't') + ">\n" + "*node<2,0,1,1,0>" + std::string(64, ' ') +
                 "*node<3,0,2,2,0>\n" + enginetest::junk() + "\n");
    ASSERT_EQ(mesh.count("node"), 3);
    EXPECT_EQ(mesh.nodes[0].id, 1);
    EXPECT_EQ(mesh.nodes[0].x, 4.0);
    EXPECT_EQ(mesh.nodes[2].id, 3);
    EXPECT_EQ(mesh.title, std::string(80, 't'));
}

TEST_F(ModelReaderTest, ReadingDeletesTheStaleFilesOfTheModel) {
    for (const char* name : {"plate.ndp", "plate.vms", "Print.txt", "model.txt", "keep.ndp"})
        writeFile(name, "old");
    readText(Header);
    for (const char* name : {"plate.ndp", "plate.vms", "Print.txt", "model.txt"})
        EXPECT_FALSE(std::filesystem::exists(name)) << name;
    EXPECT_TRUE(std::filesystem::exists("keep.ndp"));
}

TEST_F(ModelReaderTest, TheModelFileItselfIsNeverDeletedAsStale) {
    for (const char* name : {"model.txt", "./Print.txt", "plate.prt"}) {
        SCOPED_TRACE(name);
        writeFile(name, Header + "*node<1,0,2.0,3.0,0>\n");
        CMesh mesh;
        mesh.readModel(name);
        EXPECT_TRUE(std::filesystem::exists(name));
        ASSERT_EQ(mesh.count("node"), 1);
        EXPECT_EQ(mesh.nodes[0].y, 3.0);
    }
}

TEST_F(ModelReaderTest, NodeGenerationRepeatsTheBaseNodeAlongALine) {
    const CMesh mesh = readText(Header + "*gnode<3, 1, 10, 0.5, 0.0>\n*node<1,0,0,0,4>\n"
                                         "*GNode<2, 12, 20, 0.0, -1.0>\n*gnode<0, 1, 30, 1, 1>\n");
    ASSERT_EQ(mesh.count("node"), 6);
    const int ids[] = {1, 10, 11, 12, 20, 21};
    const double xs[] = {0.0, 0.5, 1.0, 1.5, 1.5, 1.5};
    const double ys[] = {0.0, 0.0, 0.0, 0.0, -1.0, -2.0};
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(mesh.nodes[i].id, ids[i]);
        EXPECT_DOUBLE_EQ(mesh.nodes[i].x, xs[i]);
        EXPECT_DOUBLE_EQ(mesh.nodes[i].y, ys[i]);
        EXPECT_EQ(mesh.nodes[i].displacementSystem, 4);
        EXPECT_EQ(mesh.nodes[i].unused, 0);
    }
}

TEST_F(ModelReaderTest, ElementGenerationShiftsTheNodeIds) {
    std::string text = Header + "*node<1,0,0,0,0>\n*gnode<3,1,2,1,0>\n*node<11,0,0,1,0>\n"
                                "*gnode<3,11,12,1,0>\n";
    text += "*gquad4<2, 1, 2, 1, 1, 1, 1, 1>\n*quad4<1, 3, 2, 1, 2, 12, 11, 0>\n";
    const CMesh mesh = readText(text);
    ASSERT_EQ(mesh.count("element"), 3);
    EXPECT_EQ(mesh.elements[1].id, 2);
    EXPECT_EQ(nodesOf(mesh.elements[1]), (std::array<int, 4>{2, 3, 13, 12}));
    EXPECT_EQ(nodesOf(mesh.elements[2]), (std::array<int, 4>{3, 4, 14, 13}));
    EXPECT_EQ(mesh.elements[2].id, 3);
    EXPECT_EQ(mesh.elements[2].property, 3);
    EXPECT_EQ(mesh.elements[2].type, Quad4Incompatible);
    EXPECT_EQ(mesh.elements[2].design, 1);
    EXPECT_EQ(mesh.elements[2].active, 1);
    EXPECT_EQ(mesh.elements[2].gaussRecords.size(), 4u);
}

TEST_F(ModelReaderTest, BlockGenerationFillsTheRectangle) {
    const CMesh mesh = readText(Header + "*node<1,0,0,0,0>\n*node<2,0,4,0,0>\n*node<3,0,4,2,0>\n"
                                         "*node<4,0,0,2,0>\n"
                                         "*squad4<100, 1, 7, 1, 4, 2, 1, 2, 3, 4, 1>\n");
    ASSERT_EQ(mesh.count("node"), 4 + 11);
    ASSERT_EQ(mesh.count("element"), 8);
    // Lines in order: side C1-C2, side C4-C3, side C1-C4, side C2-C3, inner row.
    const int ids[] = {100, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110};
    const double xs[] = {1, 2, 3, 1, 2, 3, 0, 4, 1, 2, 3};
    const double ys[] = {0, 0, 0, 2, 2, 2, 1, 1, 1, 1, 1};
    for (int i = 0; i < 11; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(mesh.nodes[4 + i].id, ids[i]);
        EXPECT_DOUBLE_EQ(mesh.nodes[4 + i].x, xs[i]);
        EXPECT_DOUBLE_EQ(mesh.nodes[4 + i].y, ys[i]);
    }
    EXPECT_EQ(nodesOf(mesh.elements[0]), (std::array<int, 4>{1, 100, 108, 106}));
    EXPECT_EQ(nodesOf(mesh.elements[3]), (std::array<int, 4>{102, 2, 107, 110}));
    EXPECT_EQ(nodesOf(mesh.elements[7]), (std::array<int, 4>{110, 107, 3, 105}));
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(mesh.elements[i].id, 1 + i);
        EXPECT_EQ(mesh.elements[i].property, 7);
        EXPECT_EQ(mesh.elements[i].type, Quad4Bilinear);
        EXPECT_EQ(mesh.elements[i].design, 1);
        EXPECT_EQ(mesh.elements[i].active, 1);
    }
}

TEST_F(ModelReaderTest, BlockOfOneDivisionAndBlocksBesideOtherRecords) {
    const CMesh mesh = readText(Header + "*node<1,0,0,0,0>\n*node<2,0,1,0,0>\n*node<3,0,1,1,0>\n"
                                         "*node<4,0,0,1,0>\n*node<5,0,3,0,0>\n*node<6,0,3,1,0>\n"
                                         "*SQuad4<10, 1, 1, 2, 1, 1, 1, 2, 3, 4, 0>\n"
                                         "*squad4<20, 2, 1, 2, 2, 1, 2, 5, 6, 3, 0>\n"
                                         "*quad4<9, 1, 2, 1, 2, 3, 4, 0>\n");
    ASSERT_EQ(mesh.count("node"), 8);
    ASSERT_EQ(mesh.count("element"), 4);
    EXPECT_EQ(mesh.elements[0].id, 9);
    EXPECT_EQ(nodesOf(mesh.elements[1]), (std::array<int, 4>{1, 2, 3, 4}));
    EXPECT_EQ(nodesOf(mesh.elements[2]), (std::array<int, 4>{2, 20, 21, 3}));
    EXPECT_EQ(nodesOf(mesh.elements[3]), (std::array<int, 4>{20, 5, 6, 21}));
    EXPECT_DOUBLE_EQ(mesh.findNode(21).x, 2.0);
    EXPECT_DOUBLE_EQ(mesh.findNode(21).y, 1.0);
}

TEST_F(ModelReaderTest, SkewedBlockPutsTheNodesOnItsSides) {
    const CMesh mesh = readText(Header + "*node<1,0,0,0,0>\n*node<2,0,4,1,0>\n*node<3,0,5,3,0>\n"
                                         "*node<4,0,1,2,0>\n"
                                         "*squad4<10, 1, 1, 2, 2, 2, 1, 2, 3, 4, 0>\n");
    // Midpoints of C1-C2, C4-C3, C1-C4, C2-C3, then the middle of the inner row.
    const double xs[] = {2.0, 3.0, 0.5, 4.5, 2.5};
    const double ys[] = {0.5, 2.5, 1.0, 2.0, 1.5};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_DOUBLE_EQ(mesh.nodes[4 + i].x, xs[i]);
        EXPECT_DOUBLE_EQ(mesh.nodes[4 + i].y, ys[i]);
    }
}

class ModelReaderDeathTest : public testing::TestWithParam<enginetest::BadModel> {
protected:
    ScratchDir scratch{"badmodel"};
};

TEST_P(ModelReaderDeathTest, RefusedWithOneMessage) {
    const enginetest::BadModel& bad = GetParam();
    writeFile("bad.txt", bad.text);
    EXPECT_EXIT(
        {
            CMesh mesh;
            mesh.readModel("bad.txt");
        },
        testing::ExitedWithCode(1),
        std::string("^TOPAX Engine Version 1\\.2 Beta: [^\n]*") + bad.message + "[^\n]*\n$");
}

INSTANTIATE_TEST_SUITE_P(BadModels, ModelReaderDeathTest,
                         testing::ValuesIn(enginetest::badModels()),
                         [](const testing::TestParamInfo<enginetest::BadModel>& info) {
                             return std::string(info.param.name);
                         });

TEST(ModelReaderMissingFileDeathTest, MissingFileOrDirectory) {
    ScratchDir scratch("missingmodel");
    std::filesystem::create_directory("folder.txt");
    for (const char* name : {"absent.txt", "folder.txt"}) {
        SCOPED_TRACE(name);
        EXPECT_EXIT(
            {
                CMesh mesh;
                mesh.readModel(name);
            },
            testing::ExitedWithCode(1),
            std::string("^TOPAX Engine Version 1\\.2 Beta: Input error: input file ") + name +
                " does not exist\\.\n$");
    }
}

} // namespace

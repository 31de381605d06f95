#include "badmodels.h"

#include <ostream>

namespace enginetest {

namespace {

const std::string Header = "*model<plate, 2, 1 >\n";

// A valid plane stress model of one element with extra lines appended.
std::string quadModel(const std::string& extra) {
    return Header +
           "*node<1,0,0,0,0>\n*node<2,0,1,0,0>\n*node<3,0,1,1,0>\n*node<4,0,0,1,0>\n"
           "*quad4<1,1,2,1,2,3,4,0>\n*property<1,1.0,0.3,1.0>\n" +
           extra;
}

} // namespace

std::string junk() {
    std::string bytes;
    unsigned state = 12345;
    for (int i = 0; i < 20000; ++i) {
        state = state * 1103515245u + 12345u;
        bytes.push_back(static_cast<char>(state >> 16));
    }
    return bytes;
}

const std::vector<BadModel>& badModels() {
    static const std::vector<BadModel> table = {
        {"EmptyFile", "", "Input error: problem type is zero\\."},
        {"NoModelRecord", "*node<1,0,0,0,0>\n", "Input error: problem type is zero\\."},
        {"BinaryJunk", junk(), "Input error: "},
        {"ProblemTypeZero", "*model<m, 0, 1>\n", "Input error: problem type is zero\\."},
        {"UndefinedProblemType", "*model<m, 9, 1>\n", "General error: undefined problem type\\."},
        {"ModelRecordTooShort", "*model<m>\n", "line 1: record has 1 fields where 3 are needed"},
        {"ModelNameWithSlash", "*model<../m, 2, 1>\n", "model name \"\\.\\./m\" is not a plain"},
        {"TruncatedRecord", quadModel("*node<5, 0, 1.0"), "line 8: record is not closed by '>'"},
        {"MissingFields", quadModel("*node<5,0,1.0>\n"), "line 8: record has 3 fields where 5"},
        {"MissingBracket", quadModel("*node 5,0,1,1,0>\n"), "line 8: '<' must follow the keyword"},
        {"MegabyteRecord", quadModel("*node<5," + std::string(2 << 20, '1') + ">\n"),
         "line 8: record is not closed by '>' within 80"},
        {"Hex8", quadModel("*hex8<2,1,3,1,2,3,4,5,6,7,8,0>\n"),
         "Input error: TOPAX Engine dimension mismatched\\."},
        {"GHex8", quadModel("*GHex8<>\n"), "Input error: TOPAX Engine dimension mismatched\\."},
        {"SHex8", quadModel("*shex8<1>\n"), "Input error: TOPAX Engine dimension mismatched\\."},
        {"Quad4OfBrickType", quadModel("*quad4<2,1,3,1,2,3,4,0>\n"),
         "Input error: TOPAX Engine dimension mismatched\\."},
        {"UndefinedElementType", quadModel("*quad4<2,1,7,1,2,3,4,0>\n"),
         "General error: undefined Element\\."},
        {"UnknownPressureType", quadModel("*pressure<1,1,0,3,1,1.0>\n"),
         "Input error: unknown pressure type\\."},
        {"PressureOnEdgeFive", quadModel("*pressure<1,1,0,1,5,1.0>\n"), "pressure 1 is on edge 5"},
        {"NegativeNodeCount", quadModel("*gnode<-5,1,10,1.0,0.0>\n"),
         "negative generation count -5"},
        {"NegativeElementCount", quadModel("*gquad4<-1,1,10,1,1,1,1,0>\n"),
         "negative generation count -1"},
        {"TooManyGeneratedNodes", quadModel("*gnode<19997,1,10,1.0,0.0>\n"),
         "Input error: number of nodes exceeded\\."},
        {"NodeLimitAfterAllCounts",
         quadModel("*gnode<10000,1,10,1.0,0.0>\n*gnode<10000,1,20010,1.0,0.0>\n"),
         "Input error: number of nodes exceeded\\."},
        {"HugeCountDoesNotWrap",
         quadModel("*gnode<2147483647,1,10,1,0>\n*gnode<2147483647,1,1,1,0>\n"),
         "Input error: number of nodes exceeded\\."},
        {"AbsurdElementCount", quadModel("*gquad4<2000000000,1,2,0,0,0,0,0>\n"),
         "number of elements exceeded"},
        {"BlockWithoutDivisions", quadModel("*squad4<10,10,1,2,0,3,1,2,3,4,0>\n"),
         "\\*squad4 divisions 0 x 3"},
        {"BlockBeyondNodeLimit", quadModel("*squad4<10,10,1,2,200,200,1,2,3,4,0>\n"),
         "Input error: number of nodes exceeded\\."},
        {"ElementWithMissingNode", quadModel("*quad4<2,1,2,1,2,3,9,0>\n"),
         "element 2 refers to missing node 9\\."},
        {"GeneratedElementWithMissingNode", quadModel("*gquad4<1,1,2,1,1,1,1,0>\n"),
         "element 2 refers to missing node 5\\."},
        {"ConstraintOnMissingNode", quadModel("*constraint<3,9,0.0,free>\n"),
         "constraint 3 refers to missing node 9\\."},
        {"ForceOnMissingNode", quadModel("*force<4,12,0,1.0,0.0>\n"),
         "force 4 refers to missing node 12\\."},
        {"PressureOnMissingElement", quadModel("*pressure<5,8,0,1,1,1.0>\n"),
         "pressure 5 refers to missing element 8\\."},
        {"NodeGenerationFromMissingBase", quadModel("*gnode<2,7,10,1.0,0.0>\n"),
         "\\*gnode record in line 8 refers to missing base node 7\\."},
        {"ElementGenerationFromMissingBase", quadModel("*gquad4<2,7,10,1,1,1,1,0>\n"),
         "\\*gquad4 record in line 8 refers to missing base element 7\\."},
        {"BlockWithMissingCorner", quadModel("*squad4<10,10,1,2,2,2,1,2,3,40,0>\n"),
         "\\*squad4 record in line 8 refers to missing corner node 40\\."},
        {"NodeInMissingSystem", quadModel("*node<5,3,1.0,1.0,0>\n"),
         "node 5 refers to missing coordinate system 3\\."},
        {"SystemOfUnknownType", quadModel("*system<1,2,0,1,0,0,1,0,0>\n"),
         "coordinate system 1 has type 2"},
        {"RepeatedNodeId", quadModel("*node<3,0,5,5,0>\n"), "node 3 is defined more than once"},
        {"RepeatedElementId", quadModel("*quad4<1,1,2,1,2,3,4,0>\n"),
         "element 1 is defined more than once"},
        {"ReservedId", quadModel("*node<-999999,0,5,5,0>\n"), "id -999999 is out of range"},
        {"GeneratedIdsOverflow", quadModel("*gnode<2,1,2147483647,1,0>\n"),
         "id 2147483648 is out of range"},
        {"GeneratedNodeIdsOutOfRange", quadModel("*gquad4<2,1,2,2000000000,1,1,1,0>\n"),
         "id 4000000001 is out of range"},
        {"ElementGenerationNearIntLimits",
         quadModel("*quad4<2,1,2,-2000000000,2,3,4,0>\n*gquad4<2,2,3,2000000000,0,0,0,0>\n"),
         "element 2 refers to missing node -2000000000\\."},
        {"NumberOutOfRange", quadModel("*node<5,0,1e999,0,0>\n"), "line 8: number out of range"},
        {"FourNodeElementsIn3D", "*model<m, 4, 1>\n*quad4<1,1,2,1,2,3,4,0>\n",
         "problem type 4 has no four-node element formulation"},
        {"FourNodeElementsInPlateModel", "*model<m, 1, 1>\n*squad4<1,1,1,2,1,1,1,2,3,4,0>\n",
         "problem type 1 has no four-node element formulation"},
    };
    return table;
}

void PrintTo(const BadModel& bad, std::ostream* out) {
    *out << bad.name;
}

} // namespace enginetest

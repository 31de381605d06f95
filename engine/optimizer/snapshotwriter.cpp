#include "snapshotwriter.h"

#include "fatalerror.h"
#include "fea/cmesh.h"

#include <cstdarg>
#include <cstdio>
#include <fstream>
#include <new>

namespace {

/// Appends printf-style text to `out`.
__attribute__((format(printf, 2, 3))) void append(std::string& out, const char* format, ...) {
    char buffer[512];
    va_list args;
    va_start(args, format);
    const int length = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (length < 0)
        return;
    if (static_cast<std::size_t>(length) < sizeof buffer) {
        out.append(buffer, static_cast<std::size_t>(length));
        return;
    }
    // Huge numbers in %f fields do not fit the buffer: format again at full length.
    std::string large(static_cast<std::size_t>(length) + 1, '\0');
    va_start(args, format);
    std::vsnprintf(large.data(), large.size(), format, args);
    va_end(args);
    large.pop_back();
    out += large;
}

} // namespace

std::string SnapshotWriter::snapshotText(const CMesh& mesh) {
    const bool threeD = mesh.isThreeDimensional();
    std::string out;
    out.reserve(128 * (mesh.nodes.size() + mesh.elements.size()) + 1024);

    append(out, "*model<%s%s%2d%s%2d%s", mesh.name.c_str(), ",", mesh.problemType, ",",
           mesh.analysisType, " >\n");
    append(out, "*title<%s>\n", mesh.title.c_str());
    out += "\n";

    for (const CNode& n : mesh.nodes) {
        append(out, "*node<%6d%s%2d%s%10.4f%s%10.4f%s", n.id, ",", n.system, ",", n.x, ",", n.y,
               ",");
        if (threeD)
            append(out, "%10.4f%s", n.z, ",");
        append(out, "%2d%s", n.displacementSystem, " >\n");
    }
    out += "\n";

    for (const CElement& e : mesh.elements) {
        if (!e.active)
            continue;
        out += e.type == Hex8Type3 || e.type == Hex8Type4 ? "*hex8<" : "*quad4<";
        append(out, "%6d%s%2d%s%2d%s", e.id, ",", e.property, ",", e.type, ",");
        for (int i = 0; i < e.nodeCount; ++i)
            append(out, "%6d%s", e.nodes[static_cast<std::size_t>(i)], ",");
        append(out, " %d%s", e.design, " >\n");
    }
    out += "\n";

    for (const CLoad& l : mesh.loads) {
        if (l.kind == NodalForce) {
            append(out, "*force< %d%s %d%s %d%s %f%s %f", l.id, ",", l.target, ",", l.system, ",",
                   l.values[0], ",", l.values[1]);
        } else {
            append(out, "*pressure< %d%s %d%s %d%s %d%s %d%s %f%s %f", l.id, ",", l.target, ",",
                   l.system, ",", l.pressureType, ",", l.edge, ",", l.values[0], ",", l.values[1]);
        }
        if (threeD)
            append(out, "%s %f", ",", l.values[2]);
        out += " >\n";
    }
    out += "\n";

    for (const CConstraint& c : mesh.constraints) {
        append(out, "*constraint< %d%s %d%s", c.id, ",", c.node, ",");
        if (c.values[0] == FreeValue)
            out += " free,";
        else
            append(out, " %f%s", c.values[0], ",");
        if (c.values[1] == FreeValue)
            out += " free";
        else
            append(out, " %f", c.values[1]);
        if (threeD) {
            if (c.values[2] == FreeValue)
                out += ", free";
            else
                append(out, "%s%f", ", ", c.values[2]);
        }
        out += " >\n";
    }
    out += "\n";

    for (const CProperty& p : mesh.properties)
        append(out, "*property< %d%s %f%s %f%s %f%s", p.id, ",", p.constants[0], ",",
               p.constants[1], ",", p.constants[2], " >\n");
    out += "\n";

    if (mesh.problemType == PlateShell2D || mesh.problemType == PlaneStress2D)
        append(out, "*thickness< %f >\n", mesh.thickness);
    out += "\n";

    for (const CCoordSystem& s : mesh.systems) {
        append(out, "*system< %d%s %d%s %d%s", s.id, ",", s.type, ",", s.reference, ",");
        if (threeD) {
            const std::array<double, 3>* vectors[] = {&s.xAxis, &s.yAxis, &s.zAxis, &s.origin};
            for (std::size_t v = 0; v < 4; ++v)
                for (std::size_t i = 0; i < 3; ++i)
                    append(out, "%4.2f%s", (*vectors[v])[i], v == 3 && i == 2 ? " >\n" : ",");
        } else {
            const std::array<double, 3>* vectors[] = {&s.xAxis, &s.yAxis, &s.origin};
            for (std::size_t v = 0; v < 3; ++v)
                for (std::size_t i = 0; i < 2; ++i)
                    append(out, "%6.3f%s", (*vectors[v])[i], v == 2 && i == 1 ? " >\n" : ",");
        }
    }
    out += "\n";

    out += "*print<";
    for (std::size_t i = 0; i < mesh.printSwitches.size(); ++i)
        append(out, " %d%s", mesh.printSwitches[i],
               i + 1 < mesh.printSwitches.size() ? "," : " >\n");
    out += "*output<";
    for (std::size_t i = 0; i < mesh.outputSwitches.size(); ++i)
        append(out, " %d%s", mesh.outputSwitches[i],
               i + 1 < mesh.outputSwitches.size() ? "," : " >\n");
    out += "\n";
    return out;
}

void SnapshotWriter::writeSnapshot(const CMesh& mesh) {
    const std::string text = snapshotText(mesh);
    std::ofstream file(mesh.name + ".txt", std::ios::out | std::ios::trunc | std::ios::binary);
    file << text;
}

void SnapshotWriter::copyMesh(const CMesh& source, CMesh& target) {
    target.reset();
    if (source.nodes.size() > static_cast<std::size_t>(MaxNodes))
        FatalError("Mesh copy error: number of nodes exceeded.");
    try {
        target.title = source.title;
        target.name = source.name;
        target.inputFile = source.inputFile;
        target.totalStrainEnergy = source.totalStrainEnergy;
        target.problemType = source.problemType;
        target.analysisType = source.analysisType;
        target.thickness = source.thickness;
        target.outputSwitches = source.outputSwitches;
        target.printSwitches = source.printSwitches;
        target.nodes = source.nodes;
        target.elements = source.elements;
        target.constraints = source.constraints;
        target.loads = source.loads;
        target.properties = source.properties;
        target.systems = source.systems;
    } catch (const std::bad_alloc&) {
        FatalError("Memory allocation error: pointer referred to NULL memory.");
    }
}

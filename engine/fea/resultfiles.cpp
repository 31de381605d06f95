// Binary result files of an analysis: plain sequences of little-endian IEEE 754 doubles.
#include "fea/cmesh.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <vector>

namespace {

// Collects doubles as little-endian bytes and writes them in one go.
class DoubleWriter {
public:
    void add(double value) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        for (int b = 0; b < 8; ++b)
            bytes_.push_back(static_cast<char>((bits >> (8 * b)) & 0xff));
    }
    void write(const std::string& fileName, std::ios::openmode mode) const {
        std::ofstream out(fileName, std::ios::binary | mode);
        if (out)
            out.write(bytes_.data(), static_cast<std::streamsize>(bytes_.size()));
    }

private:
    std::vector<char> bytes_;
};

} // namespace

void CMesh::writeDisplacementFile() const {
    DoubleWriter w;
    for (const CNode& node : nodes)
        if (!node.unused)
            for (double d : node.displacements)
                w.add(d);
    w.write(name + ".ndp", std::ios::trunc);
}

void CMesh::writeGaussPointFile() const {
    DoubleWriter w;
    for (const CElement& element : elements)
        if (element.isActive())
            for (const GaussPointRecord& r : element.gaussRecords)
                for (double d : {r.x, r.y, r.z, r.sxx, r.syy, r.szz, r.sxy, r.syz, r.szx})
                    w.add(d);
    w.write(name + ".sgp", std::ios::app);
}

void CMesh::writeVonMisesFile() const {
    DoubleWriter w;
    for (const CElement& element : elements)
        if (element.isActive())
            w.add(element.vonMises);
    w.write(name + ".vms", std::ios::app);
}

void CMesh::writeStrainEnergyFile() const {
    DoubleWriter w;
    for (const CElement& element : elements)
        if (element.isActive())
            w.add(element.strainEnergy);
    w.write(name + ".sen", std::ios::app);
}

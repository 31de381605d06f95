#include "modelreader.h"

#include "fatalerror.h"
#include "meshgenerator.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

constexpr std::size_t LineLength = 80;
constexpr std::size_t ModelNameLength = 18;
constexpr std::size_t TitleLength = 80;
constexpr double Pi = 3.1415926;
// Far more records than a model within the node and element limits holds; bounds the memory a
// huge file can take before the counting pass refuses it.
constexpr std::size_t MaxRecords = 1000000;

struct KeywordName {
    const char* lower;
    const char* capitalised;
    ModelReader::Keyword keyword;
};

constexpr KeywordName keywordNames[] = {
    {"model", "Model", ModelReader::Keyword::Model},
    {"title", "Title", ModelReader::Keyword::Title},
    {"system", "System", ModelReader::Keyword::System},
    {"node", "Node", ModelReader::Keyword::Node},
    {"gnode", "GNode", ModelReader::Keyword::GNode},
    {"quad4", "Quad4", ModelReader::Keyword::Quad4},
    {"hex8", "Hex8", ModelReader::Keyword::Hex8},
    {"gquad4", "GQuad4", ModelReader::Keyword::GQuad4},
    {"ghex8", "GHex8", ModelReader::Keyword::GHex8},
    {"squad4", "SQuad4", ModelReader::Keyword::SQuad4},
    {"shex8", "SHex8", ModelReader::Keyword::SHex8},
    {"property", "Property", ModelReader::Keyword::Property},
    {"constraint", "Constraint", ModelReader::Keyword::Constraint},
    {"force", "Force", ModelReader::Keyword::Force},
    {"pressure", "Pressure", ModelReader::Keyword::Pressure},
    {"thickness", "Thickness", ModelReader::Keyword::Thickness},
    {"print", "Print", ModelReader::Keyword::Print},
    {"output", "Output", ModelReader::Keyword::Output},
};

std::string_view keywordText(std::string_view line) {
    const std::size_t end = line.find_first_of("< ", 1);
    return line.substr(1, end == std::string_view::npos ? line.size() - 1 : end - 1);
}

// Record text as it may appear in a one-line message: control and non-ASCII bytes become '?'.
std::string printable(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7f)
            c = '?';
    return result;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isFreeText(std::string_view field) {
    return field.find("free") != std::string_view::npos ||
           field.find("Free") != std::string_view::npos;
}

bool isPlainFileName(std::string_view name) {
    if (name.empty())
        return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        return c == '/' || static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
    });
}

} // namespace

ModelReader::ModelReader(CMesh& mesh) : mesh_(mesh) {}

ModelReader::Keyword ModelReader::keywordOf(std::string_view line) {
    if (line.empty() || line.front() != '*')
        return Keyword::Unknown;
    const std::string_view text = keywordText(line);
    for (const KeywordName& name : keywordNames)
        if (text == name.lower || text == name.capitalised)
            return name.keyword;
    return Keyword::Unknown;
}

int ModelReader::integerField(std::string_view field) {
    std::size_t i = 0;
    while (i < field.size() && isBlank(field[i]))
        ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == '+' || field[i] == '-'))
        negative = field[i++] == '-';
    long long value = 0;
    for (; i < field.size() && isDigit(field[i]); ++i)
        value = std::min<long long>(value * 10 + (field[i] - '0'), 1LL << 40);
    value = negative ? -value : value;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

double ModelReader::realField(std::string_view field, bool& ok) {
    ok = true;
    std::size_t i = 0;
    while (i < field.size() && isBlank(field[i]))
        ++i;
    const std::size_t start = i;
    if (i < field.size() && (field[i] == '+' || field[i] == '-'))
        ++i;
    std::size_t digits = 0;
    for (; i < field.size() && isDigit(field[i]); ++i)
        ++digits;
    if (i < field.size() && field[i] == '.')
        for (++i; i < field.size() && isDigit(field[i]); ++i)
            ++digits;
    if (digits == 0)
        return 0.0;
    if (i < field.size() && (field[i] == 'e' || field[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < field.size() && (field[j] == '+' || field[j] == '-'))
            ++j;
        if (j < field.size() && isDigit(field[j])) {
            while (j < field.size() && isDigit(field[j]))
                ++j;
            i = j;
        }
    }
    const std::string number(field.substr(start, i - start));
    const double value = std::strtod(number.c_str(), nullptr);
    ok = std::isfinite(value);
    return value;
}

void ModelReader::loadRecords(const std::string& fileName) {
    std::ifstream file(fileName, std::ios::binary);
    if (!file)
        FatalErrorF("Input error: input file %s cannot be read.", printable(fileName).c_str());
    std::string line;
    int lineNumber = 0;
    while (std::getline(file, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        // A file line is taken 80 characters at a time; each piece is a line of its own.
        for (std::size_t offset = 0; offset < line.size(); offset += LineLength) {
            if (line[offset] != '*')
                continue;
            Record record;
            record.line = lineNumber;
            record.text = line.substr(offset, LineLength);
            record.keyword = keywordOf(record.text);
            if (record.keyword == Keyword::Unknown)
                continue;
            if (record.keyword == Keyword::Title)
                record.extended = line.substr(offset, 2 * LineLength);
            if (records_.size() == MaxRecords)
                FatalErrorF("Input error: input file %s holds more than %zu records.",
                            printable(fileName).c_str(), MaxRecords);
            records_.push_back(std::move(record));
        }
    }
    if (file.bad())
        FatalErrorF("Input error: input file %s cannot be read.", printable(fileName).c_str());
}

const ModelReader::Record* ModelReader::first(Keyword keyword) const {
    for (const Record& record : records_)
        if (record.keyword == keyword)
            return &record;
    return nullptr;
}

std::vector<std::string_view> ModelReader::fields(const Record& record, int required) const {
    const std::string_view text = record.text;
    const std::size_t open = 1 + keywordText(text).size();
    if (open >= text.size() || text[open] != '<')
        FatalErrorF("Input error: line %d: '<' must follow the keyword: %s", record.line,
                    printable(text).c_str());
    const std::size_t close = text.find('>', open + 1);
    if (close == std::string_view::npos)
        FatalErrorF("Input error: line %d: record is not closed by '>' within 80 characters: %s",
                    record.line, printable(text).c_str());
    std::vector<std::string_view> result;
    std::size_t begin = open + 1;
    while (true) {
        const std::size_t comma = text.find(',', begin);
        if (comma == std::string_view::npos || comma > close) {
            result.push_back(text.substr(begin, close - begin));
            break;
        }
        result.push_back(text.substr(begin, comma - begin));
        begin = comma + 1;
    }
    if (static_cast<int>(result.size()) < required)
        FatalErrorF("Input error: line %d: record has %zu fields where %d are needed: %s",
                    record.line, result.size(), required, printable(text).c_str());
    return result;
}

double ModelReader::real(const Record& record, std::string_view field) const {
    bool ok = true;
    const double value = realField(field, ok);
    if (!ok)
        FatalErrorF("Input error: line %d: number out of range: %s", record.line,
                    printable(record.text).c_str());
    return value;
}

void ModelReader::checkIdRange(const Record& record, long long first, long long count) const {
    if (count <= 0)
        return;
    checkedId(record, first);
    checkedId(record, first + count - 1);
    if (first <= EmptyId && first + count - 1 >= EmptyId)
        checkedId(record, EmptyId);
}

int ModelReader::checkedId(const Record& record, long long id) const {
    if (id < INT_MIN || id > INT_MAX || id == EmptyId)
        FatalErrorF("Input error: line %d: id %lld is out of range: %s", record.line, id,
                    printable(record.text).c_str());
    return static_cast<int>(id);
}

void ModelReader::read(const std::string& fileName) {
    std::printf("Reading input file... ");
    std::fflush(stdout);
    std::error_code error;
    if (!std::filesystem::is_regular_file(fileName, error))
        FatalErrorF("Input error: input file %s does not exist.", printable(fileName).c_str());
    mesh_.inputFile = fileName;
    loadRecords(fileName);

    readModelRecord();
    mesh_.deleteStaleFiles();
    readTitle();
    countRecords();
    readSystems();
    readNodes();
    generateNodes();
    readElements();
    generateElements();
    generateBlocks();
    readProperties();
    readConstraints();
    readLoads();
    readSingleValues();
    checkReferences();
    std::printf("Done.\n");
}

void ModelReader::readModelRecord() {
    if (const Record* record = first(Keyword::Model)) {
        const auto f = fields(*record, 3);
        mesh_.name = std::string(f[0].substr(0, ModelNameLength));
        mesh_.problemType = integerField(f[1]);
        mesh_.analysisType = integerField(f[2]);
    }
    if (mesh_.problemType == 0)
        FatalError("Input error: problem type is zero.");
    threeDimensional_ = mesh_.isThreeDimensional();
    // Every per-model file is the name plus an extension in the working directory.
    if (!isPlainFileName(mesh_.name))
        FatalErrorF("Input error: model name \"%s\" is not a plain file name.",
                    printable(mesh_.name).c_str());
}

void ModelReader::readTitle() {
    const Record* record = first(Keyword::Title);
    if (record == nullptr)
        return;
    // The title is free text: it may hold commas and runs to the first '>' or 80 characters.
    const std::string_view text = record->extended;
    const std::size_t open = 1 + keywordText(text).size();
    if (open >= text.size() || text[open] != '<')
        FatalErrorF("Input error: line %d: '<' must follow the keyword: %s", record->line,
                    printable(record->text).c_str());
    std::string_view title = text.substr(open + 1, TitleLength);
    title = title.substr(0, title.find('>'));
    mesh_.title = std::string(title);
}

void ModelReader::countRecords() {
    long long nodes = 0;
    long long elements = 0;
    TableCounts counts;
    constexpr long long cap = 1LL << 40;
    auto add = [&](long long& total, long long amount) { total = std::min(total + amount, cap); };
    for (const Record& record : records_) {
        switch (record.keyword) {
        case Keyword::Hex8:
        case Keyword::GHex8:
        case Keyword::SHex8:
            FatalError("Input error: TOPAX Engine dimension mismatched.");
        case Keyword::System:
            ++counts.systems;
            break;
        case Keyword::Node:
            add(nodes, 1);
            break;
        case Keyword::Quad4:
            add(elements, 1);
            break;
        case Keyword::GNode:
        case Keyword::GQuad4: {
            const int count = integerField(fields(record, 1)[0]);
            if (count < 0)
                FatalErrorF("Input error: line %d: negative generation count %d: %s", record.line,
                            count, printable(record.text).c_str());
            add(record.keyword == Keyword::GNode ? nodes : elements, count);
            break;
        }
        case Keyword::SQuad4: {
            const auto f = fields(record, 6);
            const long long p = integerField(f[4]);
            const long long q = integerField(f[5]);
            if (p < 1 || q < 1)
                FatalErrorF("Input error: line %d: *squad4 divisions %lld x %lld; both must be "
                            "at least 1: %s",
                            record.line, p, q, printable(record.text).c_str());
            add(nodes, (p + 1) * (q + 1) - 4);
            add(elements, p * q);
            break;
        }
        case Keyword::Property:
            ++counts.properties;
            break;
        case Keyword::Constraint:
            ++counts.constraints;
            break;
        case Keyword::Force:
        case Keyword::Pressure:
            ++counts.loads;
            break;
        default:
            break;
        }
    }
    if (nodes > MaxNodes)
        FatalError("Input error: number of nodes exceeded.");
    if (elements > MaxElements)
        FatalErrorF("Input error: number of elements exceeded (%lld, at most %d).", elements,
                    MaxElements);
    counts.nodes = static_cast<int>(nodes);
    counts.elements = static_cast<int>(elements);
    mesh_.allocateTables(counts);
    mesh_.checkElementFormulation();
}

void ModelReader::readSystems() {
    std::size_t next = 0;
    const int axes = threeDimensional_ ? 4 : 3;
    const int components = threeDimensional_ ? 3 : 2;
    for (const Record& record : records_) {
        if (record.keyword != Keyword::System)
            continue;
        const auto f = fields(record, 3 + axes * components);
        CCoordSystem& system = mesh_.systems[next++];
        system.id = integerField(f[0]);
        system.type = integerField(f[1]);
        system.reference = integerField(f[2]);
        if (system.type != Cartesian && system.type != Polar)
            FatalErrorF("Input error: coordinate system %d has type %d; the types are 0 "
                        "(Cartesian) and 1 (polar).",
                        system.id, system.type);
        std::array<double, 3>* vectors[] = {&system.xAxis, &system.yAxis,
                                            threeDimensional_ ? &system.zAxis : &system.origin,
                                            &system.origin};
        for (int v = 0; v < axes; ++v)
            for (int c = 0; c < components; ++c)
                (*vectors[v])[c] = real(record, f[3 + v * components + c]);
    }
}

void ModelReader::readNodes() {
    for (const Record& record : records_) {
        if (record.keyword != Keyword::Node)
            continue;
        const auto f = fields(record, threeDimensional_ ? 6 : 5);
        CNode& node = mesh_.nodes[nextNode_++];
        node.id = checkedId(record, integerField(f[0]));
        const int systemId = integerField(f[1]);
        double x = real(record, f[2]);
        double y = real(record, f[3]);
        double z = threeDimensional_ ? real(record, f[4]) : 0.0;
        node.displacementSystem = integerField(f[threeDimensional_ ? 5 : 4]);
        if (systemId != 0) {
            const auto found =
                std::find_if(mesh_.systems.begin(), mesh_.systems.end(),
                             [&](const CCoordSystem& s) { return s.id == systemId; });
            if (found == mesh_.systems.end())
                FatalErrorF("Input error: node %d refers to missing coordinate system %d.", node.id,
                            systemId);
            const CCoordSystem& s = *found;
            if (s.type == Polar) {
                const double radius = x;
                const double angle = y * Pi / 180.0;
                x = radius * std::cos(angle);
                y = radius * std::sin(angle);
            }
            const double gx = s.origin[0] + s.xAxis[0] * x + s.yAxis[0] * y + s.zAxis[0] * z;
            const double gy = s.origin[1] + s.xAxis[1] * x + s.yAxis[1] * y + s.zAxis[1] * z;
            const double gz = s.origin[2] + s.xAxis[2] * x + s.yAxis[2] * y + s.zAxis[2] * z;
            x = gx;
            y = gy;
            z = threeDimensional_ ? gz : 0.0;
        }
        node.system = 0;
        node.x = x;
        node.y = y;
        node.z = z;
    }
}

void ModelReader::generateNodes() {
    MeshGenerator generator(mesh_, nextNode_, nextElement_);
    for (const Record& record : records_) {
        if (record.keyword != Keyword::GNode)
            continue;
        const auto f = fields(record, threeDimensional_ ? 6 : 5);
        const int count = integerField(f[0]);
        const int baseId = integerField(f[1]);
        const int firstId = checkedId(record, integerField(f[2]));
        checkIdRange(record, firstId, count);
        const int base = mesh_.nodeIndex(baseId);
        if (baseId == EmptyId || base >= nextNode_)
            FatalErrorF("Input error: *gnode record in line %d refers to missing base node %d.",
                        record.line, baseId);
        const std::array<double, 3> step{real(record, f[3]), real(record, f[4]),
                                         threeDimensional_ ? real(record, f[5]) : 0.0};
        generator.generateNodes(count, base, firstId, step);
    }
}

void ModelReader::readElements() {
    for (const Record& record : records_) {
        if (record.keyword != Keyword::Quad4)
            continue;
        const auto f = fields(record, 8);
        std::array<int, 8> values{};
        for (int i = 0; i < 8; ++i)
            values[i] = integerField(f[i]);
        values[0] = checkedId(record, values[0]);
        if (values[2] == Hex8Type3 || values[2] == Hex8Type4)
            FatalError("Input error: TOPAX Engine dimension mismatched.");
        CElement& element = mesh_.elements[nextElement_++];
        mesh_.initElement(element, values);
        element.active = 1;
        element.inactive = 0;
    }
}

void ModelReader::generateElements() {
    MeshGenerator generator(mesh_, nextNode_, nextElement_);
    for (const Record& record : records_) {
        if (record.keyword != Keyword::GQuad4)
            continue;
        const auto f = fields(record, 8);
        const int count = integerField(f[0]);
        const int baseId = integerField(f[1]);
        const int firstId = checkedId(record, integerField(f[2]));
        checkIdRange(record, firstId, count);
        const int base = mesh_.elementIndex(baseId);
        if (baseId == EmptyId || base >= nextElement_)
            FatalErrorF("Input error: *gquad4 record in line %d refers to missing base element "
                        "%d.",
                        record.line, baseId);
        std::array<int, 4> increments{};
        for (int j = 0; j < 4; ++j) {
            increments[j] = integerField(f[3 + j]);
            // Node ids change linearly with the copy number: checking the last copy suffices.
            const long long last =
                mesh_.elements[base].nodes[j] + static_cast<long long>(count) * increments[j];
            checkedId(record, last);
        }
        generator.generateElements(count, base, firstId, increments, integerField(f[7]));
    }
}

void ModelReader::generateBlocks() {
    MeshGenerator generator(mesh_, nextNode_, nextElement_);
    for (const Record& record : records_) {
        if (record.keyword != Keyword::SQuad4)
            continue;
        const auto f = fields(record, 11);
        MeshGenerator::Block block;
        block.firstNodeId = checkedId(record, integerField(f[0]));
        block.firstElementId = checkedId(record, integerField(f[1]));
        block.property = integerField(f[2]);
        block.type = integerField(f[3]);
        block.p = integerField(f[4]);
        block.q = integerField(f[5]);
        block.design = integerField(f[10]);
        if (block.type == Hex8Type3 || block.type == Hex8Type4)
            FatalError("Input error: TOPAX Engine dimension mismatched.");
        if (block.type != Quad4Bilinear && block.type != Quad4Incompatible)
            FatalError("General error: undefined Element.");
        const long long nodes = static_cast<long long>(block.p + 1) * (block.q + 1) - 4;
        const long long elements = static_cast<long long>(block.p) * block.q;
        checkIdRange(record, block.firstNodeId, nodes);
        checkIdRange(record, block.firstElementId, elements);
        for (int j = 0; j < 4; ++j) {
            const int id = integerField(f[6 + j]);
            const int position = mesh_.nodeIndex(id);
            if (id == EmptyId || position >= nextNode_)
                FatalErrorF("Input error: *squad4 record in line %d refers to missing corner node "
                            "%d.",
                            record.line, id);
            block.corners[j] = position;
        }
        generator.generateBlock(block);
    }
}

void ModelReader::readProperties() {
    std::size_t next = 0;
    for (const Record& record : records_) {
        if (record.keyword != Keyword::Property)
            continue;
        const auto f = fields(record, 4);
        CProperty& property = mesh_.properties[next++];
        property.id = integerField(f[0]);
        for (int i = 0; i < 3; ++i)
            property.constants[i] = real(record, f[1 + i]);
    }
}

void ModelReader::readConstraints() {
    const int baseCode = threeDimensional_ ? 56 : 60;
    for (CNode& node : mesh_.nodes)
        node.constraintCode = baseCode;
    const int components = threeDimensional_ ? 3 : 2;
    std::size_t next = 0;
    for (const Record& record : records_) {
        if (record.keyword != Keyword::Constraint)
            continue;
        const auto f = fields(record, 2 + components);
        CConstraint& constraint = mesh_.constraints[next++];
        constraint.id = integerField(f[0]);
        constraint.node = integerField(f[1]);
        int code = baseCode;
        for (int c = 0; c < components; ++c) {
            if (isFreeText(f[2 + c])) {
                constraint.values[c] = FreeValue;
            } else {
                constraint.values[c] = real(record, f[2 + c]);
                code += 1 << c;
            }
        }
        const int position = mesh_.nodeIndex(constraint.node);
        if (constraint.node == EmptyId || position >= static_cast<int>(mesh_.nodes.size()))
            FatalErrorF("Input error: constraint %d refers to missing node %d.", constraint.id,
                        constraint.node);
        mesh_.nodes[position].constraintCode = code;
    }
}

void ModelReader::readLoads() {
    std::size_t next = 0;
    const int components = threeDimensional_ ? 3 : 2;
    for (const Record& record : records_) {
        if (record.keyword == Keyword::Force) {
            const auto f = fields(record, 3 + components);
            CLoad& load = mesh_.loads[next++];
            load.id = integerField(f[0]);
            load.kind = NodalForce;
            load.target = integerField(f[1]);
            load.system = integerField(f[2]);
            for (int c = 0; c < components; ++c)
                load.values[c] = real(record, f[3 + c]);
            if (load.target == EmptyId || mesh_.nodeIndex(load.target) >= mesh_.count("node"))
                FatalErrorF("Input error: force %d refers to missing node %d.", load.id,
                            load.target);
        } else if (record.keyword == Keyword::Pressure) {
            const int type = integerField(fields(record, 5)[3]);
            if (type < 0 || type > 2)
                FatalError("Input error: unknown pressure type.");
            const int values = type == 0 ? components : type == 1 ? 1 : components - 1;
            const auto f = fields(record, 5 + values);
            CLoad& load = mesh_.loads[next++];
            load.id = integerField(f[0]);
            load.kind = Pressure;
            load.target = integerField(f[1]);
            load.system = integerField(f[2]);
            load.pressureType = type;
            load.edge = integerField(f[4]);
            for (int c = 0; c < values; ++c)
                load.values[c] = real(record, f[5 + c]);
            if (load.target == EmptyId || mesh_.elementIndex(load.target) >= mesh_.count("element"))
                FatalErrorF("Input error: pressure %d refers to missing element %d.", load.id,
                            load.target);
            if (!threeDimensional_ && (load.edge < 1 || load.edge > 4))
                FatalErrorF("Input error: pressure %d is on edge %d; the edges of a four-node "
                            "element are 1 to 4.",
                            load.id, load.edge);
        }
    }
}

void ModelReader::readSingleValues() {
    if (const Record* record = first(Keyword::Thickness))
        mesh_.thickness = real(*record, fields(*record, 1)[0]);
    if (const Record* record = first(Keyword::Print)) {
        const auto f = fields(*record, 13);
        for (int i = 0; i < 13; ++i)
            mesh_.printSwitches[i] = integerField(f[i]);
    }
    mesh_.printSwitches[10] = std::max(mesh_.printSwitches[10], 1);
    mesh_.printSwitches[11] = std::max(mesh_.printSwitches[11], 1);
    if (const Record* record = first(Keyword::Output)) {
        const auto f = fields(*record, 6);
        for (int i = 0; i < 6; ++i)
            mesh_.outputSwitches[i] = integerField(f[i]);
    }
}

void ModelReader::checkReferences() const {
    auto firstRepeated = [](std::vector<int> ids) {
        std::sort(ids.begin(), ids.end());
        const auto repeated = std::adjacent_find(ids.begin(), ids.end());
        return repeated == ids.end() ? EmptyId : *repeated;
    };
    std::vector<int> ids;
    for (const CNode& node : mesh_.nodes)
        ids.push_back(node.id);
    if (const int id = firstRepeated(ids); id != EmptyId)
        FatalErrorF("Input error: node %d is defined more than once.", id);
    ids.clear();
    for (const CElement& element : mesh_.elements)
        ids.push_back(element.id);
    if (const int id = firstRepeated(ids); id != EmptyId)
        FatalErrorF("Input error: element %d is defined more than once.", id);
    const int nodeCount = mesh_.count("node");
    for (const CElement& element : mesh_.elements)
        for (int j = 0; j < element.nodeCount; ++j)
            if (element.nodes[j] == EmptyId || mesh_.nodeIndex(element.nodes[j]) >= nodeCount)
                FatalErrorF("Input error: element %d refers to missing node %d.", element.id,
                            element.nodes[j]);
}

void CMesh::readModel(const std::string& fileName) {
    ModelReader(*this).read(fileName);
}

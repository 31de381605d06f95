#pragma once

#include "cmesh.h"

#include <string>
#include <string_view>
#include <vector>

/// Reads a model file in the keyword format into a model. Each record kind is read by its own
/// pass over the records, so records may stand in any order; generated records follow the
/// given ones. Every error is fatal. CMesh::readModel is the usual entry point.
class ModelReader {
public:
    /// The model must be fresh or reset; the reader fills it and does not own it.
    explicit ModelReader(CMesh& mesh);

    void read(const std::string& fileName);

    /// Record keywords the reader recognises (all lower case, or capitalised).
    enum class Keyword {
        Unknown,
        Model,
        Title,
        System,
        Node,
        GNode,
        Quad4,
        Hex8,
        GQuad4,
        GHex8,
        SQuad4,
        SHex8,
        Property,
        Constraint,
        Force,
        Pressure,
        Thickness,
        Print,
        Output,
    };

    /// One record line: a piece of at most 80 characters of a file line that begins with '*'.
    struct Record {
        int line = 0;
        Keyword keyword = Keyword::Unknown;
        std::string text;
        /// Title records only: the file line from the record's start, up to 160 characters (the
        /// title reads 80 characters after its '<').
        std::string extended;
    };

    /// The keyword of a record line: the text after '*' up to the first '<' or blank, recognised
    /// in exactly its lower-case or capitalised spelling.
    static Keyword keywordOf(std::string_view line);

    /// Integer field: leading blanks skipped, optional sign, digits up to the first non-digit
    /// ("2.5" gives 2, "free" 0); values beyond the int range are clamped.
    static int integerField(std::string_view field);

    /// Real field: leading blanks skipped, then a decimal number with optional sign, '.' and
    /// exponent; no number gives 0. ok is false for a number outside the double range.
    static double realField(std::string_view field, bool& ok);

private:
    void loadRecords(const std::string& fileName);
    const Record* first(Keyword keyword) const;
    // The fields of a well-formed record with at least required fields; anything else is fatal.
    std::vector<std::string_view> fields(const Record& record, int required) const;
    double real(const Record& record, std::string_view field) const;
    // An id that fits an int and is not EmptyId; anything else is fatal.
    int checkedId(const Record& record, long long id) const;
    // Checks the ids first .. first + count - 1 the same way.
    void checkIdRange(const Record& record, long long first, long long count) const;

    void readModelRecord();
    void readTitle();
    void countRecords();
    void readSystems();
    void readNodes();
    void generateNodes();
    void readElements();
    void generateElements();
    void generateBlocks();
    void readProperties();
    void readConstraints();
    void readLoads();
    void readSingleValues();
    void checkReferences() const;

    CMesh& mesh_;
    std::vector<Record> records_;
    bool threeDimensional_ = false;
    int nextNode_ = 0;
    int nextElement_ = 0;
};

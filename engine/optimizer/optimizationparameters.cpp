#include "optimizationparameters.h"

#include "fatalerror.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <fstream>
#include <istream>
#include <string_view>

namespace {

/// Input lines are taken this many characters at a time.
constexpr std::size_t LinePiece = 80;

/// Walks the value fields of one keyword line; never reads past the line.
class FieldScanner {
public:
    FieldScanner(std::string_view line, std::size_t start) : line_(line), pos_(start) {}

    /// The text up to the next "," or ">" (or the end of the line), taken as it stands.
    std::string_view text() {
        const std::size_t begin = std::min(pos_, line_.size());
        std::size_t end = line_.find_first_of(",>", begin);
        if (end == std::string_view::npos) {
            end = line_.size();
            pos_ = end;
        } else {
            pos_ = end + 1;
        }
        return line_.substr(begin, end - begin);
    }

    /// A decimal integer at the start of the next field; 0 when the field holds no number.
    long integer() {
        std::string_view field = skipBlanks(text());
        if (!field.empty() && field.front() == '+')
            field.remove_prefix(1);
        long value = 0;
        const auto [ptr, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
        (void)ptr;
        return ec == std::errc() ? value : 0;
    }

    /// A decimal real (exponent allowed) at the start of the next field; 0 when there is none.
    /// Only plain decimal notation is taken: no hexadecimal, infinity or NaN spellings.
    double real() {
        std::string_view field = skipBlanks(text());
        std::size_t i = 0;
        const auto digits = [&] {
            const std::size_t from = i;
            while (i < field.size() && std::isdigit(static_cast<unsigned char>(field[i])))
                ++i;
            return i - from;
        };
        if (i < field.size() && (field[i] == '+' || field[i] == '-'))
            ++i;
        std::size_t mantissa = digits();
        if (i < field.size() && field[i] == '.') {
            ++i;
            mantissa += digits();
        }
        if (mantissa == 0)
            return 0.0;
        std::size_t end = i;
        if (i < field.size() && (field[i] == 'e' || field[i] == 'E')) {
            ++i;
            if (i < field.size() && (field[i] == '+' || field[i] == '-'))
                ++i;
            if (digits() > 0)
                end = i;
        }
        std::string_view number = field.substr(0, end);
        if (number.front() == '+')
            number.remove_prefix(1);
        double value = 0.0;
        const auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
        (void)ptr;
        return ec == std::errc() ? value : 0.0;
    }

private:
    static std::string_view skipBlanks(std::string_view s) {
        while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
            s.remove_prefix(1);
        return s;
    }

    std::string_view line_;
    std::size_t pos_;
};

/// A keyword matches in its mixed-case spelling and in its all-lower-case form only.
bool isKeyword(std::string_view keyword, std::string_view mixedCase) {
    if (keyword == mixedCase)
        return true;
    if (keyword.size() != mixedCase.size())
        return false;
    for (std::size_t i = 0; i < keyword.size(); ++i)
        if (keyword[i] != std::tolower(static_cast<unsigned char>(mixedCase[i])))
            return false;
    return true;
}

/// A model name becomes the start of file names in the working directory, some of them deleted by
/// pattern; an empty name or one holding a path separator or a wildcard would reach other files.
bool isSafeModelName(std::string_view name) {
    return !name.empty() && name.find_first_of("/\\*?") == std::string_view::npos;
}

} // namespace

std::string OptimizationParameters::parse(std::istream& in) {
    // Required items are present once any occurrence was valid; optional items are failed once
    // any occurrence was invalid. The last occurrence's value is kept either way.
    bool modelOk = false, maxIterOk = false, volumeOk = false, ratioOk = false;
    bool toleranceOk = false, radiusOk = false;
    bool objectiveBad = false, admissionBad = false, densitiesBad = false, penaltyBad = false;

    const auto handle = [&](std::string_view line) {
        if (line.empty() || line.front() != '*')
            return;
        std::size_t end = line.find_first_of(" <");
        if (end == std::string_view::npos)
            end = line.size();
        const std::string_view keyword = line.substr(0, end);
        FieldScanner fields(line, end + 1);
        if (isKeyword(keyword, "*Model")) {
            const std::string_view name = fields.text();
            modelName = std::string(name.substr(0, MaxModelName));
            modelOk = true;
        } else if (isKeyword(keyword, "*Objective")) {
            const std::string_view value = fields.text();
            if (value == "MaxStiffness")
                objective = MaxStiffness;
            else if (value == "MaxFrequency")
                objective = MaxFrequency;
            else
                objectiveBad = true;
        } else if (isKeyword(keyword, "*MaxIter")) {
            const long value = fields.integer();
            maxIterations = static_cast<int>(std::clamp<long>(value, -1, MaxIterationLimit + 1));
            if (value >= 1)
                maxIterOk = true;
        } else if (isKeyword(keyword, "*ObjVolFraction")) {
            volumeFraction = fields.real();
            if (volumeFraction > 0.0 && volumeFraction < 1.0)
                volumeOk = true;
        } else if (isKeyword(keyword, "*EvoVolRatio")) {
            evoVolRatio = fields.real();
            if (evoVolRatio > 0.0 && evoVolRatio < 1.0)
                ratioOk = true;
        } else if (isKeyword(keyword, "*ARmax")) {
            admissionRatio = fields.real();
            if (!(admissionRatio >= 0.0 && admissionRatio < 1.0))
                admissionBad = true;
        } else if (isKeyword(keyword, "*ConvTolerance")) {
            convTolerance = fields.real();
            if (convTolerance > 0.0 && convTolerance < 1.0)
                toleranceOk = true;
        } else if (isKeyword(keyword, "*FilterRadius")) {
            filterRadius = fields.real();
            if (filterRadius > 0.0)
                radiusOk = true;
        } else if (isKeyword(keyword, "*Densities")) {
            const long n = fields.integer();
            const long l0 = fields.integer();
            const double a = fields.real();
            const double b = fields.real();
            levelCount = static_cast<int>(std::clamp<long>(n, -1, 1000000));
            initialLevel = static_cast<int>(std::clamp<long>(l0, -1, 1000000));
            minDensity = std::min(a, b);
            maxDensity = std::max(a, b);
            // The level table divides by N - 1 and by xmax, and levels run from 1 to N.
            if (minDensity < 0.0 || maxDensity <= 0.0 || n < 2 || n > 1000000 || l0 < 1 || l0 > n)
                densitiesBad = true;
        } else if (isKeyword(keyword, "*MatPenalty")) {
            penalty = fields.real();
            if (!(penalty > 1.0))
                penaltyBad = true;
        }
    };

    std::string line;
    while (std::getline(in, line)) {
        const std::string_view whole(line);
        if (whole.empty())
            continue;
        for (std::size_t at = 0; at < whole.size(); at += LinePiece)
            handle(whole.substr(at, LinePiece));
    }

    // The values kept must also be usable: the three-digit iteration label cannot name more
    // iterations, and the model name must not lead file names out of the working directory.
    if (maxIterations > MaxIterationLimit)
        maxIterOk = false;
    if (!isSafeModelName(modelName))
        modelOk = false;

    std::string failed;
    if (!modelOk)
        failed += "*Model<...>\n";
    if (objectiveBad)
        failed += "*Objective<...>\n";
    if (!maxIterOk)
        failed += "*Maxiter<...>\n";
    if (!volumeOk)
        failed += "*ObjVolFraction<...>\n";
    if (!ratioOk)
        failed += "*EvoVolRatio<...>\n";
    if (admissionBad)
        failed += "*ARmax<...>\n";
    if (!toleranceOk)
        failed += "*ConvTolerance<...>\n";
    if (!radiusOk)
        failed += "*FilterRadius<...>\n";
    if (densitiesBad)
        failed += "*Densities<...>\n";
    if (penaltyBad)
        failed += "*MPen<...>\n";
    if (!failed.empty())
        return "Reading parameters error: \n\n" + failed + "\n";

    targetRemoved = 1.0 - volumeFraction;
    return {};
}

void OptimizationParameters::read(const std::string& fileName) {
    std::ifstream in(fileName);
    if (!in)
        FatalError("Reading parameters error: cannot open parameter file " + fileName + ".");
    const std::string errors = parse(in);
    if (!errors.empty())
        FatalError(errors);
}

#include "optimizationfiles.h"

#include "fatalerror.h"
#include "optimizationparameters.h"

#include <bit>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

static_assert(std::endian::native == std::endian::little,
              "the binary work files are written as raw little-endian values");

namespace fs = std::filesystem;

namespace {

constexpr const char* Rule =
    "------------------------------------------------------------------------\n\n";

template <typename T> void put(std::string& out, T value) {
    char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    out.append(bytes, sizeof(T));
}

template <typename T> T take(const std::string& in, std::size_t& at) {
    T value;
    std::memcpy(&value, in.data() + at, sizeof(T));
    at += sizeof(T);
    return value;
}

/// The whole content of a binary file; false when it cannot be opened.
bool slurp(const std::string& fileName, std::string& content) {
    std::ifstream in(fileName, std::ios::binary);
    if (!in)
        return false;
    content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

void writeAll(const std::string& fileName, const std::string& content, std::ios::openmode mode) {
    std::ofstream out(fileName, mode);
    out << content;
}

bool endsWith(const std::string& s, const std::string& suffix) {
    return s.size() >= suffix.size() &&
           s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

} // namespace

void OptimizationFiles::writeResultHeader(const std::string& model, int objective,
                                          const std::string& date, const std::string& time) {
    std::string text = "Bi-directional Evolutionary Structural Optimization:  ";
    text += VersionText;
    text += "\nModel: " + model + "    Objective: ";
    text += objective == MaxFrequency ? "Maximizing frequency " : "Maximizing stiffness ";
    text += " \nStarting Date: " + date + "   Time: " + time + " \n";
    text += Rule;
    text += "    Iter      VolFrac        mean Compliance            Time\n";
    text += "   Start                                              " + time + "\n";
    writeAll(ResultText, text, std::ios::out | std::ios::trunc);
}

void OptimizationFiles::appendResultLine(const HistoryRecord& record, const std::string& time) {
    char line[160];
    std::snprintf(line, sizeof line, "     %3d     %f         %E           %s\n", record.iteration,
                  record.volumeFraction, record.compliance, time.c_str());
    writeAll(ResultText, line, std::ios::out | std::ios::app);
}

void OptimizationFiles::writeIteration(int k) {
    char text[16];
    std::snprintf(text, sizeof text, "%3d", k);
    writeAll(IterationText, text, std::ios::out | std::ios::trunc);
}

void OptimizationFiles::writeReport(const std::string& model, int k, int stopReason) {
    std::string text = "Bi-directional Evolutionary Structural Optimization:  ";
    text += VersionText;
    text += "\nModel: " + model + "\n";
    text += Rule;
    char line[64];
    std::snprintf(line, sizeof line, "Total iterations used: %3d\n", k);
    text += line;
    switch (stopReason) {
    case MaxIterationsReached:
        text += "Optimization stopped due to maximum iteration number reached.\n";
        break;
    case Converged:
        text += "Optimization stopped due to solution converged.\n";
        break;
    default:
        text += "Optimization stopped due to FEA error.\n";
        break;
    }
    const std::string indent(20, ' ');
    const std::string frame(31, '*');
    text += "\n" + indent + frame + "\n";
    for (const std::string& contact : contactLines())
        text += indent + contact + "\n";
    text += indent + frame + "\n";
    writeAll(ReportText, text, std::ios::out | std::ios::trunc);
}

void OptimizationFiles::writeResultBinary(const std::vector<HistoryRecord>& history) {
    std::string bytes;
    bytes.reserve(4 + 20 * history.size());
    put<std::int32_t>(bytes, static_cast<std::int32_t>(history.size()));
    for (const HistoryRecord& r : history) {
        put<std::int32_t>(bytes, r.iteration);
        put<double>(bytes, r.volumeFraction);
        put<double>(bytes, r.compliance);
    }
    writeAll(ResultBinary, bytes, std::ios::out | std::ios::binary | std::ios::trunc);
}

bool OptimizationFiles::readResultBinary(std::vector<HistoryRecord>& history) {
    history.clear();
    std::error_code ec;
    if (!fs::exists(ResultBinary, ec))
        return false;
    std::string bytes;
    if (!slurp(ResultBinary, bytes))
        FatalError("Reading history error: Result.bin cannot be opened.");
    std::size_t at = 0;
    const std::int32_t count = bytes.size() >= 4 ? take<std::int32_t>(bytes, at) : -1;
    if (count < 0 || bytes.size() != 4 + 20 * static_cast<std::size_t>(count))
        FatalError("Reading history error: Result.bin is damaged (" + std::to_string(bytes.size()) +
                   " bytes for " + std::to_string(count) + " records).");
    history.resize(static_cast<std::size_t>(count));
    for (std::size_t j = 0; j < history.size(); ++j) {
        HistoryRecord& r = history[j];
        r.iteration = take<std::int32_t>(bytes, at);
        r.volumeFraction = take<double>(bytes, at);
        r.compliance = take<double>(bytes, at);
        // Record j is iteration j; anything else is not a history this engine wrote.
        if (r.iteration != static_cast<int>(j))
            FatalError("Reading history error: Result.bin is damaged (record " + std::to_string(j) +
                       " holds iteration " + std::to_string(r.iteration) + ").");
    }
    return true;
}

std::string OptimizationFiles::sensitivityFileName(const std::string& model,
                                                   const std::string& label) {
    return model + label + "alp.bin";
}

void OptimizationFiles::writeSensitivities(const std::string& fileName,
                                           const std::vector<double>& alpha) {
    std::string bytes;
    bytes.reserve(8 * alpha.size());
    for (double a : alpha)
        put<double>(bytes, a);
    writeAll(fileName, bytes, std::ios::out | std::ios::binary | std::ios::trunc);
}

void OptimizationFiles::readSensitivities(const std::string& fileName, std::size_t count,
                                          std::vector<double>& alpha) {
    std::string bytes;
    std::error_code ec;
    if (!fs::exists(fileName, ec) || !slurp(fileName, bytes))
        FatalError("Reading element sensitivities error: sensitivity file not found.");
    if (bytes.size() != 8 * count)
        FatalError("Reading element sensitivities error: " + fileName + " holds " +
                   std::to_string(bytes.size()) + " bytes, expected " + std::to_string(8 * count) +
                   " for " + std::to_string(count) + " elements.");
    alpha.resize(count);
    std::size_t at = 0;
    for (double& a : alpha)
        a = take<double>(bytes, at);
}

void OptimizationFiles::cleanWorkingDirectory(const std::string& model) {
    // The empty marker file keeps the set of deleted files identical to the one a pattern-based
    // deletion of "*.ndp" would meet; it goes with the other .ndp files.
    writeAll(TempFile, std::string(), std::ios::out | std::ios::trunc);

    const auto doomed = [&model](const std::string& name) {
        for (const char* suffix : {".ndp", ".vms", ".bin", ".log"})
            if (endsWith(name, suffix))
                return true;
        if (name == ReportText || name == IterationText || name == model + "DOMAIN.txt")
            return true;
        // model + digit + anything + ".txt": the snapshots of an earlier run
        return name.size() >= model.size() + 5 && name.compare(0, model.size(), model) == 0 &&
               std::isdigit(static_cast<unsigned char>(name[model.size()])) &&
               endsWith(name, ".txt");
    };

    std::error_code ec;
    std::vector<fs::path> victims;
    for (fs::directory_iterator it(fs::current_path(ec), ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code typeError;
        if (it->is_directory(typeError))
            continue;
        if (doomed(it->path().filename().string()))
            victims.push_back(it->path());
    }
    for (const fs::path& path : victims) {
        std::error_code removeError;
        fs::remove(path, removeError);
    }
}

const std::vector<std::string>& OptimizationFiles::contactLines() {
    static const std::vector<std::string> lines = {
        "*  TOPAX 1.2 Beta             *", "*  BESO topology optimization *",
        "*  with the Strukta workbench *", "*  Northfold structural tools *",
        "*  Questions: see README.md   *"};
    return lines;
}

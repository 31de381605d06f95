#pragma once

#include <cstdint>
#include <string>
#include <vector>

/// One record of the iteration history: the design analysed in an iteration.
struct HistoryRecord {
    int iteration = 0;
    double volumeFraction = 0.0;
    double compliance = 0.0;
};

/// Stop reasons of an optimization run.
enum StopReason : int { KeepGoing = 0, MaxIterationsReached = 1, Converged = 2 };

/// The text and binary files through which an optimization run talks to its caller and to a later
/// run, all under bare names in the current directory. Binary files are raw little-endian int32
/// and float64 values without header or padding. Write failures are not reported: a run goes on
/// without its side files. Read failures of the work files end the process through FatalError.
class OptimizationFiles {
public:
    static constexpr const char* ResultText = "Result.txt";
    static constexpr const char* IterationText = "Iteration.txt";
    static constexpr const char* ReportText = "Report.txt";
    static constexpr const char* ResultBinary = "Result.bin";
    static constexpr const char* TempFile = "temp.ndp";

    /// Replaces "Result.txt" with its header; `date` and `time` are the run's start stamps.
    static void writeResultHeader(const std::string& model, int objective, const std::string& date,
                                  const std::string& time);
    /// Appends the line of one history record, stamped with `time`.
    static void appendResultLine(const HistoryRecord& record, const std::string& time);
    /// Replaces "Iteration.txt" with the number of the last completed iteration.
    static void writeIteration(int k);
    /// Replaces "Report.txt" with the outcome of the run.
    static void writeReport(const std::string& model, int k, int stopReason);

    /// Replaces "Result.bin" with the history.
    static void writeResultBinary(const std::vector<HistoryRecord>& history);
    /// Reads "Result.bin" into `history`. Returns false (and leaves `history` empty) when the file
    /// does not exist; a file shorter or longer than its record count says, or one whose record j
    /// is not iteration j, is a fatal error.
    static bool readResultBinary(std::vector<HistoryRecord>& history);

    /// Name of the sensitivity file of the design with iteration label `label`.
    static std::string sensitivityFileName(const std::string& model, const std::string& label);
    /// Replaces the named sensitivity file with `alpha` (one float64 per element).
    static void writeSensitivities(const std::string& fileName, const std::vector<double>& alpha);
    /// Reads `count` sensitivity numbers from the named file into `alpha`. A missing file or one
    /// of another length is a fatal error.
    static void readSensitivities(const std::string& fileName, std::size_t count,
                                  std::vector<double>& alpha);

    /// Clean-up before a fresh run: creates "temp.ndp", then deletes every *.ndp, *.vms, *.bin and
    /// *.log file, "Report.txt", "Iteration.txt", model + "DOMAIN.txt" and every text file named
    /// model + digit + anything + ".txt". "Result.txt" stays. Missing files are no error.
    static void cleanWorkingDirectory(const std::string& model);

    /// The five contact lines framed in the closing boxes, each 31 characters wide.
    static const std::vector<std::string>& contactLines();
};

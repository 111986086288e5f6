#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "experiment/plan.h"

namespace kestravin {

/// The files of an experiment's folder.
inline constexpr std::string_view kRunsFile = "runs.csv";
inline constexpr std::string_view kSummaryFile = "summary.csv";
inline constexpr std::string_view kYearsFile = "years.csv";
inline constexpr std::string_view kYearsPlotFile = "years-to-perfect.svg";
inline constexpr std::string_view kFitnessPlotFile = "fitness.svg";
inline constexpr std::string_view kSetsFolder = "sets";
/// The constants file of set n, inside kSetsFolder: "set-3.txt".
std::string setFileName(std::size_t set);

/// Why a folder cannot take an experiment, and the exit status that goes with it.
struct FolderProblem {
  int status;
  std::string message;
};

/// Checks, writing nothing, that dir can take an experiment: it is absent, empty, or force is
/// given; it is not a file; and the constants file is not one of the outputs.
std::optional<FolderProblem> checkOutputFolder(const std::filesystem::path& dir, bool force,
                                               const std::filesystem::path& consts);

/// Creates dir and its sets folder, removes the outputs of an earlier experiment there and
/// writes each set's constants file. false, with error, when that fails.
bool prepareOutputFolder(const std::filesystem::path& dir, const std::vector<ParamSet>& sets,
                         std::string& error);

/// Writes text into a file whole; false, with error, when it cannot be written.
bool writeWholeFile(const std::filesystem::path& path, std::string_view text, std::string& error);

}  // namespace kestravin

// Times whole runs of the converter, process start to exit, where users wait: each case is run
// three times (or RUNS times) and the fastest kept, beside what it aims at, with the most memory
// any of its runs held. Ratios compare two cases' best times. A case whose input RUNS_DIR lacks
// is left out.
//
//   whole_run_bench CONVERTER DATA_DIR RUNS_DIR [RUNS]
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Run {
  const char* name;
  std::vector<std::string> arguments;  // after the converter; {out} is the output folder
  double aim = 0.0;                    // seconds; 0 for none
  double memoryAim = 0.0;              // MB; 0 for none
};

// One case's time over another's.
struct Ratio {
  const char* name;
  const char* over;
  const char* under;
  double aim;
};

struct Measured {
  double seconds = 0.0;
  double peakMegabytes = 0.0;
};

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
    text.replace(at, from.size(), to);
    at += to.size();
  }
  return text;
}

// The wall time and peak memory of one run, or nothing when it failed.
std::optional<Measured> timeOnce(const std::string& converter,
                                 const std::vector<std::string>& args) {
  std::vector<std::string> words{converter};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  const auto start = std::chrono::steady_clock::now();
  pid_t child = 0;
  if (posix_spawn(&child, converter.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
    return std::nullopt;
  }
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    return std::nullopt;
  }
  constexpr double kKilobytesPerMegabyte = 1024.0;
  return Measured{std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
                  static_cast<double>(usage.ru_maxrss) / kKilobytesPerMegabyte};
}

std::optional<Measured> bestOf(int runs, const std::string& converter,
                               const std::vector<std::string>& args) {
  std::optional<Measured> best;
  for (int run = 0; run < runs; ++run) {
    const std::optional<Measured> measured = timeOnce(converter, args);
    if (!measured) return std::nullopt;
    if (!best) best = measured;
    best->seconds = std::min(best->seconds, measured->seconds);
    best->peakMegabytes = std::max(best->peakMegabytes, measured->peakMegabytes);
  }
  return best;
}

std::string aimText(double aim, const char* format) {
  char text[16] = "-";
  if (aim > 0.0) std::snprintf(text, sizeof text, format, aim);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc == 5 ? std::atoi(argv[4]) : 3;
  if (argc < 4 || argc > 5 || runs < 1) {
    std::fprintf(stderr, "usage: whole_run_bench CONVERTER DATA_DIR RUNS_DIR [RUNS, default 3]\n");
    return 2;
  }
  const std::string converter = argv[1];
  const std::string data = argv[2];
  const std::string made = argv[3];
  char folder[] = "/tmp/lobewright-whole-run-XXXXXX";
  if (mkdtemp(folder) == nullptr) return 1;
  const std::string caffeine = data + "/../../tests/data/aux/caffeine_PM7.aux";
  const std::string steroid = data + "/cholesterol_PM7.aux";
  const std::string ala14 = data + "/polyalanine_PM7.aux";
  const std::string ala14mgf = made + "/polyalanine_PM7_graphf.mgf";
  const std::string ala30 = made + "/polyalanine30_PM7.aux";
  const std::string water = made + "/water333_PM7.aux";
  const std::vector<Run> cases = {
      {"Ala30 HOMO -> scale-8 .cube", {ala30, "{out}/a.cube", "--homo", "--scale", "8"}, 2.0},
      {"Ala30 HOMO -> scale-8 .glb", {ala30, "{out}/a.glb", "--homo", "--scale", "8"}},
      {"Ala14 .mgf HOMO -> scale-8 .glb, 2 threads",
       {ala14mgf, "{out}/a.glb", "--homo", "--scale", "8", "--threads", "2"},
       0.04},
      {"caffeine HOMO -> scale-8 .glb", {caffeine, "{out}/a.glb", "--homo", "--scale", "8"}},
      {"caffeine density -> scale-8 .glb",
       {caffeine, "{out}/a.glb", "--field", "density", "--scale", "8"}},
      {"Ala14 HOMO -> scale-8 .glb", {ala14, "{out}/a.glb", "--homo", "--scale", "8"}},
      {"Ala14 density -> scale-8 .glb",
       {ala14, "{out}/a.glb", "--field", "density", "--scale", "8"}},
      {"caffeine density by potential -> scale-8 .glb",
       {caffeine, "{out}/a.glb", "--field", "density", "--color-by", "esp", "--scale", "8"},
       1.0},
      {"steroid density by potential -> scale-8 .glb",
       {steroid, "{out}/a.glb", "--field", "density", "--color-by", "esp", "--scale", "8"},
       3.0},
      {"caffeine potential -> scale-4 .cube", {caffeine, "{out}/a.cube", "--field", "esp"}},
      {"caffeine potential -> scale-8 .glb",
       // Quiet: its grid is large enough to be announced.
       {caffeine, "{out}/a.glb", "--field", "esp", "--scale", "8", "--quiet"}},
      {"999-atom water density -> scale-4 .glb",
       // Quiet, or its announcement of the density matrix would break up the table.
       {water, "{out}/a.glb", "--field", "density", "--scale", "4", "--quiet"},
       0.0,
       300.0},
  };
  const std::vector<Ratio> ratios = {
      {"caffeine density / HOMO", "caffeine density -> scale-8 .glb",
       "caffeine HOMO -> scale-8 .glb", 3.0},
      {"Ala14 density / HOMO", "Ala14 density -> scale-8 .glb", "Ala14 HOMO -> scale-8 .glb", 5.0},
  };
  std::printf("whole runs of %s, best of %d; seconds, and the most memory a run held\n",
              converter.c_str(), runs);
  std::printf("%-44s %8s %8s %8s %8s\n", "case", "seconds", "aim", "peak MB", "aim");
  std::map<std::string, double> seconds;
  for (const Run& run : cases) {
    if (!std::filesystem::exists(run.arguments.front())) continue;
    std::vector<std::string> args;
    for (const std::string& word : run.arguments) args.push_back(replaced(word, "{out}", folder));
    const std::optional<Measured> measured = bestOf(runs, converter, args);
    if (!measured) {
      std::printf("%-44s failed\n", run.name);
      continue;
    }
    seconds[run.name] = measured->seconds;
    std::printf("%-44s %8.3f %8s %8.0f %8s\n", run.name, measured->seconds,
                aimText(run.aim, "%.2f").c_str(), measured->peakMegabytes,
                aimText(run.memoryAim, "%.0f").c_str());
    std::fflush(stdout);
  }
  for (const Ratio& ratio : ratios) {
    if (!seconds.contains(ratio.over) || !seconds.contains(ratio.under)) continue;
    std::printf("%-44s %7.1fx %7.0fx\n", ratio.name, seconds[ratio.over] / seconds[ratio.under],
                ratio.aim);
  }
  std::filesystem::remove_all(folder);
  return 0;
}

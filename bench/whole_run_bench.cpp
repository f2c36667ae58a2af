// Times whole runs of the converter, process start to exit, where users wait: each case is run
// three times (or RUNS times) and the fastest kept, beside what it aims at. Ratios compare two
// runs' best times.
//
//   whole_run_bench CONVERTER DATA_DIR RUNS_DIR [RUNS]
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Run {
  const char* name;
  std::vector<std::string> arguments;  // after the converter; {out} is the output folder
  double aim = 0.0;                    // seconds; 0 for none
};

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
    text.replace(at, from.size(), to);
    at += to.size();
  }
  return text;
}

// The wall time of one run, or nothing when it failed.
std::optional<double> timeOnce(const std::string& converter, const std::vector<std::string>& args) {
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
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    return std::nullopt;
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::optional<double> bestOf(int runs, const std::string& converter,
                             const std::vector<std::string>& args) {
  std::optional<double> best;
  for (int run = 0; run < runs; ++run) {
    const std::optional<double> seconds = timeOnce(converter, args);
    if (!seconds) return std::nullopt;
    if (!best || *seconds < *best) best = seconds;
  }
  return best;
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
  };
  std::printf("whole runs of %s, best of %d; seconds\n", converter.c_str(), runs);
  std::printf("%-44s %8s %8s\n", "case", "seconds", "aim");
  for (const Run& run : cases) {
    std::vector<std::string> args;
    for (const std::string& word : run.arguments) args.push_back(replaced(word, "{out}", folder));
    const std::optional<double> seconds = bestOf(runs, converter, args);
    if (!seconds) {
      std::printf("%-44s failed\n", run.name);
      continue;
    }
    char aim[16] = "-";
    if (run.aim > 0.0) std::snprintf(aim, sizeof aim, "%.2f", run.aim);
    std::printf("%-44s %8.3f %8s\n", run.name, *seconds, aim);
    std::fflush(stdout);
  }
  std::filesystem::remove_all(folder);
  return 0;
}

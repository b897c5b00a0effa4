#include "tests/map/peers.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

extern char** environ;

namespace zeblon::map::test {

std::optional<std::string> RunProgram(const std::vector<std::string>& argv_words, const std::string& input) {
  char dir[] = "/tmp/mappeerXXXXXX";
  if (!mkdtemp(dir)) return std::nullopt;
  const std::string in_path = std::string(dir) + "/in.txt";
  const std::string out_path = std::string(dir) + "/out.txt";
  {
    std::ofstream f(in_path, std::ios::binary);
    f << input;
  }
  std::vector<std::string> words = argv_words;
  std::vector<char*> argv;
  for (auto& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, in_path.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  bool ok = false;
  if (spawned == 0) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    int status = 0;
    for (;;) {
      const pid_t r = waitpid(pid, &status, WNOHANG);
      if (r == pid) {
        ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        break;
      }
      if (r < 0) break;
      if (std::chrono::steady_clock::now() > deadline) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  std::optional<std::string> out;
  if (ok) {
    std::ifstream f(out_path, std::ios::binary);
    out = std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
  }
  std::remove(in_path.c_str());
  std::remove(out_path.c_str());
  rmdir(dir);
  return out;
}

std::vector<std::pair<double, double>> RunCs2cs(const std::vector<std::string>& args,
                                                const std::vector<std::pair<double, double>>& input) {
  std::vector<std::pair<double, double>> out;
  std::ostringstream in;
  in.precision(17);
  for (const auto& [a, b] : input) in << a << ' ' << b << '\n';
  std::vector<std::string> argv = {"cs2cs", "-f", "%.9f"};
  argv.insert(argv.end(), args.begin(), args.end());
  const std::optional<std::string> text = RunProgram(argv, in.str());
  if (!text) return out;
  std::istringstream lines(*text);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream s(line);
    double a = 0, b = 0;
    if (!(s >> a >> b)) return {};
    out.emplace_back(a, b);
  }
  if (out.size() != input.size()) out.clear();
  return out;
}

}  // namespace zeblon::map::test

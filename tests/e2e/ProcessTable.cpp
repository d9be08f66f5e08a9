#include "e2e/ProcessTable.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

namespace fs = std::filesystem;

// The whole of a /proc file; empty when it cannot be read (the process has gone meanwhile).
std::string ReadProcFile(pid_t Pid, const char* Name) {
  std::ifstream File("/proc/" + std::to_string(Pid) + "/" + Name, std::ios::binary);
  if (!File) return {};
  return std::string(std::istreambuf_iterator<char>(File), std::istreambuf_iterator<char>());
}

std::optional<pid_t> PidFromName(const std::string& Name) {
  pid_t Pid = 0;
  const char* End = Name.data() + Name.size();
  const auto [Stop, Error] = std::from_chars(Name.data(), End, Pid);
  if (Error != std::errc() || Stop != End || Pid <= 0) return std::nullopt;
  return Pid;
}

}  // namespace

std::string TProcessEntry::Describe() const {
  return std::to_string(Pid) + " " + Name + ", state " + State + ", parent " + std::to_string(ParentPid);
}

std::optional<TProcessEntry> ReadProcess(pid_t Pid) {
  // "pid (name) state ppid ..."; the name may hold blanks and parentheses, so it ends at the last ')'.
  const std::string Stat = ReadProcFile(Pid, "stat");
  const size_t Open = Stat.find('(');
  const size_t Close = Stat.rfind(')');
  if (Open == std::string::npos || Close == std::string::npos || Close < Open) return std::nullopt;
  TProcessEntry Process;
  Process.Pid = Pid;
  Process.Name = Stat.substr(Open + 1, Close - Open - 1);
  std::istringstream Fields(Stat.substr(Close + 1));
  // After the name: state, ppid, then 17 fields up to starttime, the 22nd of the whole line.
  Fields >> Process.State >> Process.ParentPid;
  std::string Skipped;
  for (int Field = 5; Field < 22; ++Field) Fields >> Skipped;
  Fields >> Process.StartTime;
  if (!Fields) return std::nullopt;
  const std::string CommandLine = ReadProcFile(Pid, "cmdline");
  Process.FirstArgument = CommandLine.substr(0, CommandLine.find('\0'));
  return Process;
}

std::vector<TProcessEntry> AllProcesses() {
  std::vector<TProcessEntry> Processes;
  std::error_code Error;
  for (const fs::directory_entry& Entry : fs::directory_iterator("/proc", Error)) {
    const std::optional<pid_t> Pid = PidFromName(Entry.path().filename().string());
    if (!Pid) continue;
    if (std::optional<TProcessEntry> Process = ReadProcess(*Pid)) Processes.push_back(std::move(*Process));
  }
  return Processes;
}

bool IsAlive(const TProcessEntry& Process) {
  const std::optional<TProcessEntry> Now = ReadProcess(Process.Pid);
  return Now && Now->StartTime == Process.StartTime && !Now->IsZombie();
}

bool HasEnvironmentEntry(pid_t Pid, const std::string& Entry) {
  const std::string Environment = ReadProcFile(Pid, "environ");
  size_t Start = 0;
  while (Start < Environment.size()) {
    size_t End = Environment.find('\0', Start);
    if (End == std::string::npos) End = Environment.size();
    if (Environment.compare(Start, End - Start, Entry) == 0) return true;
    Start = End + 1;
  }
  return false;
}

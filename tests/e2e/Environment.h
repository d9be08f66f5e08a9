#pragma once
// The environment handed to a child process: the test's own, with variables set or removed.
#include <map>
#include <string>
#include <vector>

class TEnvironment {
public:
  // A copy of the test process's environment.
  static TEnvironment Inherited();

  void Set(const std::string& Name, const std::string& Value);
  void Unset(const std::string& Name);
  // NAME=VALUE entries, as execve takes them.
  std::vector<std::string> Entries() const;

private:
  std::map<std::string, std::string> FVariables;
};

#pragma once
// What became of a write: done, refused before anything was touched, or failed at some step.
#include <string>

enum class TWriteStatus { Written, Refused, Failed };

struct TWriteResult {
  TWriteStatus Status = TWriteStatus::Written;
  int Error = 0;        // errno of the step that failed; 0 when written or refused
  std::string Message;  // for people: why it was refused or which step failed and why

  bool Ok() const { return Status == TWriteStatus::Written; }

  static TWriteResult Written() { return {}; }
  static TWriteResult Refused(std::string Why) { return {TWriteStatus::Refused, 0, std::move(Why)}; }
  static TWriteResult Failed(int Error, std::string Why) { return {TWriteStatus::Failed, Error, std::move(Why)}; }
};

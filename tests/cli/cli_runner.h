#pragma once
// Runs chorvanta-cli as a child process and collects what it printed.
#include <string>
#include <vector>

struct TCliResult {
  int ExitCode = -1;
  std::string Out;
  std::string Err;
};

TCliResult RunCli(const std::vector<std::string>& args);

// A fresh empty folder for one test, removed with the object.
class TTempFolder {
public:
  TTempFolder();
  ~TTempFolder();
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  void Write(const std::string& name, const std::string& bytes) const;
  std::string Read(const std::string& name) const;

private:
  std::string path_;
};

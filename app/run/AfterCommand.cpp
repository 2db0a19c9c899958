#include "app/run/AfterCommand.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/Exceptions.h"

extern char** environ;

namespace pelsok::app {

std::vector<std::string> SplitCommandWords(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == ' ' || c == '\t' || c == '\n') {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
      continue;
    }
    inWord = true;
    if (c == '\'') {
      const auto end = text.find('\'', i + 1);
      if (end == std::string::npos)
        throw platform::Exception("コマンドの ' が閉じていません: " + text);
      word += text.substr(i + 1, end - i - 1);
      i = end;
    } else if (c == '"') {
      for (++i;; ++i) {
        if (i >= text.size()) throw platform::Exception("コマンドの \" が閉じていません: " + text);
        if (text[i] == '"') break;
        // Inside double quotes a backslash quotes only these.
        if (text[i] == '\\' && i + 1 < text.size() &&
            std::strchr("\"\\$`\n", text[i + 1]) != nullptr)
          ++i;
        word += text[i];
      }
    } else if (c == '\\') {
      if (i + 1 >= text.size())
        throw platform::Exception("コマンドが \\ で終わっています: " + text);
      word += text[++i];
    } else {
      word += c;
    }
  }
  if (inWord) words.push_back(word);
  if (words.empty()) throw platform::Exception("コマンドが空です");
  return words;
}

TAfterStatus RunAfterCommand(const std::vector<std::string>& words, const std::string& archive) {
  std::vector<std::string> args = words;
  args.push_back(archive);
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::fflush(nullptr);  // what we wrote comes before what the command writes

  TAfterStatus status;
  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ);
  if (rc != 0) {
    status.Failure =
        platform::FormatText("'%s' を起動できません: %s", {args[0], std::strerror(rc)});
    return status;
  }
  int wstatus = 0;
  while (waitpid(pid, &wstatus, 0) < 0)
    if (errno != EINTR) {
      status.Failure = std::strerror(errno);
      return status;
    }
  if (WIFEXITED(wstatus))
    status.ExitCode = WEXITSTATUS(wstatus);
  else if (WIFSIGNALED(wstatus))
    status.Failure =
        platform::FormatText("シグナル %s で終了しました", {std::to_string(WTERMSIG(wstatus))});
  return status;
}

}  // namespace pelsok::app

#include "cli/export_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <iterator>

#include "vault/replace_file.h"

namespace Cli {
namespace {

constexpr mode_t kExportMode = 0600;
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP};
using OldActions = struct sigaction[std::size(kEndingSignals)];

// The named temporary file while it is written, for the handler to remove.
char gTemporary[PATH_MAX] = {};

void OnEndingSignal(int signal) {
  if (gTemporary[0] != '\0') unlink(gTemporary);
  ::signal(signal, SIG_DFL);
  raise(signal);
}

// Holds the ending signals back while a name is made or changed, so that no signal finds
// a name the handler does not know.
void HoldSignals(bool hold) {
  sigset_t set;
  sigemptyset(&set);
  for (int s : kEndingSignals) sigaddset(&set, s);
  sigprocmask(hold ? SIG_BLOCK : SIG_UNBLOCK, &set, nullptr);
}

void CatchSignals(OldActions& old) {
  struct sigaction action {};
  action.sa_handler = OnEndingSignal;
  size_t next = 0;
  for (int s : kEndingSignals) sigaction(s, &action, &old[next++]);
}

void RestoreSignals(const OldActions& old) {
  size_t next = 0;
  for (int s : kEndingSignals) sigaction(s, &old[next++], nullptr);
}

}  // namespace

bool WriteExportFile(const std::string& target, std::string_view csv, int& error) {
  Vault::ReplacingFile file;
  HoldSignals(true);
  errno = 0;
  if (!Vault::BeginReplacing(target, kExportMode, file, Vault::Replacing::Unnamed)) {
    error = errno;
    HoldSignals(false);
    return false;
  }
  OldActions old{};
  const bool named = !file.temporary.empty() && file.temporary.size() < sizeof gTemporary;
  if (named) {
    std::memcpy(gTemporary, file.temporary.c_str(), file.temporary.size() + 1);
    CatchSignals(old);
  }
  HoldSignals(false);
  const bool written = Vault::AppendReplacing(file, csv.data(), csv.size());
  error = errno;  // taken before the clean-up below
  // Held back from here on: a signal now ends the program with the file renamed or gone.
  HoldSignals(true);
  bool finished = false;
  if (written) {
    finished = Vault::FinishReplacing(file);
    error = errno;
  } else {
    Vault::AbandonReplacing(file);
  }
  if (named) {
    RestoreSignals(old);
    gTemporary[0] = '\0';
  }
  HoldSignals(false);
  return finished;
}

}  // namespace Cli

#include "tests/support/syncthing.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <vector>

#include "tests/support/test_files.h"

namespace Syncthing {
namespace {

constexpr char kFolderId[] = "lockwell";
constexpr char kConflictInfix[] = ".sync-conflict-";
constexpr int kPatienceMs = 30000;
constexpr int kPollMs = 100;
constexpr int kStopMs = 5000;

void Sleep(int ms) {
  const timespec pause{ms / 1000, (ms % 1000) * 1000000L};
  nanosleep(&pause, nullptr);
}

// Polls until done() holds, at most kPatienceMs.
template <typename Done>
bool WaitFor(Done done) {
  for (int waited = 0; waited < kPatienceMs; waited += kPollMs) {
    if (done()) return true;
    Sleep(kPollMs);
  }
  return done();
}

// A port that nothing listens on now, on 127.0.0.1.
int FreePort() {
  const int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  int port = 0;
  if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    port = ntohs(address.sin_port);
  }
  close(s);
  return port;
}

// Runs syncthing with the arguments and gives back what it printed; nothing leaves the
// machine, since neither generating keys nor printing the ID opens a connection.
std::string RunSyncthing(const std::vector<std::string>& arguments) {
  int out[2];
  if (pipe(out) != 0) return "";
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(out[1], STDOUT_FILENO);
    dup2(out[1], STDERR_FILENO);
    close(out[0]);
    std::vector<char*> argv{const_cast<char*>("syncthing")};
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execvp("syncthing", argv.data());
    _exit(127);
  }
  close(out[1]);
  std::string text;
  char buffer[4096];
  for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) text.append(buffer, n);
  close(out[0]);
  waitpid(pid, nullptr, 0);
  return text;
}

// The generated config's format version, so that this Syncthing reads ours unchanged.
std::string ConfigVersion(const std::string& home) {
  const std::string config = TestFiles::ReadFile(home + "config.xml");
  const size_t at = config.find("version=\"");
  if (at == std::string::npos) return "";
  const size_t from = at + 9;
  return config.substr(from, config.find('"', from) - from);
}

// Only A dials (B is told no address of A, and discovery is off): two devices that dial each
// other at the same moment each drop one of the two connections, and may be left with none.
std::string ConfigXml(const Instance& self, const Instance& other, const std::string& version,
                      bool dials) {
  const std::string otherAddress =
      dials ? "tcp://127.0.0.1:" + std::to_string(other.syncPort) : "dynamic";
  return "<configuration version=\"" + version + "\">\n" + "  <folder id=\"" + kFolderId +
         "\" label=\"" + kFolderId + "\" path=\"" + self.folder +
         "\" type=\"sendreceive\" rescanIntervalS=\"2\" fsWatcherEnabled=\"true\" "
         "fsWatcherDelayS=\"1\" ignorePerms=\"false\" autoNormalize=\"true\">\n"
         "    <filesystemType>basic</filesystemType>\n"
         "    <device id=\"" +
         self.deviceId + "\"></device>\n    <device id=\"" + other.deviceId +
         "\"></device>\n"
         "    <minDiskFree unit=\"%\">0</minDiskFree>\n"
         // Elements left out of a folder are zero, not their defaults: maxConflicts 0 would
         // overwrite the losing version instead of keeping it as a conflict copy.
         "    <maxConflicts>10</maxConflicts>\n"
         "    <order>random</order>\n"
         "    <weakHashThresholdPct>25</weakHashThresholdPct>\n"
         "    <maxConcurrentWrites>2</maxConcurrentWrites>\n"
         "    <blockPullOrder>standard</blockPullOrder>\n"
         "    <copyRangeMethod>standard</copyRangeMethod>\n"
         "    <markerName>.stfolder</markerName>\n  </folder>\n"
         "  <device id=\"" +
         self.deviceId + "\" compression=\"metadata\"><address>dynamic</address></device>\n" +
         "  <device id=\"" + other.deviceId + "\" compression=\"metadata\"><address>" +
         otherAddress + "</address></device>\n" +
         "  <gui enabled=\"true\" tls=\"false\"><address>127.0.0.1:" +
         std::to_string(self.guiPort) + "</address><apikey>" + self.apiKey +
         "</apikey></gui>\n"
         "  <options>\n"
         "    <listenAddress>tcp://127.0.0.1:" +
         std::to_string(self.syncPort) +
         "</listenAddress>\n"
         "    <globalAnnounceEnabled>false</globalAnnounceEnabled>\n"
         "    <localAnnounceEnabled>false</localAnnounceEnabled>\n"
         "    <relaysEnabled>false</relaysEnabled>\n"
         "    <natEnabled>false</natEnabled>\n"
         "    <stunKeepaliveStartS>0</stunKeepaliveStartS>\n"
         "    <stunKeepaliveMinS>0</stunKeepaliveMinS>\n"
         "    <urAccepted>-1</urAccepted>\n"
         "    <urSeen>3</urSeen>\n"
         "    <crashReportingEnabled>false</crashReportingEnabled>\n"
         "    <autoUpgradeIntervalH>0</autoUpgradeIntervalH>\n"
         "    <announceLANAddresses>false</announceLANAddresses>\n"
         "    <startBrowser>false</startBrowser>\n"
         "    <restartOnWakeup>false</restartOnWakeup>\n"
         "    <reconnectionIntervalS>1</reconnectionIntervalS>\n"
         "    <minHomeDiskFree unit=\"%\">0</minHomeDiskFree>\n"
         "  </options>\n</configuration>\n";
}

bool Prepare(Instance& instance, const std::string& root, const std::string& name) {
  instance.home = root + "syncthing-" + name + "/";
  instance.folder = root + "computer-" + name + "/";
  // The folder marker, so that Syncthing trusts the folder as it is.
  if (mkdir(instance.folder.c_str(), 0700) != 0 ||
      mkdir((instance.folder + ".stfolder").c_str(), 0700) != 0) {
    return false;
  }
  (void)RunSyncthing({"generate", "--home=" + instance.home, "--no-default-folder"});
  std::string id = RunSyncthing({"serve", "--home=" + instance.home, "--device-id"});
  while (!id.empty() && (id.back() == '\n' || id.back() == '\r')) id.pop_back();
  instance.deviceId = id;
  instance.apiKey = "lockwell-test-" + name + "-" + std::to_string(getpid());
  instance.guiPort = FreePort();
  instance.syncPort = FreePort();
  return !id.empty() && id.find(' ') == std::string::npos && instance.guiPort != 0 &&
         instance.syncPort != 0 && instance.guiPort != instance.syncPort;
}

bool Launch(Instance& instance) {
  const std::string log = instance.home + "syncthing.log";
  instance.pid = fork();
  if (instance.pid == 0) {
    const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(out, STDOUT_FILENO);
    dup2(out, STDERR_FILENO);
    setenv("STNOUPGRADE", "1", 1);
    setenv("STNORESTART", "1", 1);
    const std::string home = "--home=" + instance.home;
    execlp("syncthing", "syncthing", "serve", home.c_str(), "--no-browser", "--no-restart",
           "--no-upgrade", "--no-default-folder", "--skip-port-probing", nullptr);
    _exit(127);
  }
  return instance.pid > 0;
}

// One request to the REST API (HTTP/1.0, so the answer ends when the connection does);
// the body of a 200 answer, or false.
bool Request(const Instance& instance, const std::string& method, const std::string& path,
             std::string* body = nullptr) {
  const int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(instance.guiPort));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(s);
    return false;
  }
  const std::string request = method + " " + path + " HTTP/1.0\r\nHost: 127.0.0.1\r\n" +
                              "X-API-Key: " + instance.apiKey + "\r\nContent-Length: 0\r\n\r\n";
  std::string answer;
  if (write(s, request.data(), request.size()) == static_cast<ssize_t>(request.size())) {
    char buffer[4096];
    for (ssize_t n; (n = read(s, buffer, sizeof buffer)) > 0;) answer.append(buffer, n);
  }
  close(s);
  const bool ok = answer.compare(0, 9, "HTTP/1.0 ") == 0 || answer.compare(0, 9, "HTTP/1.1 ") == 0;
  if (!ok || answer.compare(9, 3, "200") != 0) return false;
  if (body != nullptr) {
    const size_t start = answer.find("\r\n\r\n");
    *body = start == std::string::npos ? "" : answer.substr(start + 4);
  }
  return true;
}

// Whether self reports a live connection to other.
bool Connected(const Instance& self, const Instance& other) {
  std::string body;
  if (!Request(self, "GET", "/rest/system/connections", &body)) return false;
  const size_t device = body.find("\"" + other.deviceId + "\"");
  if (device == std::string::npos) return false;
  const size_t key = body.find("\"connected\":", device);
  if (key == std::string::npos) return false;
  const size_t value = body.find_first_not_of(" \t\r\n", key + 12);
  return value != std::string::npos && body.compare(value, 4, "true") == 0;
}

bool BothConnected(const Pair& pair) {
  return WaitFor([&] { return Connected(pair.a, pair.b) && Connected(pair.b, pair.a); });
}

void StopOne(Instance& instance) {
  if (instance.pid <= 0) return;
  kill(instance.pid, SIGTERM);
  int waited = 0;
  while (waitpid(instance.pid, nullptr, WNOHANG) == 0) {
    if (waited >= kStopMs) {
      kill(instance.pid, SIGKILL);
      waitpid(instance.pid, nullptr, 0);
      break;
    }
    Sleep(kPollMs);
    waited += kPollMs;
  }
  instance.pid = -1;
}

bool IsConflictCopyOf(const std::string& name, const std::string& candidate) {
  const size_t dot = name.rfind('.');
  const std::string stem = name.substr(0, dot), extension = name.substr(dot);
  return candidate.size() > stem.size() + extension.size() + 16 &&
         candidate.compare(0, stem.size() + 15, stem + kConflictInfix) == 0 &&
         candidate.compare(candidate.size() - extension.size(), extension.size(), extension) == 0;
}

std::string ConflictCopyIn(const std::string& folder, const std::string& name) {
  DIR* listing = opendir(folder.c_str());
  if (listing == nullptr) return "";
  std::string found;
  while (const dirent* item = readdir(listing)) {
    if (IsConflictCopyOf(name, item->d_name)) found = item->d_name;
  }
  closedir(listing);
  return found;
}

}  // namespace

Pair::~Pair() { Stop(*this); }

bool Start(Pair& pair, const std::string& root) {
  if (!Prepare(pair.a, root, "a") || !Prepare(pair.b, root, "b")) return false;
  const std::string version = ConfigVersion(pair.a.home);
  if (version.empty()) return false;
  TestFiles::WriteFile(pair.a.home + "config.xml", ConfigXml(pair.a, pair.b, version, true));
  TestFiles::WriteFile(pair.b.home + "config.xml", ConfigXml(pair.b, pair.a, version, false));
  if (!Launch(pair.a) || !Launch(pair.b) || !WaitFor([&] {
        return Request(pair.a, "GET", "/rest/system/ping") &&
               Request(pair.b, "GET", "/rest/system/ping");
      }) ||
      !BothConnected(pair)) {
    Stop(pair);
    return false;
  }
  return true;
}

void Stop(Pair& pair) {
  StopOne(pair.a);
  StopOne(pair.b);
}

bool Apart(Pair& pair) {
  return Request(pair.a, "POST", "/rest/system/pause?device=" + pair.b.deviceId) &&
         Request(pair.b, "POST", "/rest/system/pause?device=" + pair.a.deviceId) &&
         WaitFor([&] { return !Connected(pair.a, pair.b) && !Connected(pair.b, pair.a); });
}

bool Together(Pair& pair) {
  // The side that listens first, so that A's dial on resuming is accepted at once.
  return Request(pair.b, "POST", "/rest/system/resume?device=" + pair.a.deviceId) &&
         Request(pair.a, "POST", "/rest/system/resume?device=" + pair.b.deviceId) &&
         BothConnected(pair);
}

bool Rescan(const Instance& instance) {
  return Request(instance, "POST", std::string("/rest/db/scan?folder=") + kFolderId);
}

bool WaitUntilEqual(const Pair& pair, const std::string& name) {
  return WaitFor([&] {
    return TestFiles::Exists(pair.a.folder + name) && TestFiles::Exists(pair.b.folder + name) &&
           TestFiles::ReadFile(pair.a.folder + name) == TestFiles::ReadFile(pair.b.folder + name);
  });
}

std::string WaitForConflictCopy(const Pair& pair, const std::string& name) {
  std::string copy;
  (void)WaitFor([&] {
    copy = ConflictCopyIn(pair.a.folder, name);
    return !copy.empty() && copy == ConflictCopyIn(pair.b.folder, name);
  });
  return copy == ConflictCopyIn(pair.b.folder, name) ? copy : "";
}

bool WaitUntilGone(const Pair& pair, const std::string& name) {
  return WaitFor([&] {
    return !TestFiles::Exists(pair.a.folder + name) && !TestFiles::Exists(pair.b.folder + name);
  });
}

std::string LogOf(const Instance& instance) {
  return TestFiles::ReadFile(instance.home + "syncthing.log");
}

}  // namespace Syncthing

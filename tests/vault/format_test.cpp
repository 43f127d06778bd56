#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>

#include "tests/support/test_files.h"
#include "tests/vault/vault_fixture.h"
#include "vault/vault.h"

namespace {

using TestFiles::Exists;
using TestFiles::ReadFile;
using TestFiles::TempDir;
using TestFiles::WriteFile;
using TestVaults::LittleEndianAt;
using Vault::Entry;
using Vault::KeyState;

struct Vector {
  std::string file, password, why;
  int expected;
};

std::vector<Vector> ReadVectors() {
  std::ifstream in(LOCKWELL_DATA_DIR "vectors.txt");
  std::vector<Vector> vectors;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t bar; (bar = line.find(" | ", start)) != std::string::npos; start = bar + 3) {
      fields.push_back(line.substr(start, bar - start));
    }
    fields.push_back(line.substr(start));
    vectors.push_back({fields.at(0), fields.at(1), fields.at(3), std::stoi(fields.at(2))});
  }
  return vectors;
}

class VaultFormat : public VaultFixture {};

TEST_F(VaultFormat, EachVectorGivesItsOutcome) {
  // Payload rejections empty the list; earlier failures leave it as it was.
  const std::set<std::string> payloadRejected = {
      "empty_payload.lwv", "not_json.lwv", "bom_payload.lwv", "invalid_utf8.lwv", "root_array.lwv"};
  const std::vector<Vector> vectors = ReadVectors();
  ASSERT_GE(vectors.size(), 20u);
  for (const Vector& v : vectors) {
    KeyState keys{nullptr, -1, -1, {}};
    std::vector<Entry> list{{"sentinel", "", "", ""}};
    const Vault::VaultError result =
        Vault::ReadVaultFile(LOCKWELL_DATA_DIR + v.file, v.password, keys, list);
    EXPECT_EQ(result, v.expected) << v.file << ": " << v.why;
    if (result == Vault::Ok) {
      EXPECT_NE(keys.key, nullptr);
      Vault::WipeAndFree(keys.key, Vault::kKeySize);
      continue;
    }
    EXPECT_EQ(keys.key, nullptr) << v.file;
    EXPECT_EQ(keys.opslimit, -1) << v.file;
    if (payloadRejected.count(v.file)) {
      EXPECT_TRUE(list.empty()) << v.file;
    } else {
      ASSERT_EQ(list.size(), 1u) << v.file;
      EXPECT_EQ(list[0].Omschrijving, "sentinel") << v.file;
    }
  }
}

TEST_F(VaultFormat, GoodVectorHoldsItsEntries) {
  KeyState keys{};
  std::vector<Entry> list;
  ASSERT_EQ(Vault::ReadVaultFile(LOCKWELL_DATA_DIR "good.lwv", "correct horse", keys, list),
            Vault::Ok);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].Omschrijving, "Caf\xC3\xA9 \xF0\x9F\x94\x91");
  EXPECT_EQ(list[0].Url, "https://example.org/");
  EXPECT_EQ(list[0].Gebruiker, "ann");
  EXPECT_EQ(list[0].Wachtwoord, "p\"w\\\t");
  EXPECT_EQ(list[1].Omschrijving, "second");
  EXPECT_EQ(list[1].Wachtwoord, "");
  EXPECT_EQ(keys.opslimit, 1);
  EXPECT_EQ(keys.memlimit, 8192);
  Vault::WipeAndFree(keys.key, Vault::kKeySize);
}

TEST_F(VaultFormat, EmptyVaultIs94BytesWithItsHeaderFields) {
  TempDir dir;
  KeyState keys = SmallKeys("pw");
  ASSERT_EQ(Vault::SealToFile(dir.path + "v.lwv", keys, {}), Vault::Ok);
  const std::string file = ReadFile(dir.path + "v.lwv");
  ASSERT_EQ(file.size(), 94u);
  EXPECT_EQ(file.substr(0, 4), "LWV1");
  EXPECT_EQ(LittleEndianAt(file, 4, 4), 1u);
  EXPECT_EQ(LittleEndianAt(file, 8, 8), 1u);
  EXPECT_EQ(LittleEndianAt(file, 16, 8), 8192u);
  EXPECT_EQ(file.substr(24, 16), std::string(reinterpret_cast<char*>(keys.salt), 16));
  Vault::WipeAndFree(keys.key, Vault::kKeySize);
}

TEST_F(VaultFormat, EveryHeaderByteIsAuthenticated) {
  TempDir dir;
  KeyState keys = SmallKeys("pw");
  ASSERT_EQ(Vault::SealToFile(dir.path + "v.lwv", keys, {{"d", "u", "g", "w"}}), Vault::Ok);
  Vault::WipeAndFree(keys.key, Vault::kKeySize);
  const std::string good = ReadFile(dir.path + "v.lwv");
  for (size_t offset = 0; offset < Vault::kHeaderSize; ++offset) {
    std::string bad = good;
    bad[offset] = static_cast<char>(bad[offset] ^ 1);
    WriteFile(dir.path + "bad.lwv", bad);
    const int64_t ops = static_cast<int64_t>(LittleEndianAt(bad, 8, 8));
    const int64_t mem = static_cast<int64_t>(LittleEndianAt(bad, 16, 8));
    const bool leavesRanges = offset < 8 || ops < 1 || ops > 20 || mem < 8192 || mem > (1 << 30);
    KeyState out{};
    std::vector<Entry> list;
    EXPECT_EQ(Vault::ReadVaultFile(dir.path + "bad.lwv", "pw", out, list),
              leavesRanges ? Vault::NotAVault : Vault::WrongPassword)
        << "offset " << offset;
  }
}

TEST_F(VaultFormat, TwoSavesDifferOnlyFromTheNonceOn) {
  TempDir dir;
  KeyState keys = SmallKeys("pw");
  const std::vector<Entry> list = {{"d", "u", "g", "w"}};
  ASSERT_EQ(Vault::SealToFile(dir.path + "v.lwv", keys, list), Vault::Ok);
  const std::string first = ReadFile(dir.path + "v.lwv");
  ASSERT_EQ(Vault::SealToFile(dir.path + "v.lwv", keys, list), Vault::Ok);
  const std::string second = ReadFile(dir.path + "v.lwv");
  Vault::WipeAndFree(keys.key, Vault::kKeySize);
  ASSERT_EQ(first.size(), second.size());
  EXPECT_EQ(first.substr(0, 40), second.substr(0, 40));
  EXPECT_NE(first.substr(40, 24), second.substr(40, 24));
  EXPECT_NE(first.substr(64), second.substr(64));
}

TEST_F(VaultFormat, ReadingRefusesWhatIsNotARegularFile) {
  TempDir dir;
  KeyState keys{};
  std::vector<Entry> list;
  EXPECT_EQ(Vault::ReadVaultFile(dir.path + "missing.lwv", "pw", keys, list), Vault::FileError);
  EXPECT_EQ(Vault::ReadVaultFile(dir.path, "pw", keys, list), Vault::FileError);
  ASSERT_EQ(mkfifo((dir.path + "fifo").c_str(), 0600), 0);
  EXPECT_EQ(Vault::ReadVaultFile(dir.path + "fifo", "pw", keys, list), Vault::FileError);
  WriteFile(dir.path + "zero.lwv", "");
  EXPECT_EQ(Vault::ReadVaultFile(dir.path + "zero.lwv", "pw", keys, list), Vault::NotAVault);
}

TEST_F(VaultFormat, FailedWritesLeaveTheOldVaultAndNoTemporaryFile) {
  TempDir dir;
  const std::string path = dir.path + "kluis.lwv";
  KeyState keys = SmallKeys("pw");
  ASSERT_EQ(Vault::SealToFile(path, keys, {{"old", "", "", ""}}), Vault::Ok);
  const std::string old = ReadFile(path);
  const std::vector<Entry> bigger(2000, Entry{"new entry", "https://example.org", "u", "p"});

  // A disk that fills up half-way through the write.
  struct rlimit saved {};
  getrlimit(RLIMIT_FSIZE, &saved);
  struct rlimit small = saved;
  small.rlim_cur = 4096;
  auto previous = std::signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &small);
  const Vault::VaultError full = Vault::SealToFile(path, keys, bigger);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  EXPECT_EQ(full, Vault::FileError);
  EXPECT_EQ(ReadFile(path), old);
  EXPECT_FALSE(Exists(path + ".tmp"));

  // A temporary name that cannot be created.
  ASSERT_EQ(mkdir((path + ".tmp").c_str(), 0700), 0);
  EXPECT_EQ(Vault::SealToFile(path, keys, bigger), Vault::FileError);
  EXPECT_EQ(ReadFile(path), old);
  rmdir((path + ".tmp").c_str());

  // A folder that does not exist.
  EXPECT_EQ(Vault::SealToFile(dir.path + "no/such/kluis.lwv", keys, bigger), Vault::FileError);

  // A payload larger than reading accepts is refused before anything is written.
  const std::vector<Entry> huge = {{std::string(Vault::kMaxFileSize, 'x'), "", "", ""}};
  EXPECT_EQ(Vault::SealToFile(path, keys, huge), Vault::FileError);
  EXPECT_EQ(ReadFile(path), old);
  EXPECT_FALSE(Exists(path + ".tmp"));
  Vault::WipeAndFree(keys.key, Vault::kKeySize);
}

TEST_F(VaultFormat, VaultFilesArePrivateWhateverTheUmask) {
  TempDir dir;
  const std::string path = dir.path + "kluis.lwv";
  WriteFile(path + ".tmp", "left over by a crash");
  chmod((path + ".tmp").c_str(), 0666);
  const mode_t savedMask = umask(0);
  KeyState keys = SmallKeys("pw");
  const Vault::VaultError result = Vault::SealToFile(path, keys, {});
  umask(savedMask);
  Vault::WipeAndFree(keys.key, Vault::kKeySize);
  ASSERT_EQ(result, Vault::Ok);
  EXPECT_EQ(TestFiles::ModeOf(path), 0600);
  EXPECT_FALSE(Exists(path + ".tmp"));
  EXPECT_EQ(ReadFile(path).size(), 94u);
}

TEST_F(VaultFormat, PasswordsAreTheirExactUtf8Bytes) {
  TempDir dir;
  const std::string composed = "caf\xC3\xA9";     // e with acute, one code point
  const std::string decomposed = "cafe\xCC\x81";  // e + combining acute
  KeyState keys = SmallKeys(composed);
  ASSERT_EQ(Vault::SealToFile(dir.path + "v.lwv", keys, {}), Vault::Ok);
  Vault::WipeAndFree(keys.key, Vault::kKeySize);
  for (const auto& [password, expected] : std::vector<std::pair<std::string, Vault::VaultError>>{
           {composed, Vault::Ok},
           {decomposed, Vault::WrongPassword},
           {composed + " ", Vault::WrongPassword},
           {"", Vault::WrongPassword}}) {
    KeyState out{};
    std::vector<Entry> list;
    EXPECT_EQ(Vault::ReadVaultFile(dir.path + "v.lwv", password, out, list), expected);
    Vault::WipeAndFree(out.key, Vault::kKeySize);
  }
}

TEST_F(VaultFormat, Utf8CopiesCountBytes) {
  const Vault::Utf8Buffer empty = Vault::ToUtf8("");
  EXPECT_EQ(empty.size, 0u);
  EXPECT_EQ(empty.data[0], '\0');
  Vault::WipeAndFree(empty.data, empty.size + 1);
  const Vault::Utf8Buffer accent = Vault::ToUtf8("\xC3\xA9");
  EXPECT_EQ(accent.size, 2u);
  EXPECT_EQ(std::strcmp(accent.data, "\xC3\xA9"), 0);
  Vault::WipeAndFree(accent.data, accent.size + 1);
}

TEST_F(VaultFormat, RandomUniformStaysInItsRange) {
  EXPECT_EQ(Vault::RandomUniform(0), 0);
  EXPECT_EQ(Vault::RandomUniform(-5), 0);
  std::set<int> seen;
  for (int i = 0; i < 200; ++i) {
    EXPECT_EQ(Vault::RandomUniform(1), 0);
    const int value = Vault::RandomUniform(3);
    EXPECT_GE(value, 0);
    EXPECT_LT(value, 3);
    seen.insert(value);
  }
  EXPECT_EQ(seen.size(), 3u);
}

}  // namespace

// Writes the vault vectors of tests/data and their list, vectors.txt.
// Usage: make_vectors DIR   (run by hand; the results are committed)
// Every vault here is sealed as another writer would, with small Argon2id parameters so
// that the tests stay fast; each damaged file starts from a good one.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/test_vaults.h"
#include "vault/little_endian.h"
#include "vault/sodium_calls.h"
#include "vault/vault.h"

namespace {

constexpr char kPassword[] = "correct horse";

struct Header {
  std::string magic = "LWV1";
  uint32_t version = 1;
  int64_t opslimit = TestVaults::kSmallOpsLimit;
  int64_t memlimit = TestVaults::kSmallMemLimit;
};

void PutLE(std::string& out, size_t offset, uint64_t value, int bytes) {
  Vault::StoreLE(reinterpret_cast<unsigned char*>(out.data()) + offset, value, bytes);
}

// A sealed file of payload under kPassword. The key is derived with the header's own
// parameters where they are valid, else with the small ones.
std::string Seal(const std::string& payload, const Header& h = {}) {
  std::string file(Vault::kHeaderSize + payload.size() + Vault::kTagSize, '\0');
  std::memcpy(file.data(), h.magic.data(), 4);
  PutLE(file, Vault::kVersionOffset, h.version, 4);
  PutLE(file, Vault::kOpsOffset, static_cast<uint64_t>(h.opslimit), 8);
  PutLE(file, Vault::kMemOffset, static_cast<uint64_t>(h.memlimit), 8);
  const bool valid = h.opslimit >= Vault::kMinOpsLimit && h.opslimit <= Vault::kMaxOpsLimit &&
                     h.memlimit >= Vault::kMinMemLimit && h.memlimit <= Vault::kMaxMemLimit;
  Vault::KeyState keys = valid ? TestVaults::SmallKeys(kPassword, h.opslimit, h.memlimit)
                               : TestVaults::SmallKeys(kPassword);
  auto* bytes = reinterpret_cast<unsigned char*>(file.data());
  std::memcpy(bytes + Vault::kSaltOffset, keys.salt, Vault::kSaltSize);
  Vault::Sodium::RandomBytes(bytes + Vault::kNonceOffset, Vault::kNonceSize);
  Vault::Sodium::Seal(bytes + Vault::kHeaderSize,
                      reinterpret_cast<const unsigned char*>(payload.data()), payload.size(), bytes,
                      Vault::kHeaderSize, bytes + Vault::kNonceOffset, keys.key);
  Vault::WipeAndFree(keys.key, Vault::kKeySize);
  return file;
}

std::string Flip(std::string file, size_t offset) {
  file[offset] = static_cast<char>(file[offset] ^ 1);
  return file;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 || !Vault::LoadSodium()) {
    std::fprintf(stderr, "usage: make_vectors DIR (needs libsodium)\n");
    return 2;
  }
  const std::string dir = std::string(argv[1]) + "/";
  const std::string good = Seal(
      "{\"entries\":[{\"Wachtwoord\":\"p\\\"w\\\\\\t\",\"Omschrijving\":\"Caf\xC3\xA9 "
      "\xF0\x9F\x94\x91\",\"Url\":\"https://example.org/\",\"Gebruiker\":\"ann\"},"
      "{\"Omschrijving\":\"second\"}]}");
  const std::string empty = Seal("{\"entries\":[]}");
  std::string memPlusOne = empty;
  PutLE(memPlusOne, Vault::kMemOffset, 8193, 8);

  struct Vector {
    std::string name, bytes, password;
    int expected;
    std::string why;
  };
  const std::vector<Vector> vectors = {
      {"good.lwv", good, kPassword, 0, "two entries, escapes and raw UTF-8"},
      {"good.lwv", good, "Correct horse", 4, "the same file with a password in other case"},
      {"good.lwv", good, "", 4, "the empty password is tried like any other"},
      {"empty_vault.lwv", empty, kPassword, 0, "the 94-byte vault with no entries"},
      {"short_79.lwv", empty.substr(0, 79), kPassword, 3, "below the 80-byte minimum"},
      {"exactly_80_bad_tag.lwv", empty.substr(0, 64) + std::string(16, '\0'), kPassword, 4,
       "passes the size check, fails authentication"},
      {"empty_payload.lwv", Seal(""), kPassword, 3, "authentic, but an empty payload"},
      {"bad_magic.lwv", Seal("{\"entries\":[]}", {.magic = "LWV2"}), kPassword, 3,
       "magic is not LWV1"},
      {"version_2.lwv", Seal("{\"entries\":[]}", {.version = 2}), kPassword, 3, "format version 2"},
      {"opslimit_0.lwv", Seal("{\"entries\":[]}", {.opslimit = 0}), kPassword, 3,
       "opslimit below 1"},
      {"opslimit_21.lwv", Seal("{\"entries\":[]}", {.opslimit = 21}), kPassword, 3,
       "opslimit above 20"},
      {"memlimit_8191.lwv", Seal("{\"entries\":[]}", {.memlimit = 8191}), kPassword, 3,
       "memlimit below 8192"},
      {"memlimit_over_1gib.lwv", Seal("{\"entries\":[]}", {.memlimit = 1073741825}), kPassword, 3,
       "memlimit above 1 GiB"},
      {"memlimit_plus_one.lwv", memPlusOne, kPassword, 4, "header changed within the ranges"},
      {"nonce_changed.lwv", Flip(empty, Vault::kNonceOffset), kPassword, 4,
       "first nonce byte altered"},
      {"salt_changed.lwv", Flip(empty, Vault::kSaltOffset), kPassword, 4,
       "first salt byte altered"},
      {"ciphertext_changed.lwv", Flip(empty, Vault::kHeaderSize), kPassword, 4,
       "first ciphertext byte altered"},
      {"bad_tag.lwv", Flip(empty, empty.size() - 1), kPassword, 4, "last tag byte altered"},
      {"truncated.lwv", empty.substr(0, empty.size() - 1), kPassword, 4, "last byte missing"},
      {"trailing_byte.lwv", empty + "\n", kPassword, 4, "one byte too many"},
      {"not_json.lwv", Seal("hello"), kPassword, 3, "authentic, payload is not JSON"},
      {"bom_payload.lwv", Seal("\xEF\xBB\xBF{\"entries\":[]}"), kPassword, 3,
       "authentic, payload starts with a byte-order mark"},
      {"invalid_utf8.lwv", Seal("{\"entries\":[{\"Url\":\"\xFF\"}]}"), kPassword, 3,
       "authentic, payload holds a byte that is not UTF-8"},
      {"root_array.lwv", Seal("[]"), kPassword, 3, "authentic, root is not an object"},
      {"ops4_mem64m.lwv",
       Seal("{\"entries\":[{\"Omschrijving\":\"kept\"}]}", {.opslimit = 4, .memlimit = 67108864}),
       kPassword, 0, "another writer's parameters: opslimit 4, memlimit 64 MiB"},
      {"lone_surrogate.lwv",
       Seal("{\"entries\": [{\"Omschrijving\": \"ab\\ud800cd\", \"Url\": \"\\uDC00\"}]}"),
       kPassword, 0, "authentic, lone surrogate escapes as another writer leaves them"},
  };

  std::ofstream list(dir + "vectors.txt");
  list << "# file | password | expected VaultError | why   (written by make_vectors.cpp)\n";
  for (const Vector& v : vectors) {
    std::ofstream(dir + v.name, std::ios::binary).write(v.bytes.data(), v.bytes.size());
    list << v.name << " | " << v.password << " | " << v.expected << " | " << v.why << "\n";
  }
  return 0;
}

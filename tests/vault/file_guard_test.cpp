// Another program changing the vault file while it is open: its version is kept beside the
// vault before a save replaces it, and nothing is written when that copy cannot be made.
#include "vault/file_guard.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <tuple>

#include "tests/support/test_files.h"
#include "tests/vault/vault_fixture.h"
#include "vault/vault.h"

namespace {

using TestFiles::ReadFile;
using TestFiles::TempDir;
using TestFiles::WriteFile;
using Vault::Entry;

std::vector<std::string> gSaveErrors;
std::vector<std::string> gKeptCopies;
void ReportSaveError(const std::string& message) { gSaveErrors.push_back(message); }
void ReportKeptCopy(const std::string& message) { gKeptCopies.push_back(message); }
int64_t SaturdayMorning() { return 1772878500; }  // 2026-03-07 10:15:00 UTC

const std::string kStamp = ".extern-2026-03-07-101500";
const std::string kSaveFailed = "Saving failed: The file could not be read or written.";

std::string Told(const std::string& name) {
  return "The vault file was changed by another program while Lockwell had it open. That "
         "version is kept as " +
         name +
         "; your changes are saved. Lockwell offers to merge it unless you turned that version "
         "down; \"lockwell-cli-en merge\" merges it at any time, and Restore backup puts it in "
         "place of this one.";
}

class OtherWriters : public VaultFixture {
 protected:
  void SetUp() override {
    VaultFixture::SetUp();
    setenv("TZ", "UTC", 1);
    tzset();
    gSaveErrors.clear();
    gKeptCopies.clear();
    Vault::SetSaveErrorReporter(ReportSaveError);
    Vault::SetKeptCopyReporter(ReportKeptCopy);
    Vault::SetKeptCopyClock(SaturdayMorning);
    WriteSmallVault(path, "ours", {{"mine", "", "", ""}});
    ASSERT_EQ(Vault::OpenVault(path, "ours"), Vault::Ok);
  }
  void TearDown() override {
    Vault::SetKeptCopyClock(nullptr);
    Vault::SetKeptCopyReporter(nullptr);
    VaultFixture::TearDown();
  }

  // The names of the kept copies in the folder.
  std::vector<std::string> KeptFiles() const {
    std::vector<std::string> names;
    for (const auto& file : std::filesystem::directory_iterator(dir.path)) {
      const std::string name = file.path().filename();
      if (name.find(".extern-") != std::string::npos) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  // Another program puts its own vault in place, as a sync tool does: a new file renamed
  // over the old one. Returns the bytes it wrote.
  std::string AnotherVaultArrives(const std::string& password, const std::string& entry) {
    const std::string elsewhere = dir.path + "incoming";
    WriteSmallVault(elsewhere, password, {{entry, "", "", ""}});
    const std::string bytes = ReadFile(elsewhere);
    EXPECT_EQ(rename(elsewhere.c_str(), path.c_str()), 0);
    return bytes;
  }

  // Another program writes a vault of the same size into the file itself, then puts its
  // access and modification times back. Returns the bytes it wrote.
  std::string SameSizeRewrite() {
    struct stat before {};
    EXPECT_EQ(stat(path.c_str(), &before), 0);
    std::vector<Entry> same;
    for (const Entry& e : Vault::Entries()) same.push_back(e);
    same.pop_back();  // the list as last saved, so the sizes match
    WriteSmallVault(dir.path + "incoming", "theirs", same);
    const std::string bytes = ReadFile(dir.path + "incoming");
    EXPECT_EQ(bytes.size(), static_cast<size_t>(before.st_size));
    // The kernel's change time moves in ticks of a few milliseconds.
    usleep(20000);
    const int fd = open(path.c_str(), O_WRONLY);
    EXPECT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    close(fd);
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    EXPECT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    return bytes;
  }

  // Another computer's save with the vault's own key (its salt and costs), renamed into place.
  void SavedElsewhere(const std::vector<Entry>& list) {
    Vault::KeyState keys{};
    std::vector<Entry> read;
    ASSERT_EQ(Vault::ReadVaultFile(path, "ours", keys, read), Vault::Ok);
    const Vault::VaultError sealed = Vault::SealToFile(dir.path + "incoming", keys, list);
    Vault::WipeAndFree(keys.key, Vault::kKeySize);
    ASSERT_EQ(sealed, Vault::Ok);
    ASSERT_EQ(rename((dir.path + "incoming").c_str(), path.c_str()), 0);
  }

  // The entries of the vault at a path, or empty when it does not open with password.
  static std::vector<std::string> DescriptionsIn(const std::string& file,
                                                 const std::string& password) {
    Vault::KeyState keys{};
    std::vector<Entry> list;
    std::vector<std::string> names;
    if (Vault::ReadVaultFile(file, password, keys, list) != Vault::Ok) return names;
    Vault::WipeAndFree(keys.key, Vault::kKeySize);
    for (const Entry& e : list) names.push_back(e.Omschrijving);
    return names;
  }

  TempDir dir;
  const std::string path = dir.path + "kluis.lwv";
};

TEST_F(OtherWriters, AChangedFileIsKeptBeforeTheSaveReplacesIt) {
  enum Arrival { AnotherVault, OurBytes, InPlace };
  struct Case {
    const char* what;
    Arrival arrival;
  };
  const Case cases[] = {{"another vault", AnotherVault},
                        {"our own bytes in a new file", OurBytes},
                        {"rewritten in place, same size, time stamps put back", InPlace}};
  int round = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    gKeptCopies.clear();
    Vault::Entries().push_back({"added " + std::to_string(++round), "", "", ""});
    const bool sameBytes = c.arrival == OurBytes;
    std::string other;
    if (c.arrival == OurBytes) {
      other = ReadFile(path);
      WriteFile(dir.path + "incoming", other);
      ASSERT_EQ(rename((dir.path + "incoming").c_str(), path.c_str()), 0);
    } else if (c.arrival == InPlace) {
      other = SameSizeRewrite();
    } else {
      other = AnotherVaultArrives("theirs", "from the laptop");
    }
    for (const std::string& name : KeptFiles()) unlink((dir.path + name).c_str());
    const int mode = sameBytes ? 0640 : 0600;
    ASSERT_EQ(chmod(path.c_str(), mode), 0);

    Vault::SaveVault();
    EXPECT_TRUE(gSaveErrors.empty());
    ASSERT_EQ(KeptFiles(), std::vector<std::string>{"kluis.lwv" + kStamp});
    const std::string kept = path + kStamp;
    EXPECT_EQ(ReadFile(kept), other);
    EXPECT_EQ(TestFiles::ModeOf(kept), 0600) << "a kept copy is private whatever it replaced";
    EXPECT_FALSE(TestFiles::Exists(kept + ".tmp"));
    if (c.arrival == AnotherVault) {
      EXPECT_EQ(DescriptionsIn(kept, "theirs"), std::vector<std::string>{"from the laptop"});
    }
    EXPECT_EQ(gKeptCopies, std::vector<std::string>{Told("kluis.lwv" + kStamp)});
    // Our save still happened, under our own password.
    EXPECT_EQ(DescriptionsIn(path, "ours").size(), Vault::Entries().size());
    EXPECT_NE(ReadFile(path), other);
  }
}

TEST_F(OtherWriters, NothingIsKeptWhileOnlyWeWrite) {
  for (int i = 0; i < 3; ++i) {
    Vault::Entries().push_back({"save " + std::to_string(i), "", "", ""});
    Vault::SaveVault();
  }
  Vault::CloseVault();
  ASSERT_EQ(Vault::OpenVault(path, "ours"), Vault::Ok);
  Vault::SaveVault();
  // A vault made here and saved again, and one deleted behind our back.
  const std::string made = dir.path + "made.lwv";
  ASSERT_EQ(Vault::CreateVault(made, "ours, new"), Vault::Ok);
  Vault::SaveVault();
  ASSERT_EQ(unlink(made.c_str()), 0);
  Vault::SaveVault();
  EXPECT_EQ(DescriptionsIn(made, "ours, new").size(), 0u);
  EXPECT_TRUE(TestFiles::Exists(made));
  EXPECT_TRUE(KeptFiles().empty());
  EXPECT_TRUE(gKeptCopies.empty());
  EXPECT_TRUE(gSaveErrors.empty());
}

TEST_F(OtherWriters, WithoutAKeptCopyNothingIsWritten) {
  const std::string other = AnotherVaultArrives("theirs", "from the laptop");
  const std::string kept = path + kStamp;
  ASSERT_EQ(mkdir((kept + ".tmp").c_str(), 0700), 0);  // the copy's temporary file cannot be made
  Vault::Entries().push_back({"waiting", "", "", ""});
  Vault::SaveVault();
  EXPECT_EQ(gSaveErrors, std::vector<std::string>{kSaveFailed});
  EXPECT_EQ(Vault::ChangeMasterPassword("a new password"), Vault::FileError);
  EXPECT_EQ(ReadFile(path), other);
  EXPECT_FALSE(TestFiles::Exists(kept));
  EXPECT_TRUE(gKeptCopies.empty());
  EXPECT_TRUE(Vault::IsVaultOpen());

  // Once the way is free, the next save keeps their version and writes ours.
  ASSERT_EQ(rmdir((kept + ".tmp").c_str()), 0);
  Vault::SaveVault();
  EXPECT_EQ(ReadFile(kept), other);
  EXPECT_EQ(DescriptionsIn(path, "ours"), (std::vector<std::string>{"mine", "waiting"}));
  EXPECT_EQ(gKeptCopies.size(), 1u);
}

TEST_F(OtherWriters, AKeptCopyIsMadeOnceAndToldWhenTheSaveSucceeds) {
  const std::string other = AnotherVaultArrives("theirs", "first");
  ASSERT_EQ(mkdir((path + ".tmp").c_str(), 0700), 0);  // our own write fails
  Vault::SaveVault();
  EXPECT_EQ(gSaveErrors, std::vector<std::string>{kSaveFailed});
  EXPECT_TRUE(gKeptCopies.empty()) << "no 'your changes are saved' while they are not";
  EXPECT_EQ(ReadFile(path), other);
  ASSERT_EQ(rmdir((path + ".tmp").c_str()), 0);
  Vault::SaveVault();
  EXPECT_EQ(KeptFiles(), std::vector<std::string>{"kluis.lwv" + kStamp});
  EXPECT_EQ(gKeptCopies, std::vector<std::string>{Told("kluis.lwv" + kStamp)});

  // A second outside change within the same second keeps the first copy as it is.
  const std::string second = AnotherVaultArrives("theirs", "second");
  Vault::SaveVault();
  EXPECT_EQ(KeptFiles(),
            (std::vector<std::string>{"kluis.lwv" + kStamp, "kluis.lwv" + kStamp + "-2"}));
  EXPECT_EQ(ReadFile(path + kStamp), other);
  EXPECT_EQ(ReadFile(path + kStamp + "-2"), second);
  EXPECT_EQ(gKeptCopies.back(), Told("kluis.lwv" + kStamp + "-2"));
}

TEST_F(OtherWriters, AFileReplacedOnPurposeIsNotKept) {
  // A restore puts a backup in place, adopts it, and then saves into it.
  const std::string backup = dir.path + "backup.lwv";
  WriteSmallVault(backup, "old", {{"restored", "", "", ""}});
  const std::string safety = path + ".voor-terugzetten";
  const std::string ours = ReadFile(path);
  WriteFile(safety, ours);
  Vault::CloseVault();
  WriteFile(path, ReadFile(backup));
  Vault::AdoptVaultFileOnDisk(path);
  ASSERT_EQ(Vault::OpenVault(path, "old"), Vault::Ok);
  Vault::SaveVault();
  EXPECT_TRUE(KeptFiles().empty());

  // Putting the safety copy back over a file only we wrote keeps nothing either.
  Vault::CloseVault();
  ASSERT_EQ(Vault::PutFileBackAsVault(safety, path), Vault::Ok);
  EXPECT_EQ(ReadFile(path), ours);
  EXPECT_TRUE(KeptFiles().empty());
  ASSERT_EQ(Vault::OpenVault(path, "ours"), Vault::Ok);

  // But over another program's version it keeps that version first.
  const std::string other = AnotherVaultArrives("theirs", "from the laptop");
  ASSERT_EQ(Vault::PutFileBackAsVault(safety, path), Vault::Ok);
  EXPECT_EQ(ReadFile(path), ours);
  EXPECT_EQ(ReadFile(path + kStamp), other);
  EXPECT_EQ(gKeptCopies, std::vector<std::string>{Told("kluis.lwv" + kStamp)});
  Vault::SaveVault();  // the file put back counts as ours
  EXPECT_EQ(KeptFiles().size(), 1u);
  EXPECT_EQ(Vault::PutFileBackAsVault(dir.path + "missing", path), Vault::FileError);
  EXPECT_EQ(DescriptionsIn(path, "ours"), std::vector<std::string>{"mine"});
  EXPECT_TRUE(gSaveErrors.empty());
}

TEST_F(OtherWriters, AVaultThatAppearsWhileOneIsBeingCreatedIsKept) {
  Vault::CloseVault();
  const std::string fresh = dir.path + "fresh/kluis.lwv";
  ASSERT_EQ(mkdir((dir.path + "fresh").c_str(), 0700), 0);
  WriteSmallVault(fresh, "synced", {{"from the cloud", "", "", ""}});
  const std::string synced = ReadFile(fresh);
  ASSERT_EQ(Vault::CreateVault(fresh, "a new password"), Vault::Ok);
  EXPECT_EQ(ReadFile(fresh + kStamp), synced);
  EXPECT_EQ(gKeptCopies, std::vector<std::string>{Told("kluis.lwv" + kStamp)});
}

TEST(FileIdentity, TellsVersionsApart) {
  TempDir dir;
  const std::string path = dir.path + "f";
  EXPECT_FALSE(Vault::IdentityAt(path).present);
  WriteFile(path, "one");
  const Vault::FileIdentity first = Vault::IdentityAt(path);
  EXPECT_TRUE(first.present);
  EXPECT_EQ(first, Vault::IdentityAt(path));
  // Same size, same inode, written again: only the modification time tells.
  struct timespec later[2] = {{0, UTIME_OMIT},
                              {first.modifiedSeconds, first.modifiedNanoseconds + 1}};
  if (later[1].tv_nsec >= 1000000000) later[1] = {first.modifiedSeconds + 1, 0};
  WriteFile(path, "two");
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), later, 0), 0);
  const Vault::FileIdentity second = Vault::IdentityAt(path);
  EXPECT_EQ(second.inode, first.inode);
  EXPECT_EQ(second.size, first.size);
  EXPECT_NE(second, first);
  // Written again with even the modification time put back: only the change time tells.
  usleep(20000);  // the kernel's change time moves in ticks of a few milliseconds
  WriteFile(path, "two");
  struct timespec back[2] = {{0, UTIME_OMIT}, {second.modifiedSeconds, second.modifiedNanoseconds}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), back, 0), 0);
  const Vault::FileIdentity third = Vault::IdentityAt(path);
  EXPECT_EQ(
      std::tie(third.inode, third.size, third.modifiedSeconds, third.modifiedNanoseconds),
      std::tie(second.inode, second.size, second.modifiedSeconds, second.modifiedNanoseconds));
  EXPECT_NE(third, second);
}

TEST_F(OtherWriters, AnotherComputersVersionIsReadWithTheHeldKey) {
  struct Case {
    const char* what;
    std::function<void()> arrive;
    Vault::VaultError read;
    bool otherKey;
  };
  const std::vector<Entry> laptop = {{"mine", "", "", ""}, {"from the laptop", "", "", ""}};
  const Case cases[] = {
      {"saved with the same key", [&] { SavedElsewhere(laptop); }, Vault::Ok, false},
      {"same key, a byte changed",
       [&] {
         SavedElsewhere(laptop);
         std::string bytes = ReadFile(path);
         bytes[70] ^= 1;
         WriteFile(path, bytes);
       },
       Vault::WrongPassword, false},
      {"not a vault", [&] { WriteFile(path, "not a vault at all"); }, Vault::NotAVault, false},
      {"saved with another password", [&] { AnotherVaultArrives("theirs", "x"); },
       Vault::WrongPassword, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.arrive();
    EXPECT_TRUE(Vault::VaultFileChanged());
    std::vector<Entry> list;
    Vault::FileIdentity seen;
    bool otherKey = !c.otherKey;
    EXPECT_EQ(Vault::ReadWithHeldKey(path, list, seen, otherKey), c.read);
    EXPECT_EQ(otherKey, c.otherKey);
    if (c.read == Vault::Ok) {
      EXPECT_EQ(list, laptop);
      EXPECT_EQ(seen, Vault::IdentityAt(path));
    }
    Vault::WipeEntries(list);
  }
}

TEST_F(OtherWriters, ATakenVersionBecomesTheKnownOneAndKeepsNoCopy) {
  const std::string first = ReadFile(path);
  Vault::Entries().push_back({"added here", "", "", ""});
  Vault::SaveVault();
  EXPECT_TRUE(Vault::IsKnownVersion(path));
  EXPECT_FALSE(Vault::VaultFileChanged());

  // Their version merged with ours is saved over it without keeping it.
  SavedElsewhere({{"mine", "", "", ""}, {"laptop", "", "", ""}});
  std::vector<Entry> theirs;
  Vault::FileIdentity seen;
  bool otherKey = false;
  ASSERT_EQ(Vault::ReadWithHeldKey(path, theirs, seen, otherKey), Vault::Ok);
  std::vector<Entry> merged = {
      {"mine", "", "", ""}, {"added here", "", "", ""}, {"laptop", "", "", ""}};
  const std::string theirsOnDisk = ReadFile(path);
  EXPECT_EQ(Vault::TakeVersion(std::move(theirs), std::move(merged), seen, nullptr), Vault::Ok);
  WriteFile(dir.path + "theirs as taken", theirsOnDisk);
  EXPECT_TRUE(Vault::IsKnownVersion(path));
  EXPECT_FALSE(Vault::IsKnownVersion(dir.path + "theirs as taken"));
  EXPECT_TRUE(Vault::IsOwnVersion(dir.path + "theirs as taken"));
  EXPECT_EQ(DescriptionsIn(path, "ours"),
            (std::vector<std::string>{"mine", "added here", "laptop"}));
  EXPECT_FALSE(Vault::VaultFileChanged());

  // Taken as read, it is not written again.
  SavedElsewhere({{"only this", "", "", ""}});
  const std::string arrived = ReadFile(path);
  ASSERT_EQ(Vault::ReadWithHeldKey(path, theirs, seen, otherKey), Vault::Ok);
  merged = theirs;
  EXPECT_EQ(Vault::TakeVersion(std::move(theirs), std::move(merged), seen, nullptr), Vault::Ok);
  EXPECT_EQ(ReadFile(path), arrived);

  // Read with its own password, its key is the vault's from then on.
  AnotherVaultArrives("theirs", "from the laptop");
  Vault::KeyState keys{};
  ASSERT_EQ(Vault::ReadVaultFile(path, "theirs", keys, theirs, &seen), Vault::Ok);
  merged = {{"from the laptop", "", "", ""}, {"added after", "", "", ""}};
  EXPECT_EQ(Vault::TakeVersion(std::move(theirs), std::move(merged), seen, &keys), Vault::Ok);
  EXPECT_EQ(keys.key, nullptr);
  EXPECT_EQ(DescriptionsIn(path, "theirs"),
            (std::vector<std::string>{"from the laptop", "added after"}));
  EXPECT_TRUE(KeptFiles().empty());
  EXPECT_TRUE(gKeptCopies.empty());
  EXPECT_TRUE(gSaveErrors.empty());

  // Versions read or written since the open are known under any name; others are not.
  WriteFile(dir.path + "copy of the first", first);
  WriteFile(dir.path + "copy of now", ReadFile(path));
  WriteSmallVault(dir.path + "never seen", "ours", {{"mine", "", "", ""}});
  EXPECT_TRUE(Vault::IsOwnVersion(dir.path + "copy of the first"));
  EXPECT_TRUE(Vault::IsOwnVersion(dir.path + "copy of now"));
  EXPECT_FALSE(Vault::IsOwnVersion(dir.path + "never seen"));
  EXPECT_FALSE(Vault::IsOwnVersion(dir.path + "missing"));
}

}  // namespace

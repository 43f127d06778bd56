// The codes every failing procedure of the vault core returns; ErrorText (store.h) words them.
#pragma once

namespace Vault {

enum VaultError : int {
  Ok = 0,
  NoSodium = 1,
  FileError = 2,
  NotAVault = 3,
  WrongPassword = 4,
  EmptyPassword = 5,
  OutOfMemory = 6,
  NotOpen = 7,
};

}  // namespace Vault

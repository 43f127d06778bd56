// The vault core: libsodium binding, vault file format, JSON payload and the open vault.
// No GTK here; everything runs on the caller's thread and reports failures as codes.
// This header gathers the families' public headers, for callers that use several of them;
// the payload's parts stay inside the core.
#pragma once

#include "vault/entries.h"
#include "vault/file_guard.h"
#include "vault/file_names.h"
#include "vault/format.h"
#include "vault/payload.h"
#include "vault/sodium.h"
#include "vault/store.h"
#include "vault/vault_error.h"

// The vault core: libsodium binding, vault file format, JSON payload and the open vault.
// No GTK here; everything runs on the caller's thread and reports failures as codes.
// This header gathers the families' own headers, for callers that use several of them.
#pragma once

#include "vault/entries.h"
#include "vault/file_guard.h"
#include "vault/file_names.h"
#include "vault/format.h"
#include "vault/json_text.h"
#include "vault/payload.h"
#include "vault/payload_reader.h"
#include "vault/payload_shape.h"
#include "vault/sodium.h"
#include "vault/store.h"
#include "vault/vault_error.h"

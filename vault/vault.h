// The vault core: libsodium binding, vault file format, JSON payload and the open vault.
// No GTK here; everything runs on the caller's thread and reports failures as codes.
// Callers outside the core include this one header; each family has its own.
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

/* Stands in as libsodium.so.26: forwards to the real libsodium.so.23 and records which
   buffers held keys, password copies and plaintext, and which buffers were wiped, so that
   tests can prove every secret is wiped. It can also make key derivation fail. */
#include <dlfcn.h>
#include <stddef.h>
#include <stdint.h>

enum { kDerivedKey = 1, kPasswordCopy = 2, kPlaintextOut = 3, kPlaintextIn = 4, kWipe = 5 };

struct LockwellRecord {
  int kind;
  const void* pointer;
  size_t length;
};

#define MAX_RECORDS 4096
static struct LockwellRecord records[MAX_RECORDS];
static int record_count = 0;
int lockwell_fail_pwhash = 0;

static void* real = NULL;
static int (*real_init)(void);
static int (*real_pwhash)(unsigned char*, unsigned long long, const char*, unsigned long long,
                          const unsigned char*, unsigned long long, size_t, int);
static int (*real_encrypt)(unsigned char*, unsigned long long*, const unsigned char*,
                           unsigned long long, const unsigned char*, unsigned long long,
                           const unsigned char*, const unsigned char*, const unsigned char*);
static int (*real_decrypt)(unsigned char*, unsigned long long*, unsigned char*,
                           const unsigned char*, unsigned long long, const unsigned char*,
                           unsigned long long, const unsigned char*, const unsigned char*);
static void (*real_random)(void*, size_t);
static uint32_t (*real_uniform)(uint32_t);
static void (*real_memzero)(void*, size_t);

static void record(int kind, const void* pointer, size_t length) {
  if (record_count < MAX_RECORDS) {
    records[record_count].kind = kind;
    records[record_count].pointer = pointer;
    records[record_count].length = length;
    ++record_count;
  }
}

int lockwell_record_count(void) { return record_count; }
const struct LockwellRecord* lockwell_record(int i) { return &records[i]; }
void lockwell_records_reset(void) { record_count = 0; }

int sodium_init(void) {
  real = dlopen("libsodium.so.23", RTLD_NOW | RTLD_LOCAL);
  if (real == NULL) return -1;
  real_init = dlsym(real, "sodium_init");
  real_pwhash = dlsym(real, "crypto_pwhash");
  real_encrypt = dlsym(real, "crypto_aead_xchacha20poly1305_ietf_encrypt");
  real_decrypt = dlsym(real, "crypto_aead_xchacha20poly1305_ietf_decrypt");
  real_random = dlsym(real, "randombytes_buf");
  real_uniform = dlsym(real, "randombytes_uniform");
  real_memzero = dlsym(real, "sodium_memzero");
  return real_init();
}

int crypto_pwhash(unsigned char* out, unsigned long long outlen, const char* passwd,
                  unsigned long long passwdlen, const unsigned char* salt,
                  unsigned long long opslimit, size_t memlimit, int alg) {
  record(kDerivedKey, out, outlen);
  record(kPasswordCopy, passwd, passwdlen);
  if (lockwell_fail_pwhash) return -1;
  return real_pwhash(out, outlen, passwd, passwdlen, salt, opslimit, memlimit, alg);
}

int crypto_aead_xchacha20poly1305_ietf_encrypt(unsigned char* c, unsigned long long* clen,
                                               const unsigned char* m, unsigned long long mlen,
                                               const unsigned char* ad, unsigned long long adlen,
                                               const unsigned char* nsec, const unsigned char* npub,
                                               const unsigned char* k) {
  record(kPlaintextIn, m, mlen);
  return real_encrypt(c, clen, m, mlen, ad, adlen, nsec, npub, k);
}

int crypto_aead_xchacha20poly1305_ietf_decrypt(unsigned char* m, unsigned long long* mlen,
                                               unsigned char* nsec, const unsigned char* c,
                                               unsigned long long clen, const unsigned char* ad,
                                               unsigned long long adlen, const unsigned char* npub,
                                               const unsigned char* k) {
  record(kPlaintextOut, m, clen >= 16 ? clen - 16 : 0);
  return real_decrypt(m, mlen, nsec, c, clen, ad, adlen, npub, k);
}

void randombytes_buf(void* buf, size_t size) { real_random(buf, size); }
/* Every bound asked of randombytes_uniform, so that tests can count and check the draws. */
#define MAX_UNIFORM 1024
uint32_t lockwell_uniform_bounds[MAX_UNIFORM];
int lockwell_uniform_count = 0;

uint32_t randombytes_uniform(uint32_t upper) {
  if (lockwell_uniform_count < MAX_UNIFORM) lockwell_uniform_bounds[lockwell_uniform_count] = upper;
  ++lockwell_uniform_count;
  return real_uniform(upper);
}

void sodium_memzero(void* pnt, size_t len) {
  record(kWipe, pnt, len);
  real_memzero(pnt, len);
}

/* A stand-in for libsodium, built several times with different FAKE_* settings and
   file names, so that the loader's name order and symbol rules can be observed. */
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#ifndef FAKE_ID
#define FAKE_ID "fake"
#endif
#ifndef FAKE_INIT_RESULT
#define FAKE_INIT_RESULT 0
#endif

int lockwell_fake_init_calls = 0;
int lockwell_fake_uniform_calls = 0;

const char* lockwell_fake_id(void) { return FAKE_ID; }

int sodium_init(void) {
  ++lockwell_fake_init_calls;
  return FAKE_INIT_RESULT;
}

int crypto_pwhash(unsigned char* out, unsigned long long outlen, const char* passwd,
                  unsigned long long passwdlen, const unsigned char* salt,
                  unsigned long long opslimit, size_t memlimit, int alg) {
  (void)passwd; (void)passwdlen; (void)salt; (void)opslimit; (void)memlimit; (void)alg;
  memset(out, 0x5a, outlen);
  return 0;
}

int crypto_aead_xchacha20poly1305_ietf_encrypt(unsigned char* c, unsigned long long* clen,
                                               const unsigned char* m, unsigned long long mlen,
                                               const unsigned char* ad, unsigned long long adlen,
                                               const unsigned char* nsec,
                                               const unsigned char* npub, const unsigned char* k) {
  (void)ad; (void)adlen; (void)nsec; (void)npub; (void)k;
  memcpy(c, m, mlen);
  memset(c + mlen, 0, 16);
  *clen = mlen + 16;
  return 0;
}

int crypto_aead_xchacha20poly1305_ietf_decrypt(unsigned char* m, unsigned long long* mlen,
                                               unsigned char* nsec, const unsigned char* c,
                                               unsigned long long clen, const unsigned char* ad,
                                               unsigned long long adlen,
                                               const unsigned char* npub, const unsigned char* k) {
  (void)nsec; (void)ad; (void)adlen; (void)npub; (void)k;
  if (clen < 16) return -1;
  memcpy(m, c, clen - 16);
  *mlen = clen - 16;
  return 0;
}

void randombytes_buf(void* buf, size_t size) { memset(buf, 7, size); }

#ifndef FAKE_OMIT_UNIFORM
uint32_t randombytes_uniform(uint32_t upper) {
  ++lockwell_fake_uniform_calls;
  return upper - 1;
}
#endif

void sodium_memzero(void* pnt, size_t len) { memset(pnt, 0, len); }

#ifndef VUZO_CRYPTO_AESCBC_H
#define VUZO_CRYPTO_AESCBC_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Status values of vadr_aes_cbc_decrypt besides 0 (success). */
enum {
    VADR_AES_ERROR = -4300,          /* bad argument, key length, buffer too small, library failure */
    VADR_AES_ALIGNMENT_ERROR = -4303, /* ciphertext empty or not a multiple of 16 bytes */
    VADR_AES_DECODE_ERROR = -4304,   /* PKCS#7 padding is wrong */
};

/* One-shot AES-CBC decryption with PKCS#7 padding removed. The key length
 * (16 or 32 bytes) selects AES-128 or AES-256; iv is 16 bytes. On success the
 * number of plaintext bytes is stored in *out_moved and 0 is returned. The
 * output capacity must be at least in_len bytes. */
int32_t vadr_aes_cbc_decrypt(const void *in, size_t in_len, const void *key, size_t key_len, const void *iv,
                             void *out, size_t out_capacity, size_t *out_moved);

#ifdef __cplusplus
}
#endif

#endif

#include "AesCbc.h"

#include <openssl/err.h>
#include <openssl/evp.h>

/* EVP takes int lengths; larger inputs are fed in block-aligned chunks. */
#define VADR_CHUNK ((size_t)1 << 30)

int32_t vadr_aes_cbc_decrypt(const void *in, size_t in_len, const void *key, size_t key_len, const void *iv,
                             void *out, size_t out_capacity, size_t *out_moved)
{
    const EVP_CIPHER *cipher;
    EVP_CIPHER_CTX *ctx;
    const unsigned char *src = (const unsigned char *)in;
    unsigned char *dst = (unsigned char *)out;
    size_t written = 0;
    size_t consumed = 0;
    int32_t status = 0;
    int len = 0;

    if (out_moved != NULL)
        *out_moved = 0;
    if (key == NULL || iv == NULL || out_moved == NULL)
        return VADR_AES_ERROR;
    if (key_len == 16)
        cipher = EVP_aes_128_cbc();
    else if (key_len == 32)
        cipher = EVP_aes_256_cbc();
    else
        return VADR_AES_ERROR;
    if (in_len == 0 || in_len % 16 != 0)
        return VADR_AES_ALIGNMENT_ERROR;
    if (in == NULL || out == NULL || out_capacity < in_len)
        return VADR_AES_ERROR;

    ctx = EVP_CIPHER_CTX_new();
    if (ctx == NULL)
        return VADR_AES_ERROR;
    if (EVP_DecryptInit_ex(ctx, cipher, NULL, (const unsigned char *)key, (const unsigned char *)iv) != 1) {
        status = VADR_AES_ERROR;
        goto done;
    }
    while (consumed < in_len) {
        size_t chunk = in_len - consumed;
        if (chunk > VADR_CHUNK)
            chunk = VADR_CHUNK;
        if (EVP_DecryptUpdate(ctx, dst + written, &len, src + consumed, (int)chunk) != 1 || len < 0) {
            status = VADR_AES_ERROR;
            goto done;
        }
        written += (size_t)len;
        consumed += chunk;
    }
    /* The last block is held back by EVP until the padding is checked. */
    if (EVP_DecryptFinal_ex(ctx, dst + written, &len) != 1 || len < 0) {
        status = VADR_AES_DECODE_ERROR;
        goto done;
    }
    written += (size_t)len;
    *out_moved = written;

done:
    EVP_CIPHER_CTX_free(ctx);
    if (status != 0)
        ERR_clear_error(); /* keep the thread's error queue clean for later callers */
    return status;
}

/* A compiler library that lacks most of its exports: the client must refuse
 * it and name the first function it misses. */
#include "kn4edit2.h"

void CercaFunzione(const char *parola, char *nome, int32_t *indice)
{
    (void)parola;
    if (nome)
        nome[0] = '\0';
    if (indice)
        *indice = -1;
}

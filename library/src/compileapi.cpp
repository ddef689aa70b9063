// The compile entry point of libkn4edit2.so.
#include "kn4edit2.h"

#include "compiler.h"

extern "C" KN4EDIT2_API int32_t Compilazione(const char *pannello, const char *cartella, char *resoconto)
{
    return kn4::compiler::sharedCompiler().compile(pannello, cartella, resoconto);
}

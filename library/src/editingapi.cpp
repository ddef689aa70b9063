// The editing exports of the library: thin C wrappers over the command
// catalogue. They read NULL texts as empty, skip NULL outputs, and write at
// most KN4_TEXT_SIZE bytes into a text buffer.

#include "kn4edit2.h"

#include "catalogue.h"

#include <cstring>
#include <string_view>

using namespace kn4::compiler;

namespace {

std::string_view textOf(const char *text)
{
    return text ? std::string_view(text) : std::string_view();
}

// Writes the text and zero-fills the rest of the caller's 32 bytes, so the
// caller never sees bytes of an earlier text after the new one.
void writeText(const EditText &text, char *out)
{
    if (out)
        std::memcpy(out, text.bytes().data(), kTextSize);
}

void writeText(std::string_view text, char *out)
{
    writeText(EditText(text), out);
}

void writeInteger(std::int32_t value, std::int32_t *out)
{
    if (out)
        *out = value;
}

void clickField(std::int32_t indice, Field field, Direction direction, const char *testo,
                char *risultato)
{
    writeText(click(indice, field, direction, textOf(testo)), risultato);
}

} // namespace

extern "C" {

KN4EDIT2_API void CercaFunzione(const char *parola, char *nome, int32_t *indice)
{
    const std::int32_t index = findCommand(textOf(parola));
    writeText(commandWord(index), nome);
    writeInteger(index, indice);
}

KN4EDIT2_API void GetPosizioneParametri(int32_t indice, int32_t *p1Inizio, int32_t *p1Fine,
                                        int32_t *p2Inizio, int32_t *p2Fine)
{
    const ParameterPositions positions = parameterPositions(indice);
    writeInteger(positions.p1First, p1Inizio);
    writeInteger(positions.p1Last, p1Fine);
    writeInteger(positions.p2First, p2Inizio);
    writeInteger(positions.p2Last, p2Fine);
}

KN4EDIT2_API void GetDefault(int32_t indice, char *p1, char *p2, char *intervallo,
                             char *ripetizione)
{
    const DefaultTexts defaults = defaultTexts(indice);
    writeText(defaults.p1, p1);
    writeText(defaults.p2, p2);
    writeText(defaults.intervallo, intervallo);
    writeText(defaults.ripetizione, ripetizione);
}

KN4EDIT2_API void ClickSxP1(int32_t indice, const char *testo, char *risultato)
{
    clickField(indice, Field::P1, Direction::Up, testo, risultato);
}

KN4EDIT2_API void ClickDxP1(int32_t indice, const char *testo, char *risultato)
{
    clickField(indice, Field::P1, Direction::Down, testo, risultato);
}

KN4EDIT2_API void ClickSxP2(int32_t indice, const char *testo, char *risultato)
{
    clickField(indice, Field::P2, Direction::Up, testo, risultato);
}

KN4EDIT2_API void ClickDxP2(int32_t indice, const char *testo, char *risultato)
{
    clickField(indice, Field::P2, Direction::Down, testo, risultato);
}

KN4EDIT2_API void ClickSxIntervallo(int32_t indice, const char *testo, char *risultato)
{
    clickField(indice, Field::Intervallo, Direction::Up, testo, risultato);
}

KN4EDIT2_API void ClickDxIntervallo(int32_t indice, const char *testo, char *risultato)
{
    clickField(indice, Field::Intervallo, Direction::Down, testo, risultato);
}

KN4EDIT2_API void ClickSxRipetizione(int32_t indice, const char *testo, char *risultato)
{
    clickField(indice, Field::Ripetizione, Direction::Up, testo, risultato);
}

KN4EDIT2_API void ClickDxRipetizione(int32_t indice, const char *testo, char *risultato)
{
    clickField(indice, Field::Ripetizione, Direction::Down, testo, risultato);
}

KN4EDIT2_API void SimulaFunzione(int32_t indice, Kn4Simulazione *record)
{
    if (record)
        simulate(indice, *record);
}

} // extern "C"

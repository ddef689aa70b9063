/*
 * kn4edit2.h -- the interface of the compiler library libkn4edit2.so.
 *
 * The library owns the command language of the knitting machine. It answers
 * the panel editor's questions about commands and their parameters, and it
 * compiles a panel file into the virtual machine code that travels with the
 * panel to the machine's controller.
 *
 * Conventions shared by every function:
 *
 *  - Texts are zero-terminated 8-bit strings in Windows-1252. A NULL text
 *    argument is read as the empty text.
 *  - Output buffers belong to the caller. Each function states how large a
 *    buffer must be, including the space for the terminating zero byte; the
 *    library never writes beyond that size. A NULL output pointer is allowed:
 *    that output is simply not written.
 *  - Numbers inside texts are read leniently: optional leading blanks, an
 *    optional sign, digits; reading stops at the first other character, and a
 *    text without digits reads as 0 (" 1" is 1, "-4" is -4, "2S" is 2).
 *  - A command index is the number 0..74 that CercaFunzione gives for a
 *    command word. The index -1, and any other value outside 0..74, selects
 *    the neutral behaviour (no parameters, generic defaults, no change, no
 *    effect).
 *  - The editing functions keep no state between calls and touch no file.
 *    Compilazione keeps the keyword table between calls (see there) and uses
 *    static storage: one compilation at a time, from one thread.
 *
 * The library exports exactly the thirteen functions below.
 */
#ifndef KN4EDIT2_H
#define KN4EDIT2_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(KN4EDIT2_BUILDING)
#define KN4EDIT2_API __attribute__((visibility("default")))
#else
#define KN4EDIT2_API
#endif

/* Size of every editing text buffer (command names, parameter and cycle
 * texts), terminating zero included. The longest text the library writes is
 * 21 bytes (twenty hyphens and the zero). */
#define KN4_TEXT_SIZE 32

/* Size of the compile report buffer: at most 8191 characters and the zero. */
#define KN4_REPORT_SIZE 8192

/* Number of commands in the catalogue; valid indices are 0..KN4_COMMANDS-1. */
#define KN4_COMMANDS 75

/* Results of Compilazione. */
#define KN4_COMPILED            0 /* compiled, no errors; panel rewritten with its code */
#define KN4_COMPILED_WARNINGS   6 /* compiled, only non-grave errors; panel rewritten with its code */
#define KN4_GRAVE_ERRORS        5 /* grave errors; panel rewritten with its header and an empty code */
#define KN4_NOT_A_SOURCE        3 /* not compiled, panel unchanged: no "SORGENTE.KN4" marker line,
                                     the panel cannot be opened, or the compiled panel could not
                                     be written (the report then ends with the line
                                     "impossibile scrivere il pannello compilato: pannello invariato",
                                     which a full report makes room for) */

/* The simulation record exchanged with SimulaFunzione: eight 32-bit signed
 * integers, in this order. */
typedef struct Kn4Simulazione {
    int32_t p1;        /* in: value of the row's P1 field */
    int32_t p2;        /* in: value of the row's P2 field */
    int32_t lato;      /* in: 0 the command acts on the right side (D), any other value the left (S) */
    int32_t bordoDx;   /* out: change of the outer edge on the right, in needles */
    int32_t bordoSx;   /* out: change of the outer edge on the left */
    int32_t scolloDx;  /* out: change of the neckline edge on the right */
    int32_t scolloSx;  /* out: change of the neckline edge on the left */
    int32_t segno;     /* out: mark code the editor shows on the row; 0 for none */
} Kn4Simulazione;

/*
 * CercaFunzione -- looks a command word up in the catalogue.
 *
 *  parola  the word; compared with each command name ignoring letter case,
 *          the first equal entry wins.
 *  nome    output, KN4_TEXT_SIZE bytes: the command's family word when it has
 *          one (AUMENTA, PETTINI_?, TRECCIA_?), else its name; the remainder
 *          of the 32 bytes is filled with zero bytes. Unknown word: "".
 *  indice  output: the index 0..74, or -1 for an unknown (or empty) word.
 */
KN4EDIT2_API void CercaFunzione(const char *parola, char *nome, int32_t *indice);

/*
 * GetPosizioneParametri -- where a command's parameters stand in the
 * editor's row text: the 0-based first and last character columns of the P1
 * field and of the P2 field, -1 where the field does not exist.
 */
KN4EDIT2_API void GetPosizioneParametri(int32_t indice, int32_t *p1Inizio, int32_t *p1Fine,
                                        int32_t *p2Inizio, int32_t *p2Fine);

/*
 * GetDefault -- the texts a new row of this command starts with.
 *
 *  p1, p2, intervallo, ripetizione  outputs, KN4_TEXT_SIZE bytes each; each
 *          receives its default text, zero-filled to 32 bytes. Non-negative
 *          P1/P2 values carry one leading blank (" 1"); the cycle fields do
 *          not ("1").
 */
KN4EDIT2_API void GetDefault(int32_t indice, char *p1, char *p2, char *intervallo,
                             char *ripetizione);

/*
 * The click operations: the new text of a field after a left click (Sx, one
 * step up) or a right click (Dx, one step down) on it.
 *
 *  testo      the field's current text.
 *  risultato  output, KN4_TEXT_SIZE bytes: the new text, or "" when the field
 *             cannot move in that direction (the caller then leaves it as it
 *             is). Wrapping values are written with one leading blank when
 *             not negative (" 7", "-7"); counting values plainly ("7").
 */
KN4EDIT2_API void ClickSxP1(int32_t indice, const char *testo, char *risultato);
KN4EDIT2_API void ClickDxP1(int32_t indice, const char *testo, char *risultato);
KN4EDIT2_API void ClickSxP2(int32_t indice, const char *testo, char *risultato);
KN4EDIT2_API void ClickDxP2(int32_t indice, const char *testo, char *risultato);
KN4EDIT2_API void ClickSxIntervallo(int32_t indice, const char *testo, char *risultato);
KN4EDIT2_API void ClickDxIntervallo(int32_t indice, const char *testo, char *risultato);
KN4EDIT2_API void ClickSxRipetizione(int32_t indice, const char *testo, char *risultato);
KN4EDIT2_API void ClickDxRipetizione(int32_t indice, const char *testo, char *risultato);

/*
 * SimulaFunzione -- what one row of this command does to the edges of the
 * piece in the editor's running simulation. The five output fields of
 * *record are first set to 0, then the command's effect fills them; the
 * three input fields are left as they are. A NULL record does nothing.
 */
KN4EDIT2_API void SimulaFunzione(int32_t indice, Kn4Simulazione *record);

/*
 * Compilazione -- compiles a panel file in place.
 *
 *  pannello   path of the panel file. Its source part is everything after
 *             the first line that begins with "SORGENTE.KN4" CR LF.
 *  cartella   working directory: the keyword file "VUZUDO.KEY" is read from
 *             it (found ignoring letter case) into the keyword table at the
 *             start of every compilation; the new panel content is written
 *             first into "VUZUDO.TMP" in it. Directory and name are joined
 *             with one "/" (a trailing "/" gives "//", which is fine).
 *             A missing keyword file keeps the words of the last reading
 *             (or the built-in ones).
 *  resoconto  output, KN4_REPORT_SIZE bytes: the compile report, lines ended
 *             by CR LF, at most 8191 characters (longer text is cut).
 *             The source reader writes one line for each error it meets,
 *             with one exception: once the command memory is full (999
 *             commands), the first command refused is reported as
 *             "memoria comandi esaurita" with one grave error, and the
 *             commands refused after it add no further line and no further
 *             error. A line for each would fill the report with equal lines
 *             and cut off its summary.
 *
 * Result: KN4_COMPILED (0), KN4_COMPILED_WARNINGS (6), KN4_GRAVE_ERRORS (5)
 * or KN4_NOT_A_SOURCE (3), as described with those codes above.
 *
 * The panel file is replaced by one atomic rename of the complete new file:
 * if the new content cannot be written whole (full disk, write error,
 * unwritable working directory, a VUZUDO.TMP that cannot be replaced), the
 * panel keeps its old content byte for byte, the report ends with the line
 * "impossibile scrivere il pannello compilato: pannello invariato" and the
 * result is KN4_NOT_A_SOURCE (3), whatever the compilation found.
 */
KN4EDIT2_API int32_t Compilazione(const char *pannello, const char *cartella, char *resoconto);

#ifdef __cplusplus
}
#endif

#endif /* KN4EDIT2_H */

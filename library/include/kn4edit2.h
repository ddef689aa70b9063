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
 *    static storage: one compilation at a time, from one thread. Separate
 *    processes may compile at once, different panels or the same one (see
 *    Compilazione).
 *
 * The library exports exactly the thirteen functions below.
 */
#ifndef KN4EDIT2_H
#define KN4EDIT2_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Version of this interface. Within one major version the thirteen functions,
 * their arguments, buffer sizes, result codes, mark codes and report forms
 * stay as documented here; a minor version only adds documentation or
 * values a caller may ignore. */
#define KN4EDIT2_VERSION_MAJOR 2
#define KN4EDIT2_VERSION_MINOR 2
#define KN4EDIT2_VERSION (KN4EDIT2_VERSION_MAJOR * 100 + KN4EDIT2_VERSION_MINOR)

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
#define KN4_NOT_A_SOURCE        3 /* not compiled, panel unchanged by the compilation: no
                                     "SORGENTE.KN4" marker line, the panel cannot be opened, no
                                     readable keyword file, a read of the panel failed, the panel
                                     was changed by someone else during the compilation, or the
                                     compiled panel could not be written; the report then ends
                                     with a line that says which (see Compilazione), and a full
                                     report makes room for it */

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
    int32_t segno;     /* out: mark code (KN4_MARK_... below); 0 for none */
} Kn4Simulazione;

/* The mark codes SimulaFunzione writes into segno. The editor records a mark
 * above 0 as a message event of its running simulation; the codes decide
 * what the knit drawing shows and which row messages and comb checks follow.
 * Commands not named here give 0. */
#define KN4_MARK_NONE             0
/* RIGATO (stripes): its P1 as it stands, normally 1..8: from this course on
 * the piece is knitted with the yarn of colour box P1 - 1. A P1 outside
 * 1..8 comes back unchanged (the caller ignores what it cannot use). */
#define KN4_MARK_STRIPE_FIRST     1
#define KN4_MARK_STRIPE_LAST      8
#define KN4_MARK_STOP            10 /* STOP: a mark across the whole course */
#define KN4_MARK_SPECIAL_COURSE  11 /* GIROLENTE, GIROFITTO, GIRO_MEDIO, PUNTO_M */
#define KN4_MARK_SHAPING_RIGHT   20 /* CALATO on the right; both-edge shaping:
                                       CALATO_3, CALATO_4, NDL_FASH_3, NDL_FASH_4,
                                       AUM_PUNZONI */
#define KN4_MARK_SHAPING_LEFT    21 /* CALATO on the left */
#define KN4_MARK_NECKLINE_RIGHT  30 /* SCOLLO on the right, PUNZ_D, PUNZ, PUNZ_,
                                       SEGNACENTRO */
#define KN4_MARK_NECKLINE_LEFT   31 /* SCOLLO on the left, PUNZ_S, PNZ_S */
#define KN4_MARK_CABLE_RIGHT     32 /* TRECCIA_DES */
#define KN4_MARK_CABLE_LEFT      33 /* TRECCIA_SIN */
#define KN4_MARK_CABLE5_RIGHT    34 /* TRECCIA_5DES */
#define KN4_MARK_CABLE5_LEFT     35 /* TRECCIA_5SIN */
/* The comb commands: the comb state they set (bit 1 the right side, bit 2
 * the left side) is mark - 39, and 0 for KN4_MARK_COMB_OUT. */
#define KN4_MARK_COMB_RIGHT      40 /* PET_DESTRO: comb state 1 */
#define KN4_MARK_COMB_LEFT       41 /* PET_SINISTRO: comb state 2 */
#define KN4_MARK_COMB_IN         42 /* PETTINI_DENTRO: comb state 3 */
#define KN4_MARK_COMB_OUT        43 /* PETTINI_FUORI: comb state 0 */

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
 *             start of every compilation. Directory and name are joined
 *             with one "/" (a trailing "/" gives "//", which is fine).
 *             Nothing is written into it. Without a keyword file there, or
 *             when it cannot be read whole, nothing is compiled: the result
 *             is KN4_NOT_A_SOURCE (3), the panel is not touched, the table
 *             keeps its words, and the report is the banner and one of
 *               "file VUZUDO.KEY non trovato: pannello invariato"
 *               "impossibile leggere il file VUZUDO.KEY (REASON): pannello invariato"
 *             (REASON the system's text, such as "Input/output error").
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
 * The panel is opened once, a regular file only (a folder or a FIFO is
 * refused at once). When it cannot be opened the report is the banner,
 * "impossibile aprire il pannello (REASON)" and "parte non presente in forma
 * sorgente"; the result is KN4_NOT_A_SOURCE (3).
 *
 * The panel file is replaced by one atomic rename of the complete new file,
 * written first into a temporary file of its own beside the panel
 * ("NAME.XXXXXX.kn4tmp", six random letters and digits, created exclusively,
 * never through a link), with the panel's file mode. A panel path that is a
 * symbolic link is followed: the file it points to is replaced and the link
 * stays. Whatever else happens the panel keeps its old content byte for
 * byte, the result is KN4_NOT_A_SOURCE (3) whatever the compilation found,
 * and the report ends with one of these lines (a full report makes room):
 *
 *  - a read of the panel failed (marker search, source, or the copy of the
 *    source part); a failed read is never taken for the end of the file:
 *      "errore di lettura del pannello (REASON): pannello invariato"
 *  - the panel is no longer the file the compilation read (someone saved
 *    or replaced it meanwhile; checked right before the rename by device,
 *    inode, size and time of change): nothing is written, their content
 *    stays:
 *      "pannello modificato durante la compilazione"
 *  - the new content could not be written whole (full disk, write error, a
 *    failed flush to disk, a panel folder that is not writable):
 *      "impossibile scrivere il pannello compilato: pannello invariato"
 *
 * Two processes compiling different panels at once each get their own
 * panel; two compiling the same panel leave one whole compiled panel (the
 * later one may end with "pannello modificato durante la compilazione").
 */
KN4EDIT2_API int32_t Compilazione(const char *pannello, const char *cartella, char *resoconto);

/*
 * The compile report written by Compilazione, line by line (every line ends
 * with CR LF; %s words are the keyword file's words, in lower case in the
 * summaries):
 *
 *  1. "VUZUDO v4.4", the banner.
 *  2. Without a source part: "parte non presente in forma sorgente", and the
 *     report ends there.
 *  3. The source reader's messages, in source line order, each
 *     "-%5u <text>": a hyphen, the source line number right-aligned in five
 *     characters, a blank and the message ("-   12 comando errato XYZ").
 *     Some messages continue on a second line that begins with seven blanks
 *     ("       assunto 1D").
 *  4. The reader's summary: an empty line, " %5u linee processate",
 *     " %5u errori non gravi", " %5u errori gravi", an empty line, then
 *     "tipo T, taglia S, parte P composta da N definizioni",
 *     "frontura WD, densita D", "predisposizione N, uscita N",
 *     "costina (bordo) RD LS, scollo RD LS", and an empty line.
 *  5. Only without grave reader errors: the code generator's messages, each
 *     ".%5u <text>" (a full stop and the step number in five characters),
 *     then an empty line, "fine compilazione al passo S+E, parte di maglia
 *     di C righe", "occupazione memoria comandi F/3000, memoria telaio
 *     virtuale L/10000" and an empty line; written also when generation
 *     failed, with the values reached.
 *  6. Only when generation succeeded: the code simulation's messages
 *     (".%5u <text>" with a continuation line), an empty line,
 *     "fine simulazione alla riga C", "bordo RD LS, scollo RD LS",
 *     "massimo bordo RD LS, minimo tra bordo e scollo RD LS", an empty line.
 *
 * A report longer than 8191 characters is cut there, without notice.
 */

#ifdef __cplusplus
}
#endif

#endif /* KN4EDIT2_H */

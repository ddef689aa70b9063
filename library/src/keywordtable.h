#pragma once

#include "linereader.h"

#include "kn4/fileidentity.h"

#include <cstddef>

namespace kn4::compiler {

// The 46 slots of the compiler's vocabulary. Each slot holds the word the
// source reader recognises for one fixed role of the language.
enum Slot : int {
    kDefinizione = 0,
    kScollo = 1, // the command word
    kRientro = 2,
    kCalato = 3,
    kLiscio = 4,
    kRigato = 5,
    kAumentazione = 6,
    kSegnacentro = 7,
    kPunzonato = 8, // jump-and-needle, class 1
    kStop = 9,
    kGirolente = 10,
    kProduco = 11,
    kNonProduco = 12,
    kUscita = 13,
    kPredisposizione = 14,
    kScolloHeader = 15, // the header word, separate from the command word
    kCostina = 16,
    kDensita = 17,
    kFrontura = 18,
    kParte = 19,
    kTaglia = 20,
    kTipo = 21,
    kProduco1 = 22,    // PRODUCO_1 .. PRODUCO_8 are 22..29
    kNonProduco1 = 30, // NONPRODUCO_1 .. NONPRODUCO_8 are 30..37
    kPunzonatoS = 38,  // class 2
    kTuk = 39,         // class 3
    kProduco9 = 40,
    kProduco10 = 41,
    kProduco11 = 42, // class 4
    kNonProduco9 = 43,
    kNonProduco10 = 44,
    kNonProduco11 = 45, // class 5
};

// The keyword table. It starts with the built-in words; reading a keyword
// file replaces them slot by slot, and the table is never reset between
// compilations.
class KeywordTable
{
public:
    static constexpr int kSlots = 46;
    static constexpr std::size_t kWordLength = 20;

    KeywordTable();

    void resetToBuiltIn();
    // Reads a keyword file: each line's first token, upper-cased, fills the
    // next slot. Stops at a line without token, a token longer than 20
    // characters, the end of the file or when every slot is filled. Returns
    // the number of slots filled.
    int read(ByteSource &source);
    // Reads the file "VUZUDO.KEY" (any letter case) of a folder. Returns 0
    // when it was read, else the system's error number (ENOENT when the
    // folder holds no keyword file, EISDIR for a folder of that name, EIO
    // for a failed read...); every slot then keeps its word, so a read that
    // fails halfway never leaves a table of two files. The file the table
    // was last read from is not read again while it is unchanged (same file,
    // size and time): reading it again would give the same words.
    int readFolder(const char *folder);

    // The word of a slot, upper case as stored; "" for a slot out of range.
    const char *word(int slot) const { return slot >= 0 && slot < kSlots ? m_words[slot] : ""; }
    // The word of a slot in lower case, for the report's summary lines.
    // The text lives in an internal buffer overwritten by the next call
    // with the same which (0..3), so up to four may be used in one line.
    const char *lowerWord(int slot, int which = 0) const;

private:
    void forgetFile();

    char m_words[kSlots][kWordLength + 1];
    // The keyword file the words were last read from, and the folder it was
    // looked for in, while the table has not been changed otherwise since.
    char m_filePath[4096] = {};
    char m_fileFolder[4096] = {};
    FileIdentity m_fileIdentity;
    mutable char m_lower[4][kWordLength + 1];
};

} // namespace kn4::compiler

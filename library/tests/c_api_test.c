/* The library's header compiles as plain C, and a C caller reaches all
 * thirteen functions of the shared library. */
#include "kn4edit2.h"

#include <stdio.h>
#include <string.h>

static int failures = 0;

#define CHECK(condition)                                                  \
    do {                                                                  \
        if (!(condition)) {                                               \
            fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #condition); \
            ++failures;                                                   \
        }                                                                 \
    } while (0)

int main(void)
{
    char name[KN4_TEXT_SIZE], p1[KN4_TEXT_SIZE], p2[KN4_TEXT_SIZE], in[KN4_TEXT_SIZE], rep[KN4_TEXT_SIZE];
    char out[KN4_TEXT_SIZE];
    int32_t index = 0, a, b, c, d;
    Kn4Simulazione record;
    static char report[KN4_REPORT_SIZE];

    CercaFunzione("calato", name, &index);
    CHECK(index == 1 && strcmp(name, "CALATO") == 0);
    GetPosizioneParametri(index, &a, &b, &c, &d);
    CHECK(a == 13 && b == 14 && c == -1 && d == -1);
    GetDefault(index, p1, p2, in, rep);
    CHECK(strcmp(p1, " 2") == 0 && strcmp(in, "1") == 0);
    ClickSxP1(index, " 2", out);
    CHECK(strcmp(out, " 1") == 0);
    ClickDxP1(index, " 1", out);
    CHECK(strcmp(out, " 2") == 0);
    ClickSxP2(index, "", out);
    CHECK(out[0] == '\0');
    ClickDxP2(index, "", out);
    CHECK(out[0] == '\0');
    ClickSxIntervallo(index, "5", out);
    CHECK(strcmp(out, "6") == 0);
    ClickDxIntervallo(index, "0", out);
    CHECK(out[0] == '\0');
    ClickSxRipetizione(index, "1", out);
    CHECK(strcmp(out, "2") == 0);
    ClickDxRipetizione(index, "1", out);
    CHECK(out[0] == '\0');
    memset(&record, 0, sizeof record);
    record.p1 = 2;
    record.lato = 1;
    SimulaFunzione(index, &record);
    CHECK(record.bordoSx == -2 && record.segno == 21);
    CHECK(Compilazione("/nonexistent/PANEL.KN4", "/nonexistent", report) == KN4_NOT_A_SOURCE);
    CHECK(strncmp(report, "VUZUDO v4.4\r\n", 13) == 0);

    if (failures == 0)
        printf("c_api: all checks passed\n");
    return failures == 0 ? 0 : 1;
}

/* RV32 with small data: scalars up to 8 bytes go to .sdata, .sbss and .srodata near the global
 * pointer; larger objects to .data, .bss and .rodata. Linked with picolibc. */
#include <stdint.h>
#include <string.h>

int32_t g_small_counter = 5;           /* .sdata */
int32_t g_small_zeroed;                /* .sbss */
static const double k_scale = 1.25;    /* .srodata */
uint32_t g_large_table[32] = {1, 2};   /* .data */
uint32_t g_large_zeroed[64];           /* .bss */
char g_text[40];

int main(void) {
    strcpy(g_text, "riscv small data");
    g_small_zeroed = (int32_t)(g_small_counter * k_scale) + (int32_t)strlen(g_text);
    g_large_zeroed[g_small_zeroed & 63] = g_large_table[g_small_counter & 31];
    return g_small_zeroed;
}

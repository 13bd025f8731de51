/* The several-region build's driver: code run from RAM, a DMA buffer in uninitialised RAM, the
 * two overlays and the second copy of a merged string literal. */
#include <stdint.h>

uint32_t g_shared_counter;  /* the same common symbol as in regions_main.c */
volatile const char* g_last_tag;

__attribute__((section(".dma_buffers"))) uint8_t g_dma_rx[512];

__attribute__((section(".ramfunc"), noinline)) uint32_t filter_step(uint32_t sample) {
    return (sample * 7u + 3u) >> 1;
}

__attribute__((section(".overlay_boot"), noinline)) uint32_t boot_check(void) {
    return g_dma_rx[0] ^ 0x5au;
}

__attribute__((section(".overlay_run"), noinline)) uint32_t run_check(uint32_t value) {
    return value * 13u + g_dma_rx[1] + g_dma_rx[2];
}

void driver_poll(const char* tag) {
    g_last_tag = tag;
    if (tag[0] == 's') {
        g_last_tag = "sensor fault";
    }
    g_shared_counter += run_check(g_shared_counter);
}

/* Main loop: read, filter, frame and send. */
#include <string.h>

#include "app.h"

volatile uint32_t ticks;                  /* zero-initialised: .bss */
static uint8_t frame[24];                 /* zero-initialised, static */
uint16_t frame_counter = 1;               /* initialised: .data */
const char greeting[] = "tarvel sensor 1.0";  /* constant: .rodata */
int common_scratch;                       /* tentative definition: COMMON with -fcommon */
/* Kept over a reset: .noinit takes RAM but is neither loaded nor cleared. */
__attribute__((section(".noinit"))) uint16_t resets_seen;

static uint16_t build_frame(uint16_t value) {
    frame[0] = 0xA5u;
    frame[1] = (uint8_t)(frame_counter & 0xFFu);
    frame[2] = (uint8_t)(value >> 8);
    frame[3] = (uint8_t)(value & 0xFFu);
    memcpy(&frame[4], greeting, 8);
    const uint16_t crc = crc16(frame, 12);
    frame[12] = (uint8_t)(crc >> 8);
    frame[13] = (uint8_t)(crc & 0xFFu);
    ++frame_counter;
    return 14;
}

/* Never called: --gc-sections discards it. */
void unused_diagnostics(void) {
    memset(frame, 0x55, sizeof frame);
    uart_send(frame, sizeof frame);
}

int main(void) {
    ++resets_seen;
    sensor_init();
    uart_init(115200u);
    for (;;) {
        const uint16_t value = filter_add(sensor_read());
        const uint16_t length = build_frame(value);
        uart_send(frame, length);
        uint8_t byte;
        while (ring_pop(&byte)) {
            common_scratch += byte;
        }
        ++ticks;
    }
}

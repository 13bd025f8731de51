/* Serial output through a ring buffer; the hardware register is a plain variable here. */
#include "../app.h"

static uint8_t ring[32];              /* .bss */
static uint8_t ring_head;             /* .bss */
static uint8_t ring_tail;             /* .bss */
volatile uint8_t uart_data_register;  /* .bss */
uint32_t uart_baud = 9600u;           /* .data */

void uart_init(uint32_t baud) {
    uart_baud = baud;
    ring_head = ring_tail = 0;
}

uint8_t ring_push(uint8_t value) {
    const uint8_t next = (uint8_t)((ring_head + 1u) % sizeof ring);
    if (next == ring_tail) {
        return 0;
    }
    ring[ring_head] = value;
    ring_head = next;
    return 1;
}

uint8_t ring_pop(uint8_t* value) {
    if (ring_tail == ring_head) {
        return 0;
    }
    *value = ring[ring_tail];
    ring_tail = (uint8_t)((ring_tail + 1u) % sizeof ring);
    return 1;
}

void uart_send(const uint8_t* data, uint16_t length) {
    for (uint16_t i = 0; i < length; ++i) {
        uart_data_register = data[i];
        (void)ring_push(data[i]);
    }
}

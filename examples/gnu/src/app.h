/* A small sensor application: samples a value, filters it, checks a frame and sends it. */
#ifndef APP_H
#define APP_H

#include <stdint.h>

#define SAMPLES 16u

void sensor_init(void);
uint16_t sensor_read(void);
uint16_t filter_add(uint16_t sample);
void uart_init(uint32_t baud);
void uart_send(const uint8_t* data, uint16_t length);
uint16_t crc16(const uint8_t* data, uint16_t length);
uint8_t ring_push(uint8_t value);
uint8_t ring_pop(uint8_t* value);

extern volatile uint32_t ticks;

#endif

/* Sensor sampling with a moving average filter. */
#include "app.h"

static uint16_t history[SAMPLES];             /* .bss */
static uint8_t history_next;                  /* .bss */
static uint32_t history_sum;                  /* .bss */
uint16_t sensor_gain = 3;                     /* .data */
uint16_t sensor_offset[4] = {10, 20, 30, 40}; /* .data */
static const uint16_t calibration[8] = {1000, 1012, 1025, 1037, 1050, 1062, 1075, 1087};

void sensor_init(void) {
    history_next = 0;
    history_sum = 0;
}

uint16_t sensor_read(void) {
    const uint16_t raw = (uint16_t)(ticks * 7u);
    return (uint16_t)(raw * sensor_gain + calibration[raw & 7u] + sensor_offset[raw & 3u]);
}

uint16_t filter_add(uint16_t sample) {
    history_sum -= history[history_next];
    history[history_next] = sample;
    history_sum += sample;
    history_next = (uint8_t)((history_next + 1u) % SAMPLES);
    return (uint16_t)(history_sum / SAMPLES);
}

/* Never called: --gc-sections discards it. */
uint16_t sensor_self_test(void) {
    return (uint16_t)(calibration[7] - calibration[0]);
}

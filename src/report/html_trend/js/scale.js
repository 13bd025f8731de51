// The chart's scales: the figure axis in steps of 1, 2 or 5 times a power of ten of bytes,
// KiB or MiB (memory sizes are powers of two, so "512 KiB" lands on a round figure), and
// builds spread evenly along the other axis, in commit order.

const byteUnits = [
    { name: "B", bytes: 1 },
    { name: "KiB", bytes: 1024 },
    { name: "MiB", bytes: 1024 * 1024 },
    { name: "GiB", bytes: 1024 * 1024 * 1024 },
];

// {top, ticks: [{value, label}]} for figures from 0 to `largest`: about five ticks, the last
// at or above `largest`.
function figureScale(largest) {
    const high = Math.max(1, largest);
    let unit = byteUnits[0];
    for (const candidate of byteUnits) {
        if (high >= candidate.bytes) {
            unit = candidate;
        }
    }
    const inUnits = high / unit.bytes;
    const rough = inUnits / 5;
    const power = Math.pow(10, Math.floor(Math.log10(rough)));
    const multiple = [1, 2, 5, 10].find((m) => m * power >= rough);
    // Whole bytes only: below ten bytes, a step of one.
    const step = Math.max(1 / unit.bytes, multiple * power);
    const count = Math.ceil(inUnits / step - 1e-9);
    const ticks = [];
    for (let i = 0; i <= count; i += 1) {
        const value = Math.round(i * step * unit.bytes);
        const amount = Number((i * step).toPrecision(12));
        ticks.push({ value: value, label: formatInt(amount) + " " + unit.name });
    }
    return { top: ticks[ticks.length - 1].value, ticks: ticks };
}

// Up to `wanted` build positions spread evenly from the first to the last of `count` builds.
function buildTicks(count, wanted) {
    if (count <= 0) {
        return [];
    }
    const shown = Math.min(count, wanted);
    if (shown === 1) {
        return [0];
    }
    const ticks = [];
    for (let i = 0; i < shown; i += 1) {
        const build = Math.round((i * (count - 1)) / (shown - 1));
        if (ticks.length === 0 || ticks[ticks.length - 1] !== build) {
            ticks.push(build);
        }
    }
    return ticks;
}

// The plot's geometry: where build i and figure v are drawn, in the chart's own units.
function chartGeometry(builds, top) {
    const box = { width: 1100, height: 300, left: 84, right: 20, top: 16, bottom: 40 };
    const plotWidth = box.width - box.left - box.right;
    const plotHeight = box.height - box.top - box.bottom;
    const step = builds > 1 ? plotWidth / (builds - 1) : 0;
    const first = builds > 1 ? box.left : box.left + plotWidth / 2;
    return {
        box: box,
        plotWidth: plotWidth,
        plotHeight: plotHeight,
        first: first,
        step: step,
        x: (build) => first + build * step,
        y: (value) => box.top + plotHeight - (value * plotHeight) / top,
        // The build nearest to the chart position x.
        buildAt: (x) => (builds <= 1 ? 0 : Math.min(builds - 1, Math.max(0, Math.round((x - first) / step)))),
    };
}

// A coordinate as written into the drawing: two decimals are finer than any screen.
function coordinate(value) {
    return String(Math.round(value * 100) / 100);
}

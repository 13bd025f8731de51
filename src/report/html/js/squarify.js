// The squarified treemap layout (Bruls, Huizing and van Wijk): rectangles whose areas are
// proportional to the values, laid out in rows along the shorter side of what is left, each
// row grown while that makes its worst aspect ratio no worse.

// Rectangles {x, y, w, h} for `values` (largest first, all > 0) that fill `rect` exactly;
// the i-th rectangle belongs to the i-th value.
function squarify(values, rect) {
    const result = new Array(values.length);
    let total = 0;
    for (const value of values) {
        total += value;
    }
    let x = rect.x;
    let y = rect.y;
    let w = rect.w;
    let h = rect.h;
    if (total <= 0 || w <= 0 || h <= 0) {
        for (let i = 0; i < values.length; i += 1) {
            result[i] = { x: x, y: y, w: 0, h: 0 };
        }
        return result;
    }
    const scale = (w * h) / total;
    let start = 0;
    while (start < values.length) {
        const side = Math.min(w, h);
        let rowArea = 0;
        let rowMin = Infinity;
        let rowMax = 0;
        let worst = Infinity;
        let end = start;
        while (end < values.length) {
            const area = values[end] * scale;
            const sum = rowArea + area;
            const low = Math.min(rowMin, area);
            const high = Math.max(rowMax, area);
            const ratio = Math.max((side * side * high) / (sum * sum), (sum * sum) / (side * side * low));
            if (end > start && ratio > worst) {
                break;
            }
            rowArea = sum;
            rowMin = low;
            rowMax = high;
            worst = ratio;
            end += 1;
        }
        // The last row takes what is left, so that rounding leaves no gap at the far edge.
        const last = end === values.length;
        if (w >= h) {
            const thickness = last ? w : rowArea / h;
            let offset = y;
            for (let i = start; i < end; i += 1) {
                const length = i === end - 1 ? y + h - offset : (values[i] * scale) / thickness;
                result[i] = { x: x, y: offset, w: thickness, h: length };
                offset += length;
            }
            x += thickness;
            w = Math.max(0, w - thickness);
        } else {
            const thickness = last ? h : rowArea / w;
            let offset = x;
            for (let i = start; i < end; i += 1) {
                const length = i === end - 1 ? x + w - offset : (values[i] * scale) / thickness;
                result[i] = { x: offset, y: y, w: length, h: thickness };
                offset += length;
            }
            y += thickness;
            h = Math.max(0, h - thickness);
        }
        start = end;
    }
    return result;
}

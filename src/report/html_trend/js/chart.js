// One line chart per memory area: the used bytes of every build as one line, the area's size
// as a dashed line above it, the largest steps marked and numbered, and a tooltip that follows
// the pointer (or the arrow keys) from build to build. Each line is one SVG path, however
// many builds there are; the pointer is mapped to a build by arithmetic, not by an element
// per point. The axes carry their figures (data-value, data-build), so that a reader of the
// document can map coordinates back to bytes.

const svgNamespace = "http://www.w3.org/2000/svg";
const largestStepCount = 10;
const trendKindTitles = { program: "program area", ram: "RAM area", eeprom: "EEPROM area" };

function svgEl(tag, className, attributes) {
    const element = document.createElementNS(svgNamespace, tag);
    if (className) {
        element.setAttribute("class", className);
    }
    for (const name of Object.keys(attributes || {})) {
        element.setAttribute(name, String(attributes[name]));
    }
    return element;
}

// The path through the builds that have a figure; a build without one breaks the line.
function linePath(figures, geometry) {
    const parts = [];
    let drawing = false;
    for (let i = 0; i < figures.length; i += 1) {
        if (figures[i] === null) {
            drawing = false;
            continue;
        }
        parts.push((drawing ? "L" : "M") + coordinate(geometry.x(i)) + "," + coordinate(geometry.y(figures[i])));
        drawing = true;
    }
    return parts.join(" ");
}

// A build that stands alone between gaps draws no line: it is shown as a dot.
function loneDots(figures, geometry, className) {
    const dots = [];
    for (let i = 0; i < figures.length; i += 1) {
        const before = i > 0 && figures[i - 1] !== null;
        const after = i + 1 < figures.length && figures[i + 1] !== null;
        if (figures[i] !== null && !before && !after) {
            const centre = { cx: coordinate(geometry.x(i)), cy: coordinate(geometry.y(figures[i])) };
            dots.push(svgEl("circle", className, { ...centre, r: 2.5, "data-build": i }));
        }
    }
    return dots;
}

function largestFigure(area) {
    let largest = 0;
    for (const list of [area.used, area.size]) {
        for (const figure of list) {
            if (figure !== null && figure > largest) {
                largest = figure;
            }
        }
    }
    return largest;
}

function shortCommit(commit) {
    return commit.length > 12 ? commit.slice(0, 12) : commit;
}

function signedBytes(change) {
    return (change > 0 ? "\u25b2 " : "\u25bc ") + formatSigned(change) + " B";
}

function drawAxes(svg, geometry, scale, builds) {
    const box = geometry.box;
    const axes = svgEl("g", "trend-axes");
    for (const tick of scale.ticks) {
        const y = coordinate(geometry.y(tick.value));
        const mark = svgEl("g", "trend-y-tick", { "data-value": tick.value, "data-y": y });
        mark.appendChild(svgEl("line", "trend-grid", { x1: box.left, x2: box.width - box.right, y1: y, y2: y }));
        const label = svgEl("text", "trend-label", {
            x: box.left - 8,
            y: y,
            "text-anchor": "end",
            "dominant-baseline": "middle",
        });
        label.textContent = tick.label;
        mark.appendChild(label);
        axes.appendChild(mark);
    }
    const bottom = box.height - box.bottom;
    const ticks = buildTicks(builds.length, 7);
    for (const build of ticks) {
        const x = coordinate(geometry.x(build));
        // The last label ends at its tick, so that it stays inside the drawing.
        const anchor = ticks.length > 1 && build === ticks[ticks.length - 1] ? "end" : "middle";
        const mark = svgEl("g", "trend-x-tick", { "data-build": build, "data-x": x });
        mark.appendChild(svgEl("line", "trend-tick", { x1: x, x2: x, y1: bottom, y2: bottom + 5 }));
        const label = svgEl("text", "trend-label", { x: x, y: bottom + 18, "text-anchor": anchor });
        label.textContent = builds[build].time.slice(0, 10);
        mark.appendChild(label);
        axes.appendChild(mark);
    }
    axes.appendChild(svgEl("line", "trend-axis", { x1: box.left, x2: box.width - box.right, y1: bottom, y2: bottom }));
    svg.appendChild(axes);
}

function drawStepMarkers(svg, steps, area, geometry) {
    const markers = svgEl("g", "trend-steps");
    steps.forEach((step, rank) => {
        const x = coordinate(geometry.x(step.build));
        const y = coordinate(geometry.y(area.used[step.build]));
        const direction = step.change > 0 ? "grew" : "shrank";
        const marker = svgEl("g", "trend-step " + direction, {
            "data-build": step.build,
            "data-change": step.change,
            "data-rank": rank + 1,
        });
        marker.appendChild(svgEl("circle", "", { cx: x, cy: y, r: 5 }));
        // Above a rise, below a fall (where the line does not run) unless that is off the plot.
        const bottom = geometry.box.height - geometry.box.bottom - 3;
        const labelY = step.change > 0 || Number(y) + 17 > bottom ? Number(y) - 9 : Number(y) + 17;
        const label = svgEl("text", "trend-step-label", { x: x, y: labelY, "text-anchor": "middle" });
        label.textContent = String(rank + 1);
        marker.appendChild(label);
        markers.appendChild(marker);
    });
    svg.appendChild(markers);
}

// The lines of the tooltip of build i.
function buildTooltipLines(area, builds, changes, build) {
    const lines = [builds[build].time, "build " + formatInt(build + 1) + " of " + formatInt(builds.length)];
    const used = area.used[build];
    const size = area.size[build];
    if (used === null) {
        lines.push("The build has no " + area.name + ".");
        return lines;
    }
    const share = size === null ? "" : " of " + formatBytes(size) + " \u00b7 " + formatPercent(percentOf(used, size));
    lines.push("Used " + formatBytes(used) + share);
    if (size !== null) {
        lines.push("Free " + formatBytes(size - used));
    }
    const previous = previousWithFigure(area.used, build);
    if (previous >= 0) {
        lines.push("Change " + formatSigned(changes[build]) + " B against " + shortCommit(builds[previous].commit));
    }
    return lines;
}

// The hover: a guide line, a dot on each line, and the tooltip, for the build nearest the
// pointer; the arrow keys move it when the chart has the focus.
function attachHover(wrapper, svg, area, builds, changes, geometry) {
    const box = geometry.box;
    const guide = svgEl("line", "trend-guide", { y1: box.top, y2: box.height - box.bottom, visibility: "hidden" });
    const usedDot = svgEl("circle", "trend-hover-used", { r: 4, visibility: "hidden" });
    const sizeDot = svgEl("circle", "trend-hover-size", { r: 3.5, visibility: "hidden" });
    const overlay = svgEl("rect", "trend-overlay", {
        x: box.left - 6,
        y: box.top,
        width: geometry.plotWidth + 12,
        height: geometry.plotHeight,
    });
    svg.appendChild(guide);
    svg.appendChild(usedDot);
    svg.appendChild(sizeDot);
    svg.appendChild(overlay);
    const tooltip = el("div", "trend-tooltip");
    tooltip.hidden = true;
    wrapper.appendChild(tooltip);
    let current = -1;

    const place = (dot, figure, x) => {
        dot.setAttribute("visibility", figure === null ? "hidden" : "visible");
        if (figure !== null) {
            dot.setAttribute("cx", x);
            dot.setAttribute("cy", coordinate(geometry.y(figure)));
        }
    };
    function show(build) {
        current = build;
        const x = coordinate(geometry.x(build));
        guide.setAttribute("x1", x);
        guide.setAttribute("x2", x);
        guide.setAttribute("visibility", "visible");
        place(usedDot, area.used[build], x);
        place(sizeDot, area.size[build], x);
        tooltip.textContent = "";
        tooltip.appendChild(el("strong", "", builds[build].commit));
        for (const line of buildTooltipLines(area, builds, changes, build)) {
            tooltip.appendChild(el("div", "", line));
        }
        setData(tooltip, { build: build });
        tooltip.hidden = false;
        // Beside the guide, turned to the left in the right half; the drawing may be scaled.
        const scaleX = svg.getBoundingClientRect().width / box.width;
        const at = Number(x) * scaleX;
        const width = tooltip.offsetWidth;
        tooltip.style.left = (at + 14 + width > wrapper.clientWidth ? Math.max(0, at - 14 - width) : at + 14) + "px";
        tooltip.style.top = box.top + "px";
    }
    function hide() {
        current = -1;
        tooltip.hidden = true;
        for (const mark of [guide, usedDot, sizeDot]) {
            mark.setAttribute("visibility", "hidden");
        }
    }
    overlay.addEventListener("mousemove", (event) => {
        const matrix = svg.getScreenCTM();
        if (matrix === null) {
            return;
        }
        const point = new DOMPoint(event.clientX, event.clientY).matrixTransform(matrix.inverse());
        const build = geometry.buildAt(point.x);
        if (build !== current) {
            show(build);
        }
    });
    overlay.addEventListener("mouseleave", hide);
    svg.addEventListener("blur", hide);
    svg.addEventListener("keydown", (event) => {
        const moves = { ArrowLeft: -1, ArrowRight: 1, Home: -builds.length, End: builds.length };
        if (!(event.key in moves)) {
            return;
        }
        event.preventDefault();
        const from = current < 0 ? (event.key === "ArrowLeft" ? builds.length : -1) : current;
        show(Math.min(builds.length - 1, Math.max(0, from + moves[event.key])));
    });
}

function areaSummary(area, builds) {
    for (let i = builds.length - 1; i >= 0; i -= 1) {
        if (area.used[i] !== null) {
            const size = area.size[i];
            const share =
                size === null
                    ? ""
                    : " used of " + formatBytes(size) + " \u00b7 " + formatPercent(percentOf(area.used[i], size));
            return "Latest: " + formatBytes(area.used[i]) + share + " (" + shortCommit(builds[i].commit) + ")";
        }
    }
    return "No build has this area.";
}

function stepList(steps, area, builds) {
    const list = el("ol", "trend-step-list");
    for (const step of steps) {
        const previous = previousWithFigure(area.used, step.build);
        const item = setData(el("li", step.change > 0 ? "grew" : "shrank"), { build: step.build, change: step.change });
        appendAll(item, [
            el("span", "trend-step-change", signedBytes(step.change)),
            el("span", "", " to " + formatBytes(area.used[step.build]) + " from " + formatBytes(area.used[previous])),
            el(
                "span",
                "trend-step-commit",
                " \u00b7 " + shortCommit(builds[step.build].commit) + " \u00b7 " + builds[step.build].time,
            ),
        ]);
        list.appendChild(item);
    }
    return list;
}

// The chart of `area` as a section: heading, latest figures, drawing and its largest steps.
function renderAreaChart(area, builds, changes) {
    const section = setData(el("section", "trend-area"), { area: area.name, kind: area.kind });
    const heading = el("h3", "");
    const kindTitle = trendKindTitles[area.kind] || area.kind;
    appendAll(heading, [el("span", "", area.name), el("span", "bar-kind", " " + kindTitle)]);
    appendAll(section, [heading, el("p", "note", areaSummary(area, builds))]);
    const scale = figureScale(largestFigure(area));
    const geometry = chartGeometry(builds.length, scale.top);
    const box = geometry.box;
    const wrapper = el("div", "trend-chart");
    const svg = svgEl("svg", "trend-svg", {
        viewBox: "0 0 " + box.width + " " + box.height,
        role: "img",
        tabindex: 0,
        "data-builds": builds.length,
        "data-x-first": coordinate(geometry.first),
        "data-x-step": geometry.step,
    });
    svg.setAttribute(
        "aria-label",
        "Used bytes of " + area.name + " over " + formatCount(builds.length, "build", "builds") +
            "; the arrow keys step through the builds",
    );
    drawAxes(svg, geometry, scale, builds);
    const lines = svgEl("g", "trend-lines");
    lines.appendChild(svgEl("path", "trend-line-size", { d: linePath(area.size, geometry), "data-series": "size" }));
    lines.appendChild(svgEl("path", "trend-line-used", { d: linePath(area.used, geometry), "data-series": "used" }));
    appendAll(lines, loneDots(area.size, geometry, "trend-dot-size"));
    appendAll(lines, loneDots(area.used, geometry, "trend-dot-used"));
    svg.appendChild(lines);
    const steps = largestSteps(changes, largestStepCount);
    drawStepMarkers(svg, steps, area, geometry);
    wrapper.appendChild(svg);
    attachHover(wrapper, svg, area, builds, changes, geometry);
    section.appendChild(wrapper);
    if (steps.length > 0) {
        appendAll(section, [el("h4", "", "Largest steps"), stepList(steps, area, builds)]);
    }
    return section;
}
